#include "ReportFixtures.h"
#include "TestMain.h"
#include "TestSession.h"

#include "activities/FormAllCallReports.h"
#include "activities/FormReports.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "app/ModuleProgress.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "formats/WorkbookReader.h"
#include "formats/Worksheet.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/Pointer.h"
#include "services/Twips.h"

#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The reports window: the field choices of the companies and contacts
// reports, every report command from a click to the workbook read back, the
// progress bar, the other windows it opens and its hover help.
class TestReports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Opening and the initial state.
    void mainMenuKeyThreeOpensTheWindow();
    void helpOpensOnTheReportsPage_data();
    void helpOpensOnTheReportsPage();
    void hoverHelp_data();
    void hoverHelp();

    // Field choices.
    void companiesFieldBoxes();
    void contactsFieldBoxes();
    void goButtonOfTheLastChosenReport();
    void selectAllTicksEveryFieldAndNeverClears();
    void switchingReportsKeepsTheTicks();

    // The reports.
    void companiesReport_data();
    void companiesReport();
    void contactsReport_data();
    void contactsReport();
    void projectsReport();
    void competitorActivityReport();
    void salesReport();
    void salesWithoutImportedFiguresSaysSo();
    void salesWithoutDateColumnSaysSo();
    void salesWithAWrongDateColumn();
    void failedDataCaptureIsReported();
    void windowIsBackInItsInitialStateAfterAReport();

    // The progress bar.
    void progressBarGrowsStepByStep();

    // The other windows.
    void searchOpensEveryCallReportNewestFirst();
    void overdueVisitsOpensItsWindow();
    void callReportFilterOpensItsWindowOnceThere();

private:
    FormReports* open();
    FormReports* form() const {
        return qobject_cast<FormReports*>(Forms::loaded(FormReports::Name));
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = form() ? form()->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    QCheckBox* box(int number) const {
        return child<QCheckBox>(QStringLiteral("Check%1").arg(number));
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    // A click on the box itself, as the user ticks it.
    void toggle(int number) {
        QCheckBox* check = box(number);
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
    }
    QString reportFile() const {
        const QList<QUrl> opened = Desktop::opened();
        return opened.isEmpty() ? QString() : opened.last().toLocalFile();
    }
    void importSales(const QString& dateColumn);

    std::unique_ptr<TestSession> m_session;
};

using ReportFixtures::column;
using ReportFixtures::titles;

namespace {

const QString Tessaly = QStringLiteral("TESSALY.mdb");

} // namespace

void TestReports::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
    QDir(m_session->path()).mkpath(QStringLiteral("Temp"));
}

void TestReports::cleanup() {
    m_session.reset();
}

FormReports* TestReports::open() {
    Forms::show(QString::fromLatin1(FormReports::Name));
    return form();
}

void TestReports::importSales(const QString& dateColumn) {
    const QString user = QStringLiteral("User.mdb");
    m_session->exec(user, "CREATE TABLE SALES ([Account No.] TEXT, [Invoice Date] TEXT, "
                          "[Amount] REAL)");
    m_session->exec(user, "INSERT INTO SALES VALUES ('A1', '2026-01-15', 120.5), "
                          "('A2', '2026-03-02', 99), ('A1', '2025-12-31', -4.25)");
    m_session->exec(user, QStringLiteral("UPDATE TABLE02 SET TEXT08 = '%1'").arg(dateColumn));
}

// Every report: handed to the user from the Temp folder, the clipboard
// cleared, the pointer normal, the reports window loaded anew.
#define VERIFY_REPORT_MADE(path, before)                                                           \
    do {                                                                                           \
        QVERIFY(!(path).isEmpty());                                                                \
        QVERIFY2((path).contains(QStringLiteral("/Temp/Tessaly Report ")), qPrintable(path));      \
        QVERIFY(QFileInfo::exists(path));                                                          \
        QVERIFY(Clipboard::text().isEmpty());                                                      \
        QVERIFY(!Pointer::isBusy());                                                               \
        settle();                                                                                  \
        QVERIFY(form() && form() != (before));                                                     \
        QVERIFY(form()->isVisible());                                                              \
    } while (false)

// --- Opening -------------------------------------------------------------

