#include "StoredTasks.h"
#include "TestSession.h"

#include "activities/FormProjectSummary.h"
#include "activities/FormProjects.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "data/ProjectPipeline.h"
#include "formats/WorkbookReader.h"
#include "formats/Worksheet.h"
#include "platform/Locale.h"
#include "services/Desktop.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBGrid.h"
#include "widgets/DBList.h"
#include "widgets/FlexGrid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString Line = QStringLiteral("____________________");

} // namespace

// The projects window and the project summary, driven through their
// controls from a real companies window; what they store is read back with
// SQL, the follow-up task with libical and the summary workbook with the
// workbook reader.
class TestProjects : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Reaching the window.
    void functionKeyAndButtonOpenTheWindow();
    void hoverTexts_data();
    void hoverTexts();
    void manualChapterOnTheHelpPage();

    // Views and status.
    void viewsListTheProjectsOfTheirStatus();
    void companyWithoutProjectsListsNothing();
    void choosingAProjectShowsItsStepsOldestFirst();
    void completedProjectLeavesTheActiveView();

    // A new project.
    void newProjectInThreeSteps();
    void newProjectWithoutIndustryGroups();
    void newProjectWithATypedName();

    // Value and probability.
    void probabilityKeystrokes_data();
    void probabilityKeystrokes();
    void emptiedProbabilityIsAccepted();

    // Action steps and their follow-up.
    void newActionStepIsStoredForItsProject();
    void enterIsRefusedInTheActionText();
    void newActionStepNeedsAProject();
    void followUpSavesTheTask_data();
    void followUpSavesTheTask();
    void companyChangeKeepsTheStepOnItsProject();
    void followUpTaskThatCannotBeSaved();
    void editingStepsInTheGrid();

    // Delete.
    void deleteAsks_data();
    void deleteAsks();
    void deleteWithAnEmptyListDeletesNothing();

    // The weighted pipeline.
    void pipelineNamesValuesThatAreNoNumbers();
    void pipelineReadsNumbersInTheUsersForm_data();
    void pipelineReadsNumbersInTheUsersForm();

    // The project summary.
    void summaryListsTheStepsOfActiveProjects();
    void summaryOfACompanyWithAnApostrophe();
    void summaryWithoutStepsShowsTitlesOnly();
    void summaryColumnsFollowTheWindow();
    void summaryWorkbookOpened();
    void summaryWorkbookPrinted();
    void summaryFolderThatCannotBeWritten();

private:
    FormProjects* open(const QString& company = "Acme");
    FormProjects* form() const {
        return qobject_cast<FormProjects*>(Forms::loaded(FormProjects::Name));
    }
    template <class T = QWidget> T* child(const QString& name, QWidget* in = nullptr) const {
        QWidget* parent = in ? in : form();
        T* widget = parent ? parent->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name, QWidget* in = nullptr) {
        QTest::mouseClick(child<QPushButton>(name, in), Qt::LeftButton);
    }
    QStringList listed(const QString& name = "DBListProjects") const {
        QStringList texts;
        auto* list = child<DBList>(name);
        for (int row = 0; row < list->listCount(); ++row)
            texts << list->model()->index(row, 0).data().toString();
        return texts;
    }
    void choose(const QString& project) {
        auto* list = child<DBList>("DBListProjects");
        const int row = listed().indexOf(project);
        QVERIFY2(row >= 0, qPrintable(project));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }
    void clickDate(const QString& calendar, const QDate& date) {
        auto* month = child<QCalendarWidget>(calendar);
        month->setSelectedDate(date);
        emit month->clicked(date);
    }
    void startStep(const QString& project, const QDate& date, const QString& text) {
        choose(project);
        click("CommandNewAction");
        clickDate("MonthView1", date);
        QTest::keyClicks(child<QPlainTextEdit>("TextAction"), text);
    }
    FormProjectSummary* openSummary(const QString& company = "Acme") {
        open(company);
        click("CommandSummary");
        auto* summary = qobject_cast<FormProjectSummary*>(Forms::loaded(FormProjectSummary::Name));
        if (!summary)
            qFatal("no summary");
        return summary;
    }
    std::optional<Worksheet> readBack(const QString& path) {
        QString error;
        auto reader = WorkbookReader::open(path, &error);
        if (!reader) {
            qWarning("%s", qPrintable(error));
            return std::nullopt;
        }
        return reader->sheet(reader->sheetNames().value(0), &error);
    }
    QStringList reportFiles() const {
        QStringList found;
        QDir dir(m_session->path());
        for (const QString& sub : {QString(), QStringLiteral("Temp")})
            for (const QString& name :
                 QDir(dir.filePath(sub)).entryList({"Tessaly Report*"}, QDir::Files))
                found << name;
        return found;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestProjects::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT13, TEXT20) VALUES "
        "(1, 'Acme', 'Industrial', 'Company'), (2, 'Baker''s Dozen', 'Bakery', 'Company'), "
        "(3, 'Crane Works', 'Lifting', 'Company');"
        "INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, TEXT05, TEXT06, "
        "DATE01) VALUES "
        "(10, 1, 'Chemicals', 'New plant', 'Active Project', '10000', '50', '2026-11-01'),"
        "(11, 1, 'Steel', 'Roof repair', 'Active Project', '2,500', '100', '2026-10-01'),"
        "(12, 1, 'Food', 'Canteen', 'Active Project', 'call me', '20', '2026-09-01'),"
        "(13, 1, 'Steel', 'Old crane', 'Cancelled Project', '5000', '10', '2025-01-01'),"
        "(14, 1, 'Steel', 'Warehouse', 'Completed Project', '7000', '100', '2025-02-01'),"
        "(15, 2, 'Food', 'Ovens', 'Active Project', '900', '30', '2026-06-01'),"
        "(16, 3, 'Steel', 'Gantry', 'Active Project', '', '', '2026-06-02');"
        "INSERT INTO TABLE07 (NUMBER01, NUMBER02, DATE01, MEMO01) VALUES "
        "(10, 1, '2026-11-20', 'Visit the site'), (10, 1, '2026-11-05', 'First call'),"
        "(11, 1, '2026-10-02', 'Offer sent'), (13, 1, '2026-01-01', 'Old step'),"
        "(14, 1, '2025-03-01', 'Handed over'), (15, 2, '2026-12-01', 'Oven demo');"
        "INSERT INTO MT04 (TEXT01) VALUES ('Chemicals'), ('Food'), ('Steel');"
        "INSERT INTO MT06 (TEXT01) VALUES ('Extension'), ('New plant');");
    m_session->registerForms();
    Desktop::record();
}

