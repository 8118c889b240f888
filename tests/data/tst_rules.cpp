#include "TestSession.h"

#include "data/CompanyView.h"
#include "data/DataSource.h"
#include "data/DocumentFiler.h"
#include "data/Visits.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"

#include <QTest>

namespace {

// Thursday, 10 December 2026.
const QDate Today(2026, 12, 10);

std::optional<QDate> dateOrNone(const QDate& date) {
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<qint64> daysOrNone(const QVariant& days) {
    return days.isValid() ? std::optional<qint64>(days.toLongLong()) : std::nullopt;
}

QVariant variantOf(const std::optional<qint64>& days) {
    return days ? QVariant(qlonglong(*days)) : QVariant();
}

} // namespace

// The rules below the windows, without a window: the visit schedule, the
// companies of the companies window's view, the filing of documents, and the
// refresh that tells its error.
class TestRules : public QObject {
    Q_OBJECT
private slots:
    // Each case in a session of its own, on an empty folder; the cases that
    // need a database make their own.
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void daysOverdue_data();
    void daysOverdue();
    void lastVisitOfAField_data();
    void lastVisitOfAField();
    void frequencyOfAField_data();
    void frequencyOfAField();
    void reminderDate_data();
    void reminderDate();
    void weekendRule_data();
    void weekendRule();

    void companyViewSource_data();
    void companyViewSource();
    void companyViewLists_data();
    void companyViewLists();

    void filingStoresOneRowAtOnce();
    void filingRewritesTheRowFiledBefore_data();
    void filingRewritesTheRowFiledBefore();
    void filingNeverFilesUnderACompanyGone();
    void filingThatFailsStoresNothing();

    void refreshTellsWhatFailed_data();
    void refreshTellsWhatFailed();

private:
    // A fresh program folder with the companies Acme (key 1) and Baker's
    // Dozen (key 2).
    std::unique_ptr<TestFolder> folderWithCompanies() const;
    std::unique_ptr<TestSession> m_session;
};

void TestRules::daysOverdue_data() {
    QTest::addColumn<QDate>("lastVisit"); // invalid: never visited
    QTest::addColumn<QVariant>("frequency");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QVariant>("overdue"); // invalid: the stored days stay
    const QVariant none;
    QTest::newRow("exactly the frequency: not yet")
        << Today.addDays(-10) << QVariant(10) << true << Today << QVariant(0);
    QTest::newRow("one day more") << Today.addDays(-11) << QVariant(10) << true << Today
                                  << QVariant(1);
    QTest::newRow("long overdue") << Today.addDays(-400) << QVariant(30) << true << Today
                                  << QVariant(370);
    QTest::newRow("visited today") << Today << QVariant(10) << true << Today << QVariant(0);
    QTest::newRow("a visit dated ahead")
        << Today.addDays(5) << QVariant(1) << true << Today << QVariant(0);
    QTest::newRow("over a year's end")
        << QDate(2025, 12, 1) << QVariant(30) << true << Today << QVariant(344);
    QTest::newRow("over a leap day")
        << QDate(2028, 2, 1) << QVariant(30) << true << QDate(2028, 3, 3) << QVariant(1);
    QTest::newRow("the same in a common year")
        << QDate(2027, 2, 1) << QVariant(30) << true << QDate(2027, 3, 3) << QVariant(0);
    QTest::newRow("archived: never overdue")
        << Today.addDays(-30) << QVariant(10) << false << Today << QVariant(0);
    QTest::newRow("frequency 0: no schedule")
        << Today.addDays(-30) << QVariant(0) << true << Today << none;
    QTest::newRow("no frequency") << Today.addDays(-30) << none << true << Today << none;
    QTest::newRow("never visited") << QDate() << QVariant(10) << true << Today << none;
    QTest::newRow("archived, never visited") << QDate() << QVariant(10) << false << Today << none;
}

void TestRules::daysOverdue() {
    QFETCH(QDate, lastVisit);
    QFETCH(QVariant, frequency);
    QFETCH(bool, active);
    QFETCH(QDate, today);
    QFETCH(QVariant, overdue);
    QCOMPARE(
        variantOf(Visits::daysOverdue(dateOrNone(lastVisit), daysOrNone(frequency), active, today)),
        overdue.isValid() ? QVariant(qlonglong(overdue.toLongLong())) : QVariant());
}

void TestRules::lastVisitOfAField_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QDate>("date"); // invalid: none
    QTest::newRow("a date") << QVariant(QDate(2026, 12, 2)) << QDate(2026, 12, 2);
    QTest::newRow("a date and time")
        << QVariant(QDateTime(QDate(2026, 12, 2), QTime(23, 59))) << QDate(2026, 12, 2);
    QTest::newRow("typed in the user's form") << QVariant("12/2/2026") << QDate(2026, 12, 2);
    QTest::newRow("ISO") << QVariant("2026-12-02") << QDate(2026, 12, 2);
    QTest::newRow("empty text") << QVariant("") << QDate();
    QTest::newRow("no date") << QVariant("next week") << QDate();
    QTest::newRow("NULL") << QVariant() << QDate();
}