void TestReports::mainMenuKeyThreeOpensTheWindow() {
    Form* menu = Forms::show(QStringLiteral("FormMenu"));
    QVERIFY(menu);
    auto* command = menu->findChild<QPushButton*>(QStringLiteral("CommandReports"));
    QVERIFY(command && command->isEnabled());
    QTest::keyClick(menu, Qt::Key_3);
    QVERIFY(Forms::isVisible(QString::fromLatin1(FormReports::Name)));
    QCOMPARE(form()->windowTitle(), QString("Reports"));
    QCOMPARE(Twips::geometry(form()).size(), Twips::geometry(menu).size());
    // Everything but the commands starts hidden.
    for (const char* name : {"FrameDisplay", "CommandGoCompanies", "CommandGoContacts", "LabelLoad",
                             "Image1", "Shape1", "Shape2", "FrameHelp"})
        QVERIFY2(!child(name)->isVisible(), name);
    for (int number = 1; number <= 20; ++number) {
        QVERIFY(!box(number)->isChecked());
        QVERIFY(!box(number)->isVisibleTo(form()));
    }
    QCOMPARE(child<QLabel>("LabelLoad")->text(), QString("Loading MS-Excel ..."));
    QCOMPARE(child<QLabel>("LabelCompanies")->text(), QString(" Companies"));
    QCOMPARE(child<QLabel>("Label3")->text(), QString(" Competitors Activities"));
    QCOMPARE(Twips::geometry(child("Shape2")).width(), 8775);
    QCOMPARE(Twips::geometry(child("Shape1")).width(), 135);
}

void TestReports::helpOpensOnTheReportsPage_data() {
    QTest::addColumn<bool>("key");
    QTest::newRow("F1 released in a box") << true;
    QTest::newRow("help button") << false;
}

void TestReports::helpOpensOnTheReportsPage() {
    QFETCH(bool, key);
    open();
    click("CommandCompanies");
    if (key)
        QTest::keyClick(box(3), Qt::Key_F1);
    else
        click("CommandHelp");
    auto* help = qobject_cast<FormHelp*>(Forms::loaded(QStringLiteral("FormHelp")));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 42);
}

void TestReports::hoverHelp_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("companies") << "CommandCompanies"
                               << "Select and filter reports on companies. Press F1 for help.";
    QTest::newRow("contacts") << "CommandContacts"
                              << "Select and filter reports on contacts. Press F1 for help.";
    QTest::newRow("projects") << "CommandProjects"
                              << "Select and filter reports on projects. Press F1 for help.";
    QTest::newRow("call reports")
        << "CommandCallReports"
        << "Filter call reports by date, salesperson or division.  Press F1 for help.";
    QTest::newRow("search") << "CommandSearch"
                            << "Search all call reports for key phrases.  Press F1 for help.";
    QTest::newRow("overdue") << "CommandOverdue"
                             << "Search for overdue customer visits. Press F1 for help.";
    QTest::newRow("competitors") << "CommandCompetitors"
                                 << "List all competitor's products sold.  Press F1 for help.";
    QTest::newRow("sales") << "CommandSales"
                           << "Displays all sales figures. Press F1 for help.";
}