void TestProjects::cleanup() {
    m_session.reset();
}

FormProjects* TestProjects::open(const QString& company) {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    auto* companies = Forms::get<FormCompanies>();
    if (company != companies->companyName()) {
        DBCombo* combo = companies->selector();
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), company);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    }
    if (companies->companyName() != company)
        qFatal("the companies window did not reach %s", qPrintable(company));
    QTest::keyClick(companies, Qt::Key_F5);
    settle();
    FormProjects* projects = form();
    if (!projects || !projects->isVisible())
        qFatal("the projects window was not shown");
    projects->Timer1_Timer();
    return projects;
}

// ---- reaching the window ----

void TestProjects::functionKeyAndButtonOpenTheWindow() {
    FormProjects* projects = open();
    QVERIFY(!Forms::get<FormCompanies>()->isVisible());
    QCOMPARE(projects->windowTitle(), QString("Projects - Acme"));
    QVERIFY(!child<QPushButton>("CommandF5")->isEnabled());
    QCOMPARE(child<QPushButton>("CommandF5")->text(), QString("PROJECTS F5"));
    QVERIFY(child<QLabel>("LabelDateandTime")->text().startsWith("12/10/2026 10:00"));

    // F2 goes back to the companies window; its button "PROJECTS F5" returns.
    QTest::keyClick(projects, Qt::Key_F2);
    settle();
    QVERIFY(!form());
    auto* companies = Forms::get<FormCompanies>();
    QVERIFY(companies->isVisible());
    QTest::mouseClick(child<QPushButton>("CommandF5", companies), Qt::LeftButton);
    settle();
    QVERIFY(form() && form()->isVisible());
    QCOMPARE(listed(), (QStringList{"Roof repair", "Canteen", "New plant"}));

    // Releasing F1 opens the help.
    QTest::keyRelease(form(), Qt::Key_F1);
    QVERIFY(Forms::isVisible("FormHelp"));
}

void TestProjects::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("new") << "CommandNew"
                         << "Add new project.";
    QTest::newRow("delete") << "CommandDelete"
                            << "Delete project.";
    QTest::newRow("summary") << "CommandSummary"
                             << "Display all active projects for Baker's Dozen.";
    QTest::newRow("new step") << "CommandNewAction"
                              << "Enter new action step.";
    QTest::newRow("edit") << "CommandEdit"
                          << "Edit or delete action steps.";
    QTest::newRow("outlook") << "CommandOutlook"
                             << "Send to MS-Outlook.";
    QTest::newRow("help") << "CommandHelp"
                          << "Tessaly Help.";
    QTest::newRow("exit") << "CommandExit"
                          << "Exit and close the program.";
    QTest::newRow("projects") << "DBListProjects"
                              << "Select a project.";
    QTest::newRow("groups") << "DBListIndustryGroup"
                            << "Select an industy group.";
    QTest::newRow("status") << "FrameStatus"
                            << "Change the status of the project.";
    QTest::newRow("value") << "TEXT05"
                           << "Enter the potetial value of project Ovens.";
    QTest::newRow("probability") << "TEXT06"
                                 << "Enter the probability (%) of completing this project. The "
                                    "probability should normally change as the project "
                                    "progresses.";
    QTest::newRow("active") << "OptionActiveProjects"
                            << "Go to all active projects for Baker's Dozen.";
    QTest::newRow("cancelled") << "OptionCancelledProjects"
                               << "Go to all cancelled projects for Baker's Dozen.";
    QTest::newRow("completed") << "OptionCompletedProjects"
                               << "Go to all completed projects for Baker's Dozen.";
    QTest::newRow("picker") << "DBComboSelect"
                            << "Start typing the name of the company until the correct name is "
                               "displayed. You can also use the 'arrow' keys on your keyboard to "
                               "navigate.";
}

