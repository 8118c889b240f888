#include "StoredTasks.h"
#include "TestSession.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormCompanies.h"
#include "companies/FormOverdue.h"
#include "companies/FormReminder.h"
#include "companies/ModuleLogin.h"
#include "platform/Clock.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/FlexGrid.h"

#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {

// Thursday, 10 December 2026.
const QDate Today(2026, 12, 10);

QString iso(const QDate& date) {
    return date.toString(Qt::ISODate);
}

} // namespace

// The visit reminder and the overdue visits list, driven through their
// controls on top of the companies window.
class TestVisits : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void reminderDate_data();
    void reminderDate();
    void reminderGoSavesTheTaskAndWritesTheNotice();
    void reminderDateCanBeChangedInTheCalendar();
    void reminderNoClearsTheNotice();
    void reminderWithoutAFrequencyStaysAsking();
    void reminderGoThatFailsKeepsTheWindow();

    void overdueListMembership();
    void overdueListHeadingsAndColumns();
    void companyShownEntersTheOverdueList();
    void archivedCompanyLeavesTheOverdueList();

private:
    FormCompanies* openCompany(const QString& name);
    FormReminder* openReminder();
    FormOverdue* openOverdue();
    void insertCompany(const QString& name, const QString& status, const QVariant& lastVisit,
                       const QVariant& frequency, int overdue, const QString& division = {});
    template <class T = QWidget> static T* child(QWidget* form, const char* name) {
        T* widget = form->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    static void click(QWidget* form, const char* name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    QVariant stored(const QString& column, const QString& company) const {
        return m_session->scalar("TESSALY.mdb",
                                 QString("SELECT %1 FROM TABLE01 WHERE TEXT01 = '%2'")
                                     .arg(column, QString(company).replace("'", "''")));
    }
    static QStringList listedCompanies(FlexGrid* grid) {
        QStringList names;
        for (int row = 1; row < grid->rows(); ++row)
            names << grid->textMatrix(row, 1);
        return names;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestVisits::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
    Clock::pin(QDateTime(Today, QTime(9, 30)));
}

void TestVisits::cleanup() {
    m_session.reset();
}

void TestVisits::insertCompany(const QString& name, const QString& status,
                               const QVariant& lastVisit, const QVariant& frequency, int overdue,
                               const QString& division) {
    auto sql = [](const QVariant& value) {
        if (!value.isValid())
            return QString("NULL");
        if (value.typeId() == QMetaType::QDate)
            return "'" + iso(value.toDate()) + "'";
        return value.toString();
    };
    m_session->exec(
        "TESSALY.mdb",
        QString("INSERT INTO TABLE01 (TEXT01, TEXT13, TEXT18, TEXT20, DATE01, "
                "NUMBER01, NUMBER02, DATE03) VALUES ('%1', '%2', 'Ann', '%3', %4, %5, "
                "%6, '2024-01-01')")
            .arg(QString(name).replace("'", "''"), division, status, sql(lastVisit), sql(frequency))
            .arg(overdue));
}

FormCompanies* TestVisits::openCompany(const QString& name) {
    ModuleLogin::OpenActiveCompanies();
    auto* form = Forms::get<FormCompanies>();
    DBCombo* selector = form->selector();
    selector->lineEdit()->selectAll();
    QTest::keyClicks(selector->lineEdit(), name);
    QTest::keyClick(selector->lineEdit(), Qt::Key_Return);
    if (form->companyName() != name)
        qWarning("%s is not the current company", qPrintable(name));
    return form;
}

FormReminder* TestVisits::openReminder() {
    click(Forms::get<FormCompanies>(), "CommandReminder");
    auto* reminder = qobject_cast<FormReminder*>(Forms::loaded("FormReminder"));
    if (reminder && !QTest::qWaitForWindowExposed(reminder))
        qWarning("the reminder window was not shown");
    return reminder;
}

FormOverdue* TestVisits::openOverdue() {
    auto* overdue = qobject_cast<FormOverdue*>(Forms::show("FormOverdue"));
    if (!overdue)
        return nullptr;
    // The walk over the companies, one tick of its timer after the other.
    for (int tick = 0; overdue->isComputing() && tick < 1000; ++tick)
        fireTimer(overdue, "Timer1");
    if (overdue->isComputing())
        qWarning("the overdue walk did not finish");
    return overdue;
}

void TestVisits::reminderDate_data() {
    QTest::addColumn<QVariant>("lastVisit");
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QString>("dueDay");
    QTest::addColumn<QDate>("reminder");
    QTest::newRow("Wednesday + 10: the Thursday 8 days later")
        << QVariant(QDate(2026, 12, 2)) << 10 << "Thursday" << QDate(2026, 12, 10);
    QTest::newRow("due on a Saturday: the Monday after")
        << QVariant(QDate(2026, 11, 30)) << 14 << "Saturday" << QDate(2026, 12, 14);
    QTest::newRow("due on a Sunday: the Monday after")
        << QVariant(QDate(2026, 11, 30)) << 15 << "Sunday" << QDate(2026, 12, 14);
    QTest::newRow("due on a Friday")
        << QVariant(QDate(2026, 11, 30)) << 13 << "Friday" << QDate(2026, 12, 11);
    QTest::newRow("into the next year")
        << QVariant(QDate(2026, 12, 20)) << 30 << "Sunday" << QDate(2027, 1, 18);
    QTest::newRow("never visited: from today")
        << QVariant() << 10 << "Friday" << QDate(2026, 12, 18);
    QTest::newRow("never visited, due on a Saturday")
        << QVariant() << 4 << "Saturday" << QDate(2026, 12, 14);
}

void TestVisits::reminderDate() {
    QFETCH(QVariant, lastVisit);
    QFETCH(int, frequency);
    QFETCH(QString, dueDay);
    QFETCH(QDate, reminder);
    insertCompany("Acme", "Company", lastVisit, frequency, 0);
    openCompany("Acme");
    FormReminder* window = openReminder();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Reminder..."));
    QCOMPARE(Twips::geometry(window).size(), QSize(7000, 2000));
    QCOMPARE(child<QLabel>(window, "LabelReminder")->text(),
             QString("Do you want to set a Reminder in MS-Outlook, advising you when Acme is due "
                     "for a Meeting again?"));
    for (const char* hidden : {"MonthView1", "TextDueDate", "CommandGo", "LabelLoad"})
        QVERIFY(!child(window, hidden)->isVisible());
    click(window, "CommandYes");
    QCOMPARE(Twips::geometry(window).height(), 5100);
    QCOMPARE(child<QCalendarWidget>(window, "MonthView1")->selectedDate(), reminder);
    QCOMPARE(child<QLineEdit>(window, "TextDueDate")->text(),
             QLocale(QLocale::English, QLocale::UnitedStates).toString(reminder, "M/d/yyyy"));
    QCOMPARE(child<QLineEdit>(window, "TextDay")->text(), dueDay);
    for (const char* shown : {"MonthView1", "TextDueDate", "CommandGo"})
        QVERIFY(child(window, shown)->isVisible());
    for (const char* hidden : {"CommandYes", "CommandNo", "LabelReminder"})
        QVERIFY(!child(window, hidden)->isVisible());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestVisits::reminderGoSavesTheTaskAndWritesTheNotice() {
    insertCompany("Baker's Dozen", "Company", QDate(2026, 12, 2), 10, 0);
    FormCompanies* companies = openCompany("Baker's Dozen");
    FormReminder* window = openReminder();
    click(window, "CommandYes");
    QCOMPARE(window->hoverHelp()->text(child(window, "MonthView1")),
             QString("Your reminder will be set at 12/10/2026, which is 2 days before a meeting "
                     "is due. You can however choose a different date, using the calendar."));
    click(window, "CommandGo");
    settle();
    QVERIFY(!Forms::isLoaded("FormReminder"));
    QVERIFY(MsgBox::shown().isEmpty());
    const QList<StoredTask> tasks = storedTasks(m_session->path());
    QCOMPARE(tasks.size(), 1);
    QCOMPARE(tasks.first().summary, QString("Make an Appointment with Baker's Dozen"));
    QCOMPARE(tasks.first().due, QDate(2026, 12, 10));
    QLineEdit* notice = companies->box("TextAppointment");
    QCOMPARE(notice->text(), QString("A new appointment will be scheduled on 12/10/2026."));
    // Stored with the company at its next save point.
    QVERIFY(stored("TEXT21", "Baker's Dozen").isNull());
    companies->close();
    settle();
    QCOMPARE(stored("TEXT21", "Baker's Dozen").toString(),
             QString("A new appointment will be scheduled on 12/10/2026."));
}

void TestVisits::reminderDateCanBeChangedInTheCalendar() {
    insertCompany("Acme", "Company", QDate(2026, 12, 2), 10, 0);
    FormCompanies* companies = openCompany("Acme");
    FormReminder* window = openReminder();
    click(window, "CommandYes");
    auto* calendar = child<QCalendarWidget>(window, "MonthView1");
    auto* days = calendar->findChild<QTableView*>();
    QVERIFY(days);
    days->setFocus();
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Down); // one week on
    QCOMPARE(child<QLineEdit>(window, "TextDueDate")->text(), QString("12/18/2026"));
    click(window, "CommandGo");
    QCOMPARE(storedTasks(m_session->path()).first().due, QDate(2026, 12, 18));
    QCOMPARE(companies->box("TextAppointment")->text(),
             QString("A new appointment will be scheduled on 12/18/2026."));
}

void TestVisits::reminderNoClearsTheNotice() {
    insertCompany("Acme", "Company", QDate(2026, 12, 2), 10, 0);
    m_session->exec("TESSALY.mdb",
                    "UPDATE TABLE01 SET TEXT21 = 'A new appointment has been made.'");
    FormCompanies* companies = openCompany("Acme");
    fireTimer(companies, "TimerLoad");
    QCOMPARE(Colors::foreground(companies->box("TextAppointment")), Colors::DarkGreen);
    FormReminder* window = openReminder();
    click(window, "CommandNo");
    settle();
    QVERIFY(!Forms::isLoaded("FormReminder"));
    QCOMPARE(companies->box("TextAppointment")->text(), QString());
    QVERIFY(storedTasks(m_session->path()).isEmpty());
    companies->close();
    settle();
    QCOMPARE(stored("TEXT21", "Acme").toString(), QString());
}

void TestVisits::reminderWithoutAFrequencyStaysAsking() {
    insertCompany("Acme", "Company", QVariant(), QVariant(), 0);
    openCompany("Acme");
    FormReminder* window = openReminder();
    m_session->expectMessage("The visit frequency of Acme is not a number of days");
    click(window, "CommandYes");
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style & MsgBox::Critical, int(MsgBox::Critical));
    QVERIFY(MsgBox::last().text.contains("Acme"));
    QVERIFY(child(window, "CommandYes")->isVisible());
    QVERIFY(!child(window, "MonthView1")->isVisible());
    QCOMPARE(Twips::geometry(window).height(), 2000);
}

void TestVisits::reminderGoThatFailsKeepsTheWindow() {
    insertCompany("Acme", "Company", QDate(2026, 12, 2), 10, 0);
    // The mail program's folder cannot be made: a file stands in its place.
    QFile blocker(m_session->file("Outlook"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FormCompanies* companies = openCompany("Acme");
    FormReminder* window = openReminder();
    click(window, "CommandYes");
    m_session->expectMessage("The folder " + m_session->file("Outlook"));
    click(window, "CommandGo");
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QVERIFY(!MsgBox::last().text.isEmpty());
    QVERIFY(Forms::isVisible("FormReminder"));
    QCOMPARE(companies->box("TextAppointment")->text(), QString());
    QVERIFY(!child(window, "LabelLoad")->isVisible());
}

void TestVisits::overdueListMembership() {
    const QDate fifteenDaysAgo = Today.addDays(-15);
    insertCompany("Overdue, stale value", "Company", fifteenDaysAgo, 10, 3, "North");
    insertCompany("Overdue, never shown", "Company", fifteenDaysAgo, 10, 0);
    insertCompany("Archived", "Archive", fifteenDaysAgo, 10, 4);
    insertCompany("No longer overdue", "Company", Today.addDays(-5), 30, 2);
    insertCompany("Exactly due", "Company", Today.addDays(-30), 30, 6);
    insertCompany("No frequency", "Company", fifteenDaysAgo, 0, 5);
    insertCompany("O'Hara Mills", "Company", Today.addDays(-100), 40, 1);
    FormOverdue* window = openOverdue();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QString("Overdue Visits"));
    auto* grid = child<FlexGrid>(window, "MSFlexGrid1");
    QVERIFY(grid->isVisible());
    QVERIFY(!child(window, "LabelCalculate")->isVisible());
    QCOMPARE(listedCompanies(grid), (QStringList{"O'Hara Mills", "Overdue, stale value"}));
    QCOMPARE(grid->textMatrix(2, 2), QString("North"));
    QCOMPARE(grid->textMatrix(2, 6), QString("5"));
    QCOMPARE(grid->textMatrix(1, 6), QString("60"));
    // Every recomputed value was stored; rows outside the query were left alone.
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT TEXT01, NUMBER02 FROM TABLE01 ORDER BY "
                                            "AUTONUMBER"),
             (QList<QVariantList>{{"Overdue, stale value", 5},
                                  {"Overdue, never shown", 0},
                                  {"Archived", 4},
                                  {"No longer overdue", 0},
                                  {"Exactly due", 0},
                                  {"No frequency", 5},
                                  {"O'Hara Mills", 60}}));
}