void TestReports::hoverHelp() {
    QFETCH(QString, button);
    QFETCH(QString, text);
    open();
    form()->hoverHelp()->showFor(child(button));
    QVERIFY(child("FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), text);
    form()->hoverHelp()->showBackground();
    QVERIFY(!child("FrameHelp")->isVisible());
}

// --- Field choices -------------------------------------------------------

void TestReports::companiesFieldBoxes() {
    open();
    click("CommandCompanies");
    QVERIFY(child("FrameDisplay")->isVisible());
    QCOMPARE(child<QGroupBox>("FrameDisplay")->title(),
             QString("Which Fields do you want to display in your Report?"));
    const QStringList captions = {"Postal Address",
                                  "Postal City",
                                  "Postal Code",
                                  "Street Address",
                                  "City",
                                  "Region",
                                  "Telephone",
                                  "Telefax",
                                  "Website",
                                  "Division",
                                  "Branch",
                                  "Category",
                                  "Type of Contact",
                                  "Sales Person",
                                  "Sales Manager",
                                  "Visit Frequency",
                                  "Date Last Visited",
                                  "Select All"};
    for (int number = 1; number <= 18; ++number) {
        QVERIFY(box(number)->isVisible());
        QCOMPARE(box(number)->text(), captions.at(number - 1));
    }
    QVERIFY(!box(19)->isVisible());
    QVERIFY(!box(20)->isVisible());
    QVERIFY(child("CommandGoCompanies")->isVisible());
    QVERIFY(!child("CommandGoContacts")->isVisible());
    QCOMPARE(child<QPushButton>("CommandGoCompanies")->text(), QString("&Go"));
}

void TestReports::contactsFieldBoxes() {
    open();
    click("CommandContacts");
    const QStringList captions = {"Company",     "First Name", "Last Name", "Telephone",
                                  "Telefax",     "Cellphone",  "E-Mail",    "Occupation",
                                  "Designation", "Assistant"};
    for (int number = 1; number <= 10; ++number) {
        QVERIFY(box(number)->isVisible());
        QCOMPARE(box(number)->text(), captions.at(number - 1));
    }
    for (int number = 11; number <= 17; ++number)
        QVERIFY(!box(number)->isVisible());
    QVERIFY(box(18)->isVisible());
    QCOMPARE(box(18)->text(), QString("Select All"));
    QVERIFY(child("CommandGoContacts")->isVisible());
    QVERIFY(!child("CommandGoCompanies")->isVisible());
}

void TestReports::goButtonOfTheLastChosenReport() {
    open();
    click("CommandCompanies");
    click("CommandContacts");
    QVERIFY(child("CommandGoContacts")->isVisible());
    QVERIFY(!child("CommandGoCompanies")->isVisible());
    const QRect contactsPlace = child("CommandGoContacts")->geometry();
    QCOMPARE(Twips::geometry(child("CommandGoContacts")).top(), 3720);
    click("CommandCompanies");
    QVERIFY(child("CommandGoCompanies")->isVisible());
    QVERIFY(!child("CommandGoContacts")->isVisible());
    QCOMPARE(child("CommandGoCompanies")->geometry(), contactsPlace); // one place for both
}

void TestReports::selectAllTicksEveryFieldAndNeverClears() {
    open();
    click("CommandContacts");
    toggle(18);
    QVERIFY(box(18)->isChecked());
    // Seventeen ticks, also those the contacts report does not show.
    for (int number = 1; number <= 17; ++number)
        QVERIFY2(box(number)->isChecked(), qPrintable(QString::number(number)));
    toggle(3);
    QVERIFY(!box(3)->isChecked());
    toggle(18); // Select All taken off again still ticks, never clears
    QVERIFY(!box(18)->isChecked());
    for (int number = 1; number <= 17; ++number)
        QVERIFY(box(number)->isChecked());
    QVERIFY(!box(19)->isChecked());
    QVERIFY(!box(20)->isChecked());
}

void TestReports::switchingReportsKeepsTheTicks() {
    open();
    click("CommandCompanies");
    toggle(2);
    toggle(12);
    click("CommandContacts");
    QVERIFY(box(2)->isChecked());
    QVERIFY(box(12)->isChecked()); // hidden, but ticked as it was
    QVERIFY(!box(1)->isChecked());
    toggle(5);
    click("CommandCompanies");
    QCOMPARE(box(5)->text(), QString("City"));
    QVERIFY(box(5)->isChecked());
    QVERIFY(box(2)->isChecked());
    QVERIFY(box(12)->isChecked());
}

// --- The reports ---------------------------------------------------------

void TestReports::companiesReport_data() {
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QList<int>>("toggled");
    QTest::addColumn<QSet<int>>("hidden");
    QSet<int> allButCompany;
    for (int c = 1; c < 19; ++c)
        allButCompany.insert(c);
    QTest::newRow("select all") << true << QList<int>{} << QSet<int>{};
    QTest::newRow("nothing ticked: only the company") << false << QList<int>{} << allButCompany;
    // "City" is the CITY column (G), never POSTAL CITY (C).
    QTest::newRow("city off") << true << QList<int>{5} << QSet<int>{6};
    QTest::newRow("postal city off") << true << QList<int>{2} << QSet<int>{2};
    QTest::newRow("street address off hides both of its columns")
        << true << QList<int>{4} << QSet<int>{4, 5};
    QTest::newRow("sales person and date last visited off")
        << true << QList<int>{14, 17} << QSet<int>{18, 15};
    QSet<int> onlyTelephone = allButCompany;
    onlyTelephone.remove(8);
    QTest::newRow("only telephone ticked") << false << QList<int>{7} << onlyTelephone;
}

void TestReports::companiesReport() {
    QFETCH(bool, selectAll);
    QFETCH(QList<int>, toggled);
    QFETCH(QSet<int>, hidden);
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Bolt & Nut"));
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    ReportFixtures::addCompany(*m_session, 3, QStringLiteral("Zed Archive"),
                               QStringLiteral("Archive"));
    FormReports* before = open();
    click("CommandCompanies");
    if (selectAll)
        toggle(18);
    for (int number : toggled)
        toggle(number);
    click("CommandGoCompanies");

    const QString path = reportFile();
    VERIFY_REPORT_MADE(path, before);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet), QStringList({"COMPANY", "POSTAL ADDRESS", "POSTAL CITY", "POSTAL CODE",
                                         "STREET ADDRESS", "STREET ADDRESS 2", "CITY", "REGION",
                                         "TELEPHONE", "TELEFAX", "WEBSITE", "DIVISION", "BRANCH",
                                         "CATEGORY", "TYPE OF CONTACT", "DATE LAST VISITED",
                                         "VISIT FREQUENCY", "SALES MANAGER", "SALES PERSON"}));
    QCOMPARE(column(sheet, 0), QStringList({"Acme Ltd", "Bolt & Nut"}));
    QCOMPARE(sheet.cell(1, 6), QVariant("Town 1"));
    QCOMPARE(sheet.hiddenColumns, hidden);
    QCOMPARE(sheet.frozenRows, 1);
}