void TestProjects::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    FormProjects* projects = open("Baker's Dozen");
    HoverHelp* help = projects->hoverHelp();
    QWidget* target = child(control);
    QCOMPARE(help->text(target), text);
    help->showFor(target);
    QVERIFY(child("FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), text);
    help->showBackground();
    QVERIFY(!child("FrameHelp")->isVisible());
}

void TestProjects::manualChapterOnTheHelpPage() {
    // F1 opens the help on the window's page, 33.
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 33);
    const QString text = manual.getAllText(32).text();
    QVERIFY2(text.simplified().startsWith("Projects and action steps"), qPrintable(text.left(80)));
}

// ---- views and status ----

void TestProjects::viewsListTheProjectsOfTheirStatus() {
    open();
    // Active projects by industry group, descending.
    QCOMPARE(listed(), (QStringList{"Roof repair", "Canteen", "New plant"}));
    QVERIFY(child<QRadioButton>("OptionActiveProjects")->isChecked());
    QVERIFY(!child("FrameAction")->isVisible());
    QVERIFY(child("FrameStatus")->isVisible());
    QTest::mouseClick(child<QRadioButton>("OptionCancelledProjects"), Qt::LeftButton);
    QCOMPARE(listed(), QStringList{"Old crane"});
    QTest::mouseClick(child<QRadioButton>("OptionCompletedProjects"), Qt::LeftButton);
    QCOMPARE(listed(), QStringList{"Warehouse"});
    QCOMPARE(form()->projects()->recordSource(),
             QString("SELECT * FROM TABLE06 WHERE TABLE06.NUMBER01 =1  AND TABLE06.TEXT03 = "
                     "'Completed Project' ORDER BY TEXT01 DESC"));
    QTest::mouseClick(child<QRadioButton>("OptionActiveProjects"), Qt::LeftButton);
    QCOMPARE(listed().size(), 3);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestProjects::companyWithoutProjectsListsNothing() {
    m_session->exec("TESSALY.mdb", "UPDATE TABLE06 SET TEXT03 = 'Cancelled Project' "
                                   "WHERE NUMBER01 = 3");
    FormProjects* projects = open("Crane Works");
    QVERIFY(listed().isEmpty());
    QCOMPARE(projects->windowTitle(), QString("Projects - Crane Works"));
    // The cancelled view still holds its project.
    QTest::mouseClick(child<QRadioButton>("OptionCancelledProjects"), Qt::LeftButton);
    QCOMPARE(listed(), QStringList{"Gantry"});
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestProjects::choosingAProjectShowsItsStepsOldestFirst() {
    FormProjects* projects = open();
    choose("New plant");
    QVERIFY(child("FrameAction")->isVisible());
    QVERIFY(child("CommandNewAction")->isVisible());
    QVERIFY(child("CommandEdit")->isVisible());
    QCOMPARE(child<QLineEdit>("TEXT05")->text(), QString("10000"));
    QCOMPARE(child<QLineEdit>("TEXT06")->text(), QString("50"));
    QCOMPARE(child<QComboBox>("ComboStatus")->currentText(), QString("Active Project"));
    projects->Timer1_Timer();
    QCOMPARE(child<QLabel>("LabelEntered")->text(), QString("Entered on 11/1/2026"));
    auto* grid = child<DBGrid>("DBGrid1");
    QVERIFY(!grid->isEnabled());
    QCOMPARE(grid->model()->columnCount(), 2);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Date"));
    QCOMPARE(grid->model()->headerData(1, Qt::Horizontal).toString(), QString("Action Step"));
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QString("11/5/2026"));
    QCOMPARE(grid->model()->index(0, 1).data().toString(), QString("First call"));
    QCOMPARE(grid->model()->index(1, 1).data().toString(), QString("Visit the site"));
    QCOMPARE(projects->actionSteps()->recordSource(),
             QString("SELECT * FROM TABLE07 WHERE TABLE07.NUMBER01 =10 ORDER BY  DATE01 "));
    choose("Canteen");
    QCOMPARE(grid->model()->rowCount(), 0);
}

void TestProjects::completedProjectLeavesTheActiveView() {
    open();
    choose("Roof repair");
    auto* combo = child<QComboBox>("ComboStatus");
    combo->setCurrentIndex(combo->findText("Completed Project"));
    emit combo->activated(combo->currentIndex());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT03 FROM TABLE06 WHERE AUTONUMBER = 11"),
             QVariant("Completed Project"));
    QCOMPARE(listed(), (QStringList{"Canteen", "New plant"}));
    QVERIFY(!child("CommandNewAction")->isVisible());
    QTest::mouseClick(child<QRadioButton>("OptionCompletedProjects"), Qt::LeftButton);
    QCOMPARE(listed(), (QStringList{"Roof repair", "Warehouse"}));
}

// ---- a new project ----