void TestVisits::overdueListHeadingsAndColumns() {
    insertCompany("Acme", "Company", Today.addDays(-20), 10, 1);
    FormOverdue* window = openOverdue();
    auto* grid = child<FlexGrid>(window, "MSFlexGrid1");
    const QStringList headings = {
        "COMPANY",         "DIVISION",     "SALES PERSON",         "DATE LAST VISITED",
        "VISIT FREQUENCY", "DAYS OVERDUE", "SCHEDULED APPOINTMENT"};
    for (int column = 1; column <= 7; ++column)
        QCOMPARE(grid->textMatrix(0, column), headings.at(column - 1));
    QCOMPARE(grid->textMatrix(1, 4), QString("11/20/2026"));
    Twips::setSize(window, 14000, 7000);
    settle();
    const QRect area = Twips::geometry(window);
    const int twips[] = {area.width() / 7, area.width() / 7, area.width() / 7, 1500, 1000, 1000,
                         area.width() / 4};
    for (int column = 1; column <= 7; ++column)
        QCOMPARE(grid->columnWidth(column), Twips::toPixelsX(twips[column - 1]));
    QCOMPARE(grid->width(), window->width() - Twips::toPixelsX(100));
    QCOMPARE(grid->height(), window->height() - Twips::toPixelsY(500));
}