void TestReports::contactsReport_data() {
    QTest::addColumn<QList<int>>("ticked");
    QTest::addColumn<QSet<int>>("hidden");
    QTest::newRow("every field") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << QSet<int>{};
    // Report columns: COMPANY, FIRST NAME, LAST NAME, CELLPHONE, E-MAIL,
    // OCCUPATION, DESIGNATION, TELEPHONE, TELEFAX, ASSISTANT.
    QTest::newRow("names and telephone") << QList<int>{2, 3, 4} << QSet<int>{0, 3, 4, 5, 6, 8, 9};
    QTest::newRow("company and e-mail") << QList<int>{1, 7} << QSet<int>{1, 2, 3, 5, 6, 7, 8, 9};
}

void TestReports::contactsReport() {
    QFETCH(QList<int>, ticked);
    QFETCH(QSet<int>, hidden);
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    m_session->exec(Tessaly, "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03, TEXT04, TEXT05, "
                             "TEXT08) VALUES (1, 'Zoë', 'O''Brien', '082 1', 'z@acme.test', "
                             "'0123 9')");
    FormReports* before = open();
    click("CommandCompanies"); // the contacts report is the one chosen last
    click("CommandContacts");
    for (int number : ticked)
        toggle(number);
    click("CommandGoContacts");

    const QString path = reportFile();
    VERIFY_REPORT_MADE(path, before);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"COMPANY", "FIRST NAME", "LAST NAME", "CELLPHONE", "E-MAIL", "OCCUPATION",
                          "DESIGNATION", "TELEPHONE", "TELEFAX", "ASSISTANT"}));
    QCOMPARE(sheet.cell(1, 2), QVariant("O'Brien"));
    QCOMPARE(sheet.hiddenColumns, hidden);
}

void TestReports::projectsReport() {
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Bolt & Nut"));
    ReportFixtures::addCompany(*m_session, 2, QStringLiteral("Acme Ltd"));
    m_session->exec(Tessaly, "INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, "
                             "DATE01) VALUES (1, 1, 'Mining', 'Conveyor', 'Active Project', "
                             "'2026-01-01'), (2, 2, 'Food', 'Ovens', 'Active Project', "
                             "'2026-02-01'), (3, 2, 'Auto', 'Lost', 'Lost Project', '2026-02-01')");
    m_session->exec(Tessaly, "INSERT INTO TABLE07 (NUMBER01, DATE01, MEMO01) VALUES "
                             "(1, '2026-05-02', 'Quote'), (2, '2026-01-05', 'Demo'), "
                             "(3, '2026-01-05', 'Nothing')");
    FormReports* before = open();
    click("CommandCompanies");
    click("CommandProjects");

    const QString path = reportFile();
    VERIFY_REPORT_MADE(path, before);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"INDUSTRY GROUP", "DATE ENTERED", "COMPANY", "DIVISION", "SALES PERSON",
                          "PROJECT NAME", "PROJECT STATUS", "ACTION DATE", "ACTION STEP"}));
    QCOMPARE(column(sheet, 2), QStringList({"Acme Ltd", "Bolt & Nut"}));
    QCOMPARE(column(sheet, 8), QStringList({"Demo", "Quote"}));
    QVERIFY(sheet.hiddenColumns.isEmpty());
}