void TestRules::lastVisitOfAField() {
    QFETCH(QVariant, value);
    QFETCH(QDate, date);
    QCOMPARE(Visits::lastVisitOf(value), dateOrNone(date));
}

void TestRules::frequencyOfAField_data() {
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("days"); // invalid: none
    const QVariant none;
    QTest::newRow("stored") << QVariant(qlonglong(14)) << QVariant(14);
    QTest::newRow("typed") << QVariant("14") << QVariant(14);
    QTest::newRow("typed with a fraction") << QVariant("12.5") << QVariant(12);
    QTest::newRow("just under a day more") << QVariant("7.99") << QVariant(7);
    QTest::newRow("with a group separator") << QVariant("1,000") << QVariant(1000);
    QTest::newRow("a real") << QVariant(3.7) << QVariant(3);
    QTest::newRow("0") << QVariant("0") << QVariant(0);
    QTest::newRow("empty") << QVariant("") << none;
    QTest::newRow("no number") << QVariant("weekly") << none;
    QTest::newRow("beyond any count of days") << QVariant(1e300) << none;
    QTest::newRow("NULL") << QVariant() << none;
}

void TestRules::frequencyOfAField() {
    QFETCH(QVariant, value);
    QFETCH(QVariant, days);
    QCOMPARE(Visits::frequencyOf(value), daysOrNone(days));
}

void TestRules::reminderDate_data() {
    QTest::addColumn<QDate>("lastVisit"); // invalid: never visited
    QTest::addColumn<int>("frequency");
    QTest::addColumn<QDate>("due");
    QTest::addColumn<QDate>("reminder");
    QTest::newRow("Wednesday + 10: the Thursday 8 days later")
        << QDate(2026, 12, 2) << 10 << QDate(2026, 12, 10) << QDate(2026, 12, 10);
    QTest::newRow("due on a Saturday: the Monday after")
        << QDate(2026, 11, 30) << 14 << QDate(2026, 12, 12) << QDate(2026, 12, 14);
    QTest::newRow("due on a Sunday: the Monday after")
        << QDate(2026, 11, 30) << 15 << QDate(2026, 12, 13) << QDate(2026, 12, 14);
    QTest::newRow("due on a Friday")
        << QDate(2026, 11, 30) << 13 << QDate(2026, 12, 11) << QDate(2026, 12, 11);
    QTest::newRow("into the next year")
        << QDate(2026, 12, 20) << 30 << QDate(2027, 1, 17) << QDate(2027, 1, 18);
    QTest::newRow("frequency 0: two days before the last visit")
        << QDate(2026, 12, 2) << 0 << QDate(2026, 11, 30) << QDate(2026, 11, 30);
    QTest::newRow("never visited: from today")
        << QDate() << 10 << QDate(2026, 12, 18) << QDate(2026, 12, 18);
    QTest::newRow("never visited, due on a Saturday")
        << QDate() << 4 << QDate(2026, 12, 12) << QDate(2026, 12, 14);
}

void TestRules::reminderDate() {
    QFETCH(QDate, lastVisit);
    QFETCH(int, frequency);
    QFETCH(QDate, due);
    QFETCH(QDate, reminder);
    QCOMPARE(Visits::reminderDue(dateOrNone(lastVisit), frequency, Today), due);
    QCOMPARE(Visits::reminderDate(dateOrNone(lastVisit), frequency, Today), reminder);
}