void TestProjects::newProjectInThreeSteps() {
    open();
    const QRect projectsFrame = Twips::geometry(child("FrameProjects"));
    const int nameTop = Twips::geometry(child("FrameProjectName")).y();
    const int doneTop = Twips::geometry(child("CommandDone")).y();
    click("CommandNew");
    QVERIFY(child("FrameIndustryGroup")->isVisible());
    QCOMPARE(Twips::geometry(child("FrameIndustryGroup")).y(), projectsFrame.y());
    for (const char* hidden : {"FrameProjects", "FrameAction", "FrameGoTo", "FrameStatus"})
        QVERIFY2(!child(hidden)->isVisible(), hidden);
    QVERIFY(!child("CommandNew")->isEnabled());
    QCOMPARE(child<QComboBox>("ComboStatus")->currentText(), QString("Active Project"));
    QCOMPARE(listed("DBListIndustryGroup"), (QStringList{"Chemicals", "Food", "Steel"}));
    QCOMPARE(child<DBCombo>("DBComboProjectName")->text(), QString("Select Project Name..."));

    auto* groups = child<DBList>("DBListIndustryGroup");
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                      groups->visualRect(groups->model()->index(1, 0)).center());
    QCOMPARE(Twips::geometry(child("FrameProjectName")).y(), nameTop - 6840);
    QVERIFY(child("FrameProjectName")->isVisible());
    auto* names = child<DBCombo>("DBComboProjectName");
    names->setCurrentIndex(names->findText("Extension"));
    emit names->activated(names->currentIndex());
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Extension"));
    QCOMPARE(Twips::geometry(child("CommandDone")).y(), doneTop - 6840);
    QVERIFY(child("CommandDone")->isVisible());
    QTest::keyClicks(child<QLineEdit>("TEXT05"), "12000");
    QTest::keyClicks(child<QLineEdit>("TEXT06"), "40");
    click("CommandDone");

    const auto rows = m_session->rows(
        "TESSALY.mdb", "SELECT NUMBER01, TEXT01, TEXT02, TEXT03, TEXT05, TEXT06, DATE01 "
                       "FROM TABLE06 WHERE TEXT02 = 'Extension'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first(),
             (QVariantList{1, "Food", "Extension", "Active Project", "12000", "40", "2026-12-10"}));
    QVERIFY(child("FrameProjects")->isVisible());
    QVERIFY(child("CommandNew")->isEnabled());
    QVERIFY(!child("CommandDone")->isVisible());
    QVERIFY(!child("FrameIndustryGroup")->isVisible());
    QVERIFY(child("FrameGoTo")->isVisible());
    QVERIFY(child("FrameAction")->isVisible());
    QVERIFY(child("CommandNewAction")->isVisible());
    QCOMPARE(listed(), (QStringList{"Roof repair", "Canteen", "Extension", "New plant"}));
    // The new project is the chosen one: its step goes to it.
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Extension"));
    QCOMPARE(Twips::geometry(child("FrameProjectName")).y(), nameTop);
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestProjects::newProjectWithoutIndustryGroups() {
    m_session->exec("TESSALY.mdb", "DELETE FROM MT04");
    open();
    click("CommandNew");
    auto* groups = child<DBList>("DBListIndustryGroup");
    QCOMPARE(groups->listCount(), 0);
    m_session->expectMessage("You must enter an 'Industry Group' in Mastertables");
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(MsgBox::last().style, MsgBox::Critical);
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    // The remaining steps were carried out.
    QVERIFY(child("FrameProjectName")->isVisible());
    QVERIFY(!child("FrameStatus")->isVisible());
}

void TestProjects::newProjectWithATypedName() {
    open("Crane Works");
    click("CommandNew");
    auto* groups = child<DBList>("DBListIndustryGroup");
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                      groups->visualRect(groups->model()->index(2, 0)).center());
    auto* names = child<DBCombo>("DBComboProjectName");
    names->setFocus();
    names->lineEdit()->selectAll();
    QTest::keyClicks(names->lineEdit(), "Gantry crane 2");
    // Typing keeps the focus in the box; the name is taken as typed.
    QVERIFY(names->lineEdit()->hasFocus());
    QVERIFY(child("CommandDone")->isVisible());
    QCOMPARE(child<QLineEdit>("TEXT02")->text(), QString("Gantry crane 2"));
    click("CommandDone");
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT NUMBER01, TEXT01, TEXT03, DATE01 FROM TABLE06 "
                                            "WHERE TEXT02 = 'Gantry crane 2'"),
             (QList<QVariantList>{{3, "Steel", "Active Project", "2026-12-10"}}));
    QCOMPARE(listed(), (QStringList{"Gantry", "Gantry crane 2"}));
}

// ---- value and probability ----

void TestProjects::probabilityKeystrokes_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<QString>("left");
    QTest::newRow("100") << "100" << 0 << "100";
    QTest::newRow("101 at the third key") << "101" << 1 << "";
    QTest::newRow("1000") << "1000" << 1 << "";
    QTest::newRow("0") << "0" << 1 << "";
    QTest::newRow("text") << "x" << 1 << "";
    QTest::newRow("minus at the first key") << "-5" << 1 << "5";
    QTest::newRow("1") << "1" << 0 << "1";
    QTest::newRow("fraction") << "12.5" << 0 << "12.5";
}

void TestProjects::probabilityKeystrokes() {
    QFETCH(QString, typed);
    QFETCH(int, refusals);
    QFETCH(QString, left);
    open();
    choose("Canteen");
    auto* box = child<QLineEdit>("TEXT06");
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    for (int i = 0; i < refusals; ++i)
        m_session->expectMessage("You must enter a numerical value between 1 and 100");
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), left);
    QCOMPARE(MsgBox::shown().size(), refusals);
    if (refusals > 0) {
        QCOMPARE(MsgBox::last().style, MsgBox::Information);
        QVERIFY(box->hasFocus());
    }
    // Moving on stores what is left.
    choose("New plant");
    QCOMPARE(m_session->scalar("TESSALY.mdb",
                               "SELECT IFNULL(TEXT06, '') FROM TABLE06 WHERE AUTONUMBER = 12"),
             QVariant(left));
}