void TestReports::competitorActivityReport() {
    m_session->exec(Tessaly, "INSERT INTO TABLE10 (NUMBER01, NUMBER02, TEXT02, TEXT03, DATE01) "
                             "VALUES (1, 500, 'Pumps', 'Zeta Pump', '2026-03-04'), "
                             "(1, 20, 'Valves', 'Alpha Valve', '2026-12-01')");
    FormReports* before = open();
    click("CommandCompetitors");

    const QString path = reportFile();
    VERIFY_REPORT_MADE(path, before);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet),
             QStringList({"PRODUCT GROUP", "COMPETITOR'S PRODUCT", "UNITS PER ANNUM",
                          "COST PER UNIT", "COMPANY", "SALES PERSON", "DIVISION", "DATE EDITED"}));
    QCOMPARE(column(sheet, 1), QStringList({"Alpha Valve", "Zeta Pump"}));
    QCOMPARE(sheet.cell(2, 7), QVariant(QDate(2026, 3, 4)));
    QVERIFY(!child("LabelLoad")->isVisible());
}

void TestReports::salesReport() {
    importSales(QStringLiteral("Invoice Date"));
    FormReports* before = open();
    click("CommandSales");

    const QString path = reportFile();
    VERIFY_REPORT_MADE(path, before);
    const Worksheet sheet = ReportFixtures::readBack(path);
    QCOMPARE(titles(sheet), QStringList({"Account No.", "Invoice Date", "Amount"}));
    // Newest first by the date column of the import settings.
    QCOMPARE(column(sheet, 2), QStringList({"99", "120.5", "-4.25"}));
    QCOMPARE(sheet.frozenRows, 1);
}

void TestReports::salesWithoutImportedFiguresSaysSo() {
    m_session->exec(QStringLiteral("User.mdb"), "UPDATE TABLE02 SET TEXT08 = 'Invoice Date'");
    FormReports* before = open();
    m_session->expectMessage(QStringLiteral("No sales figures have been imported yet"));
    click("CommandSales");
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Information);
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(QDir(m_session->file(QStringLiteral("Temp"))).isEmpty());
    settle();
    QCOMPARE(form(), before); // the window stays as it was, without a progress bar
    QVERIFY(!child("Shape1")->isVisible());
    QCOMPARE(Twips::geometry(child("Shape1")).width(), 135);
}

void TestReports::salesWithoutDateColumnSaysSo() {
    importSales(QString());
    open();
    m_session->expectMessage(QStringLiteral("The date column of your sales figures is not named."));
    click("CommandSales");
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
}

void TestReports::salesWithAWrongDateColumn() {
    importSales(QStringLiteral("Date"));
    open();
    m_session->expectMessage(
        QStringLiteral("Your sales figures have not been imported correctly.\n\n"));
    click("CommandSales");
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(MsgBox::last().text.length() > 60); // with the database's reason
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(!child("Shape2")->isVisible());
}

void TestReports::failedDataCaptureIsReported() {
    m_session->exec(Tessaly, "DROP TABLE TABLE10");
    FormReports* before = open();
    m_session->expectMessage(
        QStringLiteral("Tessaly could not locate a verion of Microsoft Office"));
    click("CommandCompetitors");
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!Pointer::isBusy());
    settle();
    QCOMPARE(form(), before);
    QVERIFY(!child("LabelLoad")->isVisible());
    QVERIFY(!Forms::isLoaded(QStringLiteral("FormReportCompActivities")));

    // The contacts report names the database's reason.
    m_session->exec(Tessaly, "DROP TABLE TABLE03");
    click("CommandContacts");
    toggle(18);
    m_session->expectMessage(
        QStringLiteral("The report could not read its data from TESSALY.mdb: "));
    click("CommandGoContacts");
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(!child("LabelLoad")->isVisible());
    QVERIFY(box(1)->isChecked()); // the choices stay for another try
}