void TestRules::weekendRule_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDate>("moved");
    // Monday 7 to Sunday 13 December 2026.
    for (int day = 7; day <= 11; ++day)
        QTest::addRow("%s stays",
                      qPrintable(QLocale::c().dayName(QDate(2026, 12, day).dayOfWeek())))
            << QDate(2026, 12, day) << QDate(2026, 12, day);
    QTest::newRow("Saturday: Monday") << QDate(2026, 12, 12) << QDate(2026, 12, 14);
    QTest::newRow("Sunday: Monday") << QDate(2026, 12, 13) << QDate(2026, 12, 14);
    QTest::newRow("Saturday at a month's end") << QDate(2027, 1, 30) << QDate(2027, 2, 1);
}

void TestRules::weekendRule() {
    QFETCH(QDate, day);
    QFETCH(QDate, moved);
    QCOMPARE(Visits::offWeekend(day), moved);
}

void TestRules::companyViewSource_data() {
    QTest::addColumn<bool>("archived");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("source");
    QTest::newRow("active, all")
        << false << "All Companies"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01";
    QTest::newRow("archived, all")
        << true << "All Companies"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Archive' ORDER BY TEXT01";
    QTest::newRow("active, a sales person")
        << false << "Ann"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = 'Ann' ORDER BY TEXT01";
    QTest::newRow("archived, a sales person")
        << true << "Ann"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Archive' AND TEXT18 = 'Ann' ORDER BY TEXT01";
    QTest::newRow("an apostrophe in the name")
        << false << "Dana O'Neill"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = 'Dana O''Neill' ORDER BY "
           "TEXT01";
    QTest::newRow("the choice is exact: a sales person called so")
        << false << "all companies"
        << "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' AND TEXT18 = 'all companies' ORDER BY "
           "TEXT01";
}

void TestRules::companyViewSource() {
    QFETCH(bool, archived);
    QFETCH(QString, user);
    QFETCH(QString, source);
    QCOMPARE(CompanyView::recordSource(archived, user), source);
}

void TestRules::companyViewLists_data() {
    QTest::addColumn<bool>("archived");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("active, all") << false << "All Companies"
                                 << QStringList{"acme", "Baker's Dozen", "Crane Works"};
    QTest::newRow("archived, all") << true << "All Companies" << QStringList{"Delta Freight"};
    QTest::newRow("active, one sales person")
        << false << "Dana O'Neill" << QStringList{"Baker's Dozen", "Crane Works"};
    QTest::newRow("archived, one sales person") << true << "Ann" << QStringList{"Delta Freight"};
    QTest::newRow("a sales person without companies") << false << "Nobody" << QStringList{};
    QTest::newRow("wildcards are no wildcards here") << false << "Dana*" << QStringList{};
}

void TestRules::companyViewLists() {
    QFETCH(bool, archived);
    QFETCH(QString, user);
    QFETCH(QStringList, listed);
    TestFolder folder;
    folder.exec("TESSALY.mdb",
                "INSERT INTO TABLE01 (TEXT01, TEXT18, TEXT20) VALUES "
                "('Crane Works', 'Dana O''Neill', 'Company'), ('acme', 'Ann', 'Company'), "
                "('Baker''s Dozen', 'Dana O''Neill', 'Company'), "
                "('Delta Freight', 'Ann', 'Archive'), ('Echo Limited', 'Ann', 'Prospect')");
    DataSource view;
    view.setDatabaseName("TESSALY.mdb");
    view.setRecordSource(CompanyView::recordSource(archived, user));
    QVERIFY2(view.refresh(), qPrintable(view.lastError()));
    QCOMPARE(view.columnTexts(view.fieldIndex("TEXT01")), listed);
}

std::unique_ptr<TestFolder> TestRules::folderWithCompanies() const {
    auto folder = std::make_unique<TestFolder>();
    folder->exec("TESSALY.mdb", "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) VALUES "
                                "(1, 'Acme', 'Company'), (2, 'Baker''s Dozen', 'Company')");
    return folder;
}