void TestProjects::emptiedProbabilityIsAccepted() {
    open();
    choose("New plant");
    auto* box = child<QLineEdit>("TEXT06");
    box->setFocus();
    box->end(false);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    QCOMPARE(box->text(), QString());
    QVERIFY(MsgBox::shown().isEmpty());
    choose("Canteen");
    QCOMPARE(m_session->scalar("TESSALY.mdb",
                               "SELECT IFNULL(TEXT06, '') FROM TABLE06 WHERE AUTONUMBER = 10"),
             QVariant(""));
}

// ---- action steps ----

void TestProjects::newActionStepIsStoredForItsProject() {
    open();
    choose("Roof repair");
    click("CommandNewAction");
    QVERIFY(!child("FrameAction")->isVisible());
    auto* month = child<QCalendarWidget>("MonthView1");
    QVERIFY(month->isVisible());
    QCOMPARE(Twips::geometry(month).y(), 720);
    QCOMPARE(child<QLabel>("LabelHelp")->text(), QString("Select a date."));
    QCOMPARE(month->selectedDate(), QDate(2026, 12, 10));
    clickDate("MonthView1", QDate(2026, 12, 14));
    QVERIFY(child("FrameNew")->isVisible());
    QCOMPARE(Twips::geometry(child("FrameNew")).y(), Twips::geometry(child("FrameAction")).y());
    QVERIFY(!month->isVisible());
    QCOMPARE(child<QLineEdit>("TextDate")->text(), QString("12/14/2026"));
    QCOMPARE(Twips::geometry(child("CommandSaveAction")).y(), 3000);
    QCOMPARE(Twips::geometry(child("CommandFollowUp")).y(), 3000);
    QCOMPARE(Twips::geometry(child("CommandFollowUp")).x(), 7200);
    QVERIFY(child("TextAction")->hasFocus());
    // The project list is locked while the step is entered.
    form()->Timer1_Timer();
    QVERIFY(!child("DBListProjects")->isEnabled());
    QTest::keyClicks(child<QPlainTextEdit>("TextAction"), "Call the buyer");
    QPointer<FormProjects> before = form();
    click("CommandSaveAction");
    settle();
    QVERIFY(!before);
    QVERIFY(form() && form()->isVisible());
    QCOMPARE(listed().size(), 3);
    QVERIFY(!child("FrameNew")->isVisible());
    const auto rows =
        m_session->rows("TESSALY.mdb", "SELECT NUMBER01, NUMBER02, DATE01, MEMO01 "
                                       "FROM TABLE07 WHERE MEMO01 = 'Call the buyer'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first(), (QVariantList{11, 1, "2026-12-14", "Call the buyer"}));
}

void TestProjects::enterIsRefusedInTheActionText() {
    FormProjects* projects = open();
    startStep("New plant", QDate(2026, 12, 11), "Call back");
    auto* text = child<QPlainTextEdit>("TextAction");
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClick(text, Qt::Key_Enter);
    QTest::keyClicks(text, " soon");
    QCOMPARE(text->toPlainText(), QString("Call back soon"));
    QCOMPARE(projects->refusedEnterKeys(), 2);
}

void TestProjects::newActionStepNeedsAProject() {
    FormProjects* projects = open("Crane Works");
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE06 WHERE NUMBER01 = 3");
    QTest::mouseClick(child<QRadioButton>("OptionActiveProjects"), Qt::LeftButton);
    QVERIFY(listed().isEmpty());
    m_session->expectMessage("You must select your Project before adding Action Steps.");
    projects->CommandNewAction_Click();
    QCOMPARE(MsgBox::last().style, MsgBox::Information);
    QVERIFY(!child("MonthView1")->isVisible());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE07"), QVariant(6));
}

void TestProjects::followUpSavesTheTask_data() {
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("subject");
    QTest::newRow("one project") << false << "Baker's Dozen: Follow up on Ovens.";
    QTest::newRow("all projects") << true << "Baker's Dozen: Follow up on all projects.";
}

void TestProjects::followUpSavesTheTask() {
    QFETCH(bool, all);
    QFETCH(QString, subject);
    open("Baker's Dozen");
    startStep("Ovens", QDate(2026, 12, 11), "Demo done");
    click("CommandFollowUp");
    QVERIFY(child("FrameFollowUp")->isVisible());
    QCOMPARE(Twips::geometry(child("FrameFollowUp")).topLeft(), QPoint(6000, 3000));
    QVERIFY(!child("CommandSaveAction")->isVisible());
    QVERIFY(!child("CommandFollowUp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), QString("Select a follow-up date."));
    QVERIFY(!child("DATE02")->isVisible());
    form()->Timer1_Timer();
    QVERIFY(!child("DBListProjects")->isEnabled());
    clickDate("MonthView2", QDate(2026, 12, 18));
    QVERIFY(!child("MonthView2")->isVisible());
    QVERIFY(!child("FrameHelp")->isVisible());
    QCOMPARE(child<QLineEdit>("DATE02")->text(), QString("12/18/2026"));
    QCOMPARE(child<QLineEdit>("TEXT04")->text(), QString("Baker's Dozen: Follow up on Ovens."));
    auto* check = child<QCheckBox>("Check1");
    QCOMPARE(check->text(), QString("Follow up all projects for Baker's Dozen"));
    if (all) {
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
        QCOMPARE(child<QLineEdit>("TEXT04")->text(), subject);
        // Cleared and ticked again.
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
        QCOMPARE(child<QLineEdit>("TEXT04")->text(), QString("Baker's Dozen: Follow up on Ovens."));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    }
    m_session->expectMessage("Your Follow-Up has been saved in MS-Outlook");
    QPointer<FormProjects> before = form();
    click("CommandOutlook");
    settle();
    QCOMPARE(MsgBox::last().style, MsgBox::Information);
    QVERIFY(!before);
    QVERIFY(form() && form()->isVisible());

    const QList<StoredTask> tasks = storedTasks(m_session->path());
    QCOMPARE(tasks.size(), 1);
    QCOMPARE(tasks.first().summary, subject);
    QCOMPARE(tasks.first().due, QDate(2026, 12, 18));
    // The project keeps its follow-up; the step is stored.
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT04, DATE02 FROM TABLE06 WHERE AUTONUMBER = 15"),
        (QList<QVariantList>{{subject, "2026-12-18"}}));
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT NUMBER01, NUMBER02, DATE01 FROM TABLE07 "
                                            "WHERE MEMO01 = 'Demo done'"),
             (QList<QVariantList>{{15, 2, "2026-12-11"}}));
}