void TestVisits::companyShownEntersTheOverdueList() {
    insertCompany("Acme", "Company", Today.addDays(-15), 10, 0);
    FormOverdue* window = openOverdue();
    QCOMPARE(listedCompanies(child<FlexGrid>(window, "MSFlexGrid1")), QStringList{});
    window->close();
    settle();
    FormCompanies* companies = openCompany("Acme");
    fireTimer(companies, "TimerLoad");
    QVERIFY(child(companies, "LabelOverdue")->isVisible());
    companies->close(); // the save point stores the days overdue
    settle();
    QCOMPARE(stored("NUMBER02", "Acme").toInt(), 5);
    window = openOverdue();
    QCOMPARE(listedCompanies(child<FlexGrid>(window, "MSFlexGrid1")), QStringList{"Acme"});
}

void TestVisits::archivedCompanyLeavesTheOverdueList() {
    insertCompany("Acme", "Company", Today.addDays(-15), 10, 5);
    insertCompany("Zenith", "Company", Today.addDays(-15), 10, 5);
    FormCompanies* companies = openCompany("Acme");
    MsgBox::answerNext(MsgBox::Yes);
    click(companies, "CommandArchive");
    QCOMPARE(stored("TEXT20", "Acme").toString(), QString("Archive"));
    FormOverdue* window = openOverdue();
    QCOMPARE(listedCompanies(child<FlexGrid>(window, "MSFlexGrid1")), QStringList{"Zenith"});
}

QTEST_MAIN(TestVisits)
#include "tst_visits.moc"