void TestReports::windowIsBackInItsInitialStateAfterAReport() {
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    FormReports* before = open();
    click("CommandCompanies");
    toggle(18);
    click("CommandGoCompanies");
    VERIFY_REPORT_MADE(reportFile(), before);
    for (const char* name : {"FrameDisplay", "CommandGoCompanies", "CommandGoContacts", "LabelLoad",
                             "Image1", "Shape1", "Shape2", "FrameHelp"})
        QVERIFY2(!child(name)->isVisible(), name);
    for (int number = 1; number <= 18; ++number)
        QVERIFY(!box(number)->isChecked());
    QCOMPARE(Twips::geometry(child("Shape1")).width(), 135);
    QVERIFY(!Forms::isLoaded(QStringLiteral("FormReportCompanies")));

    // A query window shown by name makes its report and goes at once.
    FormReports* third = form();
    Forms::show(QStringLiteral("FormReportCompanies"));
    settle();
    QVERIFY(!Forms::isLoaded(QStringLiteral("FormReportCompanies")));
    QCOMPARE(Desktop::opened().size(), 2);
    VERIFY_REPORT_MADE(reportFile(), third);

    // A second report is a second query and a second file.
    const QString first = reportFile();
    FormReports* second = form();
    click("CommandCompanies");
    click("CommandGoCompanies");
    VERIFY_REPORT_MADE(reportFile(), second);
    QVERIFY(reportFile() != first);
}

// --- The progress bar ----------------------------------------------------

void TestReports::progressBarGrowsStepByStep() {
    open();
    ModuleProgress::ProgressStep();
    QVERIFY(child("Shape1")->isVisible());
    QVERIFY(child("Shape2")->isVisible());
    QCOMPARE(Twips::geometry(child("Shape1")).width(), 135 + 350);
    const int left = Twips::geometry(child("Shape1")).left();
    int steps = 1;
    while (Twips::geometry(child("Shape1")).width() < 8000 && steps < 100) {
        ModuleProgress::ProgressStep();
        ++steps;
    }
    const int full = Twips::geometry(child("Shape1")).width();
    QVERIFY(full >= 8000);
    QVERIFY(full <= 8775);          // inside its frame
    ModuleProgress::ProgressStep(); // full: no further
    QCOMPARE(Twips::geometry(child("Shape1")).width(), full);
    QCOMPARE(Twips::geometry(child("Shape1")).left(), left);
    QVERIFY(child("Shape2")->geometry().contains(child("Shape1")->geometry()));
}

// --- The other windows ---------------------------------------------------

void TestReports::searchOpensEveryCallReportNewestFirst() {
    ReportFixtures::addCompany(*m_session, 1, QStringLiteral("Acme Ltd"));
    m_session->exec(Tessaly, "INSERT INTO TABLE08 (NUMBER01, DATE01, MEMO01) VALUES "
                             "(1, '2026-01-01', 'Old'), (1, '2026-06-01', 'New'), "
                             "(1, '2026-03-01', 'Middle')");
    open();
    // Whatever the window showed before.
    auto* search = Forms::get<FormAllCallReports>();
    QVERIFY(
        search->Open("Filter Call Reports", "SELECT * FROM TABLE08 WHERE TABLE08.MEMO01 = 'Old'"));
    click("CommandSearch");
    QVERIFY(search->isVisible());
    QCOMPARE(search->windowTitle(), QString("Search Call Reports"));
    QCOMPARE(search->documents()->databaseName(), QString("TESSALY.mdb"));
    QCOMPARE(search->documents()->recordSource(),
             QString("SELECT * FROM TABLE08 ORDER BY  TABLE08.DATE01 DESC"));
    QCOMPARE(search->documents()->recordset()->recordCount(), 3);
    QCOMPARE(search->documents()->recordset()->field("MEMO01").toString(), QString("New"));
    QCOMPARE(search->focusWidget(), search->findChild<QLineEdit*>("TextFind"));
}

void TestReports::overdueVisitsOpensItsWindow() {
    open();
    click("CommandOverdue");
    QVERIFY(Forms::isVisible(QStringLiteral("FormOverdue")));
}

void TestReports::callReportFilterOpensItsWindowOnceThere() {
    if (!Forms::isRegistered(QStringLiteral("FormFilter"))) {
        open();
        QVERIFY(!child("CommandCallReports")->isEnabled());
        QVERIFY(!child("LabelCallReports")->isEnabled());
        Forms::unload(QString::fromLatin1(FormReports::Name));
        settle();
        Forms::add(QStringLiteral("FormFilter"),
                   [] { return new Form(QStringLiteral("FormFilter")); });
    }
    open();
    QVERIFY(child("CommandCallReports")->isEnabled());
    click("CommandCallReports");
    QVERIFY(Forms::isVisible(QStringLiteral("FormFilter")));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