void TestProjects::companyChangeKeepsTheStepOnItsProject() {
    open();
    startStep("New plant", QDate(2026, 12, 12), "Sample sent");
    click("CommandFollowUp");
    clickDate("MonthView2", QDate(2026, 12, 20));
    // Another company is chosen before the task is sent.
    auto* picker = child<CompanyPicker>("DBComboSelect");
    picker->setFocus();
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "Baker");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("Baker's Dozen"));
    QCOMPARE(listed(), QStringList{"Ovens"});
    form()->Timer1_Timer();
    QVERIFY(child("DBListProjects")->isEnabled());
    QVERIFY(!child("FrameFollowUp")->isVisible());
    QVERIFY(!child("FrameNew")->isVisible());
    QVERIFY(storedTasks(m_session->path()).isEmpty());
    // The step and the note stay with the project they were begun for.
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT NUMBER01, NUMBER02 FROM TABLE07 "
                                            "WHERE MEMO01 = 'Sample sent'"),
             (QList<QVariantList>{{10, 1}}));
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT AUTONUMBER, DATE02 FROM TABLE06 WHERE DATE02 IS NOT NULL"),
             (QList<QVariantList>{{10, "2026-12-20"}}));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestProjects::followUpTaskThatCannotBeSaved() {
    open();
    // The mail program's store cannot be made: "Outlook" is a file.
    QDir(m_session->file("Outlook")).removeRecursively();
    QFile blocker(m_session->file("Outlook"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    startStep("Roof repair", QDate(2026, 12, 15), "Offer revised");
    click("CommandFollowUp");
    clickDate("MonthView2", QDate(2026, 12, 22));
    m_session->expectMessage("The folder");
    QPointer<FormProjects> before = form();
    click("CommandOutlook");
    settle();
    QCOMPARE(MsgBox::last().style, MsgBox::Critical);
    // Nothing is lost: the same window still holds the step and its follow-up.
    QVERIFY(before && before->isVisible());
    QVERIFY(child("FrameFollowUp")->isVisible());
    QCOMPARE(child<QPlainTextEdit>("TextAction")->toPlainText(), QString("Offer revised"));
    QCOMPARE(m_session->scalar("TESSALY.mdb",
                               "SELECT COUNT(*) FROM TABLE07 WHERE MEMO01 = 'Offer revised'"),
             QVariant(0));
}

void TestProjects::editingStepsInTheGrid() {
    open();
    choose("New plant");
    auto* grid = child<DBGrid>("DBGrid1");
    QVERIFY(!grid->isEnabled());
    click("CommandEdit");
    QVERIFY(grid->isEnabled());
    QVERIFY(
        grid->model()->setData(grid->model()->index(0, 1), "First call, no answer", Qt::EditRole));
    grid->setCurrentIndex(grid->model()->index(1, 1));
    QVERIFY(grid->deleteSelectedRows());
    settle();
    QCOMPARE(m_session->column("TESSALY.mdb",
                               "SELECT MEMO01 FROM TABLE07 WHERE NUMBER01 = 10 ORDER BY DATE01"),
             QStringList{"First call, no answer"});
}

// ---- delete ----

void TestProjects::deleteAsks_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << int(MsgBox::Yes) << 0;
    QTest::newRow("no") << int(MsgBox::No) << 1;
}

void TestProjects::deleteAsks() {
    QFETCH(int, answer);
    QFETCH(int, left);
    open();
    choose("New plant");
    m_session->expectMessage("Are you sure you want to delete this project?",
                             MsgBox::Result(answer));
    click("CommandDelete");
    QCOMPARE(MsgBox::last().style, MsgBox::YesNo | MsgBox::Question);
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE06 WHERE AUTONUMBER = 10"),
             QVariant(left));
    QCOMPARE(listed().contains("New plant"), left == 1);
    // Its action steps stay in their table, unseen.
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE07 WHERE NUMBER01 = 10"),
             QVariant(2));
}

