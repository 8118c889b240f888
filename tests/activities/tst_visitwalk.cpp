#include "StoredTasks.h"
#include "TestSession.h"

#include "activities/FormCreateCallReport.h"
#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "contacts/FormContacts.h"
#include "data/DataSource.h"
#include "formats/Rtf.h"
#include "platform/Clock.h"
#include "widgets/DBList.h"
#include "widgets/RichTextBox.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

// Thursday, 10 December 2026.
const QDate Today(2026, 12, 10);

} // namespace

// A sales person's visit, end to end through the windows: the company, a
// contact, a meeting call report written in the editor and closed, and the
// visit reminder it leads to. What was stored is read back with plain SQL
// and from the mail program's task list.
class TestVisitWalk : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void meetingCallReportEndToEnd();
    void telephoneCallOffersNoReminder();
    void meetingWithoutVisitFrequencyOffersNoReminder();

private:
    FormCreateCallReport* startCallReport();
    void writeReport(const QString& method, const QDate& date, const QList<int>& persons);
    QWidget* editor() const { return Forms::loaded("FormWrite"); }
    template <class T = QWidget> static T* child(QWidget* window, const QString& name) {
        T* widget = window ? window->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestVisitWalk::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (TEXT01, TEXT13, TEXT17, TEXT18, TEXT20, NUMBER01, NUMBER02, MEMO02, "
        "DATE01, DATE03) VALUES "
        "('Acme', 'Industrial', 'Customer', 'Dana O''Neill', 'Company', 30, 8, "
        "'Makes anvils.' || char(10) || 'Family owned.', '2026-11-02', '2024-03-18'),"
        "('Baker''s Dozen', '', '', 'Ann', 'Company', 0, 0, '', '2026-11-02', '2025-01-02');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03, TEXT06) VALUES "
        "(1, 'Zoe', 'Adams', 'Buyer'), (1, 'Bill', 'O''Brien', 'Owner'),"
        "(2, 'Carl', 'Baker', '');");
    m_session->registerForms();
    Clock::pin(QDateTime(Today, QTime(16, 0)));
}

void TestVisitWalk::cleanup() {
    m_session.reset();
}

FormCreateCallReport* TestVisitWalk::startCallReport() {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    QTest::keyClick(Forms::get<FormCompanies>(), Qt::Key_F3);
    settle();
    auto* contacts = qobject_cast<FormContacts*>(Forms::loaded(FormContacts::Name));
    QTest::mouseClick(child<QPushButton>(contacts, "CommandReport"), Qt::LeftButton);
    settle();
    return qobject_cast<FormCreateCallReport*>(Forms::loaded(FormCreateCallReport::Name));
}

void TestVisitWalk::writeReport(const QString& method, const QDate& date,
                                const QList<int>& persons) {
    FormCreateCallReport* entry = startCallReport();
    QVERIFY(entry);
    auto* methods = child<QListWidget>(entry, "ListMethod");
    QListWidgetItem* item = methods->findItems(method, Qt::MatchExactly).value(0);
    QTest::mouseClick(methods->viewport(), Qt::LeftButton, {},
                      methods->visualItemRect(item).center());
    auto* times = child<QComboBox>(entry, "ComboTime");
    times->setCurrentIndex(times->findText("09:30 AM"));
    emit times->activated(times->currentIndex());
    auto* calendar = child<QCalendarWidget>(entry, "MonthView1");
    calendar->setSelectedDate(date);
    emit calendar->clicked(date);
    auto* names = child<DBList>(entry, "DBListNames");
    for (int row : persons)
        QTest::mouseClick(names->viewport(), Qt::LeftButton, {},
                          names->visualRect(names->model()->index(row, 0)).center());
    QTest::mouseClick(child<QPushButton>(entry, "CommandGo"), Qt::LeftButton);
    settle();
}