void TestRules::filingStoresOneRowAtOnce() {
    const auto folder = folderWithCompanies();
    QString error;
    const auto key = DocumentFiler::store(
        "TABLE08", 2,
        {{"DATE01", "2026-12-10"}, {"TEXT01", "Baker's Dozen"}, {"MEMO01", "{\\rtf1 Met.}"}},
        std::nullopt, &error);
    QVERIFY2(key, qPrintable(error));
    // Stored when store() returns, under the company's key.
    QCOMPARE(folder->rows("TESSALY.mdb", "SELECT ROWKEY, NUMBER01, DATE01, TEXT01, MEMO01 FROM "
                                         "TABLE08"),
             (QList<QVariantList>{
                 {qlonglong(*key), 2, "2026-12-10", "Baker's Dozen", "{\\rtf1 Met.}"}}));
}

void TestRules::filingRewritesTheRowFiledBefore_data() {
    QTest::addColumn<bool>("rowStillThere");
    QTest::newRow("the row filed before is rewritten") << true;
    QTest::newRow("a row deleted meanwhile is filed anew") << false;
}

void TestRules::filingRewritesTheRowFiledBefore() {
    QFETCH(bool, rowStillThere);
    const auto folder = folderWithCompanies();
    QString error;
    const auto first = DocumentFiler::store("TABLE09", 1, {{"TEXT07", "LETTER"}, {"MEMO01", "v1"}},
                                            std::nullopt, &error);
    QVERIFY2(first, qPrintable(error));
    if (!rowStillThere)
        folder->exec("TESSALY.mdb", "DELETE FROM TABLE09");
    const auto second =
        DocumentFiler::store("TABLE09", 1, {{"TEXT07", "LETTER"}, {"MEMO01", "v2"}}, first, &error);
    QVERIFY2(second, qPrintable(error));
    QCOMPARE(*second == *first, rowStillThere);
    QCOMPARE(folder->rows("TESSALY.mdb", "SELECT ROWKEY, NUMBER01, MEMO01 FROM TABLE09"),
             (QList<QVariantList>{{qlonglong(*second), 1, "v2"}}));
}

void TestRules::filingNeverFilesUnderACompanyGone() {
    const auto folder = folderWithCompanies();
    folder->exec("TESSALY.mdb", "DELETE FROM TABLE01 WHERE AUTONUMBER = 2");
    QString error;
    bool companyMissing = false;
    const auto key = DocumentFiler::store("TABLE08", 2, {{"MEMO01", "Met."}}, std::nullopt, &error,
                                          &companyMissing);
    QVERIFY(!key);
    QVERIFY(companyMissing);
    QCOMPARE(error, QString("The company of the document no longer exists."));
    QCOMPARE(folder->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08").toInt(), 0);
}

void TestRules::filingThatFailsStoresNothing() {
    const auto folder = folderWithCompanies();
    QString error;
    bool companyMissing = true;
    const auto key = DocumentFiler::store("TABLE08", 1, {{"MEMO01", "Met."}, {"NOSUCHCOLUMN", "x"}},
                                          std::nullopt, &error, &companyMissing);
    QVERIFY(!key);
    QVERIFY(!companyMissing);
    QVERIFY(error.contains("NOSUCHCOLUMN"));
    QCOMPARE(folder->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08").toInt(), 0);
}

void TestRules::refreshTellsWhatFailed_data() {
    QTest::addColumn<QString>("recordSource");
    QTest::addColumn<QString>("error"); // empty: refreshed
    QTest::newRow("refreshed: nothing to tell") << "SELECT * FROM TABLE01" << QString();
    QTest::newRow("a table that is not there") << "SELECT * FROM NOSUCHTABLE"
                                               << "NOSUCHTABLE";
    QTest::newRow("no record source") << QString() << "has no record source";
}

void TestRules::refreshTellsWhatFailed() {
    QFETCH(QString, recordSource);
    QFETCH(QString, error);
    TestFolder folder;
    DataSource source("DataTABLE01", nullptr);
    source.setDatabaseName("TESSALY.mdb");
    source.setRecordSource(recordSource);
    if (!error.isEmpty())
        m_session->expectMessage(QString());
    QCOMPARE(DataMessages::refresh(&source), error.isEmpty());
    if (error.isEmpty()) {
        QVERIFY(MsgBox::shown().isEmpty());
        return;
    }
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().text, source.lastError());
    QVERIFY2(MsgBox::last().text.contains(error), qPrintable(MsgBox::last().text));
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly | MsgBox::Critical));
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