void TestProjects::deleteWithAnEmptyListDeletesNothing() {
    m_session->exec("TESSALY.mdb", "UPDATE TABLE06 SET TEXT03 = 'Completed Project' "
                                   "WHERE NUMBER01 = 3");
    open("Crane Works");
    QVERIFY(listed().isEmpty());
    m_session->expectMessage("Are you sure you want to delete this project?", MsgBox::Yes);
    click("CommandDelete");
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE06"), QVariant(7));
}

// ---- the weighted pipeline ----

void TestProjects::pipelineNamesValuesThatAreNoNumbers() {
    FormProjects* projects = open();
    // 10000 x 50 % + 2,500 x 100 %; "call me" is named, not guessed.
    QCOMPARE(projects->pipelineText(), QString("Weighted pipeline: 7,500.00 over 2 projects; left "
                                               "out: 1 project whose value is not a number"));
    const QRect line = Twips::geometry(child("LabelPipeline"));
    for (const char* other :
         {"FrameProjects", "FrameGoTo", "FrameStatus", "TEXT05", "TEXT06", "FrameHelp"})
        QVERIFY2(!line.intersects(Twips::geometry(child(other))), other);
    // A completed project leaves the sum.
    choose("New plant");
    auto* combo = child<QComboBox>("ComboStatus");
    combo->setCurrentIndex(combo->findText("Completed Project"));
    emit combo->activated(combo->currentIndex());
    QCOMPARE(projects->pipelineText(), QString("Weighted pipeline: 2,500.00 over 1 project; left "
                                               "out: 1 project whose value is not a number"));
    // A company without projects has an empty pipeline.
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE06 WHERE NUMBER01 = 3");
    open("Crane Works");
    QCOMPARE(form()->pipelineText(), QString("Weighted pipeline: 0.00 over 0 projects"));
}

void TestProjects::pipelineReadsNumbersInTheUsersForm_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("probability");
    QTest::addColumn<double>("weighted");
    QTest::addColumn<int>("notNumber");
    QTest::newRow("en_US") << "en_US"
                           << "12,000.5"
                           << "50" << 6000.25 << 0;
    QTest::newRow("de_DE") << "de_DE"
                           << "12.000,5"
                           << "50" << 6000.25 << 0;
    QTest::newRow("fr_FR") << "fr_FR"
                           << "12\u202f000,5"
                           << "50" << 6000.25 << 0;
    QTest::newRow("currency") << "en_US"
                              << "$12,000"
                              << "50" << 0.0 << 1;
    QTest::newRow("words") << "de_DE"
                           << "about 5000"
                           << "50" << 0.0 << 1;
}

void TestProjects::pipelineReadsNumbersInTheUsersForm() {
    QFETCH(QString, locale);
    QFETCH(QString, value);
    QFETCH(QString, probability);
    QFETCH(double, weighted);
    QFETCH(int, notNumber);
    Locale::pin(QLocale(locale));
    const auto sum = ProjectPipeline::sum({{value, probability}, {"100", ""}});
    QCOMPARE(sum.weighted, weighted);
    QCOMPARE(sum.valueNotNumber, notNumber);
    QCOMPARE(sum.withoutProbability, 1);
    QCOMPARE(sum.counted, notNumber == 0 ? 1 : 0);
    QVERIFY(ProjectPipeline::text(sum).contains("1 project without a probability"));
}

// ---- the project summary ----

void TestProjects::summaryListsTheStepsOfActiveProjects() {
    FormProjectSummary* summary = openSummary();
    QVERIFY(summary->isVisible());
    QVERIFY(!summary->isModal());
    QCOMPARE(summary->windowTitle(), QString("Active Projects for Acme"));
    FlexGrid* grid = summary->grid();
    QCOMPARE(grid->cols(), 6);
    QStringList titles;
    for (int c = 0; c < 6; ++c)
        titles << grid->textMatrix(0, c);
    QCOMPARE(titles, (QStringList{"INDUSTRY GROUP", "DATE ENTERED", "DIVISION", "PROJECT NAME",
                                  "ACTION DATE", "ACTION TAKEN"}));
    // Projects without steps (Canteen) and projects not active are left out.
    QCOMPARE(grid->rows(), 4);
    QStringList rows;
    for (int r = 1; r < grid->rows(); ++r)
        rows << grid->textMatrix(r, 3) + " " + grid->textMatrix(r, 4) + " " +
                    grid->textMatrix(r, 5);
    QCOMPARE(rows,
             (QStringList{"New plant 11/5/2026 First call", "New plant 11/20/2026 Visit the site",
                          "Roof repair 10/2/2026 Offer sent"}));
    QCOMPARE(grid->textMatrix(1, 0), QString("Chemicals"));
    QCOMPARE(grid->textMatrix(1, 2), QString("Industrial"));
    QVERIFY(grid->wordWrap());
}