void TestVisitWalk::meetingCallReportEndToEnd() {
    writeReport("Meeting", QDate(2026, 12, 8), {1, 0});
    QVERIFY(!Forms::isLoaded(FormCreateCallReport::Name));
    QVERIFY(editor() && editor()->isVisible());
    QCOMPARE(editor()->windowTitle(), QString("Write a Call Report related to Acme"));
    auto* document = child<RichTextBox>(editor(), "RichTextBox1");
    QVERIFY(document->hasFocus() || !editor()->isActiveWindow());
    QCOMPARE(document->textCursor().position(), document->toPlainText().size());
    QTest::keyClicks(document, "Agreed on a trial order of 40 anvils.");

    // The company: visited on the chosen day, no longer overdue.
    FormCompanies* companies = Forms::get<FormCompanies>();
    QCOMPARE(companies->box("DATE01")->text(), QString("12/8/2026"));
    companies->TimerLoad_Timer();
    QCOMPARE(companies->box("NUMBER02")->text(), QString("0"));
    // The reminder is offered for a company with a visit frequency.
    QVERIFY(Forms::isVisible("FormReminder"));

    editor()->close();
    settle();
    QVERIFY(!Forms::isVisible("FormWrite"));
    const QList<QVariantList> rows = m_session->rows(
        "TESSALY.mdb", "SELECT NUMBER01, DATE01, TEXT01, TEXT03, MEMO01 FROM TABLE08");
    QCOMPARE(rows.size(), 1);
    const QVariantList row = rows.first();
    QCOMPARE(row.value(0).toLongLong(), 1LL);
    QCOMPARE(row.value(1).toString(), QString("2026-12-10"));
    QCOMPARE(row.value(2).toString(), QString("Acme"));
    QCOMPARE(row.value(3).toString(), QString("Dana O'Neill"));
    const QString memo = row.value(4).toString();
    QVERIFY(memo.startsWith("{\\rtf"));
    QCOMPARE(Rtf::toPlainText(memo).replace("\r\n", "\n").trimmed(),
             QString("CALL REPORT\n\n"
                     "Company: Acme\n"
                     "Type of Company: Customer\n"
                     "Division: Industrial\n"
                     "Sales Person: Dana O'Neill\n"
                     "Method of Contact: Meeting\n"
                     "Date and Time: 12/8/2026 09:30 AM\n"
                     "Person Contacted: Zoe Adams   (Buyer)\n"
                     "Person Contacted: Bill O'Brien   (Owner)\n\n"
                     "Preamble: \n"
                     "Makes anvils.\nFamily owned.\n\n"
                     "Details: \n"
                     "Agreed on a trial order of 40 anvils."));

    // F9 finds it again in the company's call reports.
    QTest::keyClick(Forms::loaded(FormContacts::Name), Qt::Key_F9);
    settle();
    Form* reports = Forms::loaded("FormCallReports");
    QVERIFY(reports && reports->isVisible());
    QCOMPARE(child<QLabel>(reports, "LabelPosition")->text(), QString("REPORT 1 OF 1 REPORTS"));
    QVERIFY(child<RichTextBox>(reports, "RichTextBox1")
                ->text()
                .endsWith("Details: \nAgreed on a trial order of 40 anvils."));

    // The reminder's Go puts the task two days before the next visit is due.
    Form* reminder = Forms::loaded("FormReminder");
    QTest::mouseClick(child<QPushButton>(reminder, "CommandYes"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(reminder, "CommandGo"), Qt::LeftButton);
    settle();
    const QList<StoredTask> tasks = storedTasks(m_session->path());
    QCOMPARE(tasks.size(), 1);
    QCOMPARE(tasks.first().summary, QString("Make an Appointment with Acme"));
    QCOMPARE(tasks.first().due, QDate(2027, 1, 5)); // 8 Dec + 30 days - 2, a Tuesday

    // The company's new dates are stored with it.
    companies->close();
    settle();
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT DATE01, NUMBER02 FROM TABLE01 WHERE TEXT01 = 'Acme'"),
             (QList<QVariantList>{{"2026-12-08", 0}}));
}

void TestVisitWalk::telephoneCallOffersNoReminder() {
    writeReport("Telephone Call", QDate(2026, 12, 9), {});
    QVERIFY(!Forms::isVisible("FormReminder"));
    QCOMPARE(Forms::get<FormCompanies>()->box("DATE01")->text(), QString("11/2/2026"));
    editor()->close();
    settle();
    const QString memo = m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE08").toString();
    QVERIFY(!Rtf::toPlainText(memo).contains("Person Contacted"));
}

void TestVisitWalk::meetingWithoutVisitFrequencyOffersNoReminder() {
    m_session->exec("TESSALY.mdb",
                    "UPDATE TABLE01 SET NUMBER01 = 0, MEMO02 = '' WHERE TEXT01 = 'Acme'");
    writeReport("Meeting", QDate(2026, 12, 9), {0});
    QVERIFY(!Forms::isVisible("FormReminder"));
    QCOMPARE(Forms::get<FormCompanies>()->box("DATE01")->text(), QString("12/9/2026"));
    // A company without a brief description gets no preamble.
    const QString text = child<RichTextBox>(editor(), "RichTextBox1")->text();
    QVERIFY(!text.contains("Preamble"));
    QVERIFY(text.endsWith("Person Contacted: Bill O'Brien   (Owner)\n\nDetails: \n"));
}

QTEST_MAIN(TestVisitWalk)
#include "tst_visitwalk.moc"