void TestProjects::summaryOfACompanyWithAnApostrophe() {
    FormProjectSummary* summary = openSummary("Baker's Dozen");
    QCOMPARE(summary->windowTitle(), QString("Active Projects for Baker's Dozen"));
    QCOMPARE(summary->grid()->rows(), 2);
    QCOMPARE(summary->grid()->textMatrix(1, 5), QString("Oven demo"));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestProjects::summaryWithoutStepsShowsTitlesOnly() {
    FormProjectSummary* summary = openSummary("Crane Works");
    QCOMPARE(summary->grid()->rows(), 1);
    QCOMPARE(summary->grid()->textMatrix(0, 5), QString("ACTION TAKEN"));
}

void TestProjects::summaryColumnsFollowTheWindow() {
    FormProjectSummary* summary = openSummary();
    summary->resize(1000, 600);
    FlexGrid* grid = summary->grid();
    const QRect place = Twips::geometry(grid);
    QCOMPARE(place.x(), 120);
    QCOMPARE(place.y(), 960);
    const int width = Twips::fromPixelsX(summary->frameGeometry().width()) - 400;
    QVERIFY(qAbs(place.width() - width) <= 20);
    const double shares[] = {0.175, 0.10, -1, 0.145, 0.10, 0.35};
    for (int c = 0; c < 6; ++c)
        if (shares[c] > 0)
            QCOMPARE(grid->columnWidth(c), Twips::toPixelsX(qRound(width * shares[c])));
    for (int r = 0; r < grid->rows(); ++r)
        QCOMPARE(grid->rowHeight(r), Twips::toPixelsY(1000));
}

void TestProjects::summaryWorkbookOpened() {
    FormProjectSummary* summary = openSummary();
    QTest::mouseClick(child<QPushButton>("CommandExcel", summary), Qt::LeftButton);
    QVERIFY(child<QPushButton>("CommandExcel", summary)->isEnabled());
    QVERIFY(child<QPushButton>("CommandPrint", summary)->isEnabled());
    QCOMPARE(Desktop::opened().size(), 1);
    const QString path = Desktop::opened().first().toLocalFile();
    QCOMPARE(path, summary->reportFile());
    QVERIFY2(
        QRegularExpression("/Temp/Tessaly Report [1-9][0-9]{5}\\.xlsx$").match(path).hasMatch(),
        qPrintable(path));
    QVERIFY(!QFile::exists(m_session->file("Printed.pdf")));

    const auto sheet = readBack(path);
    QVERIFY(sheet);
    QCOMPARE(sheet->cell(0, 0), QVariant("Poject Report for Acme"));
    QVERIFY(sheet->format(0, 0).bold);
    QStringList titles;
    for (int c = 0; c < 5; ++c)
        titles << sheet->cell(3, c).toString();
    // No industry group column.
    QCOMPARE(titles, (QStringList{"DATE ENTERED", "DIVISION", "PROJECT NAME", "ACTION DATE",
                                  "ACTION TAKEN"}));
    QVERIFY(sheet->cell(3, 5).toString().isEmpty());
    QVERIFY(sheet->format(3, 0).bold);
    QCOMPARE(sheet->cell(4, 1), QVariant(Line));
    QStringList projects;
    for (int r = 5; r < sheet->rowCount(); ++r)
        projects << sheet->cell(r, 2).toString();
    QCOMPARE(projects, (QStringList{"New plant", "New plant", Line, "Roof repair", Line}));
    QCOMPARE(sheet->cell(5, 3), QVariant(QDate(2026, 11, 5)));
    QCOMPARE(sheet->cell(6, 4), QVariant("Visit the site"));
    QCOMPARE(sheet->format(5, 4).fontName, QString("Calibri"));
    QCOMPARE(sheet->format(5, 4).fontSize, 9.0);
    for (const QList<QVariant>& row : sheet->rows)
        for (const QVariant& value : row) {
            const QString text = value.toString();
            QVERIFY2(!text.contains("count", Qt::CaseInsensitive), qPrintable(text));
            QVERIFY2(text != "Chemicals" && text != "Steel", qPrintable(text));
        }
    QVERIFY(sheet->formulas.isEmpty());
}

void TestProjects::summaryWorkbookPrinted() {
    FormProjectSummary* summary = openSummary();
    QTest::mouseClick(child<QPushButton>("CommandPrint", summary), Qt::LeftButton);
    QVERIFY(child<QPushButton>("CommandPrint", summary)->isEnabled());
    QVERIFY(QFile::exists(m_session->file("Printed.pdf")));
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(QFile::exists(summary->reportFile()));
    const auto sheet = readBack(summary->reportFile());
    QVERIFY(sheet);
    QCOMPARE(sheet->cell(0, 0), QVariant("Poject Report for Acme"));
}

void TestProjects::summaryFolderThatCannotBeWritten() {
    FormProjectSummary* summary = openSummary("Baker's Dozen");
    // "Temp" is a file: no report can go there.
    QDir(m_session->file("Temp")).removeRecursively();
    QFile blocker(m_session->file("Temp"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_session->expectMessage("The report could not be saved");
    QTest::mouseClick(child<QPushButton>("CommandExcel", summary), Qt::LeftButton);
    QCOMPARE(MsgBox::last().style, MsgBox::Critical);
    QVERIFY(summary->reportFile().isEmpty());
    QVERIFY(Desktop::opened().isEmpty());
    QVERIFY(reportFiles().isEmpty());
    QVERIFY(child<QPushButton>("CommandExcel", summary)->isEnabled());
}

QTEST_MAIN(TestProjects)
#include "tst_projects.moc"
