#include "TestMain.h"
#include "TestSession.h"

#include "data/CompanyMerge.h"
#include "data/Database.h"
#include "data/SqliteConnection.h"

#include <QProcess>
#include <QTest>

// Merging duplicate companies into the one kept: every kind of row that
// belongs to the others moves to it, its empty fields are filled, the
// others go, and an interrupted merge changes nothing.
class TestCompanyMerge : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void mergeOfThreeMovesEveryKindOfRow();
    void keptCompanyMissingChangesNothing();
    void othersThatAreGoneOrTheKeptOneAreIgnored();
    void interruptedMergeLeavesTheDatabaseAsBefore_data();
    void interruptedMergeLeavesTheDatabaseAsBefore();

private:
    void fixture();
    QString dump() const;
    std::unique_ptr<TestSession> m_session;
};

namespace {

const QString Tessaly = QStringLiteral("TESSALY.mdb");
const QStringList Owned = {"TABLE03", "TABLE05", "TABLE06", "TABLE08", "TABLE09", "TABLE10"};

} // namespace

void TestCompanyMerge::init() {
    m_session = std::make_unique<TestSession>();
}

void TestCompanyMerge::cleanup() {
    m_session.reset();
}

// Three records of one company, each with part of its history; a fourth,
// other company whose rows must stay where they are.
void TestCompanyMerge::fixture() {
    const auto exec = [this](const QString& sql) { m_session->exec(Tessaly, sql); };
    exec("INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT08, TEXT10, TEXT20) VALUES "
         "(1, 'Acme Ltd', 'Leeds', '', 'Company'), "
         "(2, 'ACME Limited', 'Leeds', '0113 555 0100', 'Company'), "
         "(3, 'Acme Ltd.', NULL, '0113 555 0199', 'Archive'), "
         "(4, 'Other Co', 'York', '0190 1', 'Company')");
    exec(
        "UPDATE TABLE01 SET TEXT12 = 'www.acme.test', MEMO01 = 'Key account' WHERE AUTONUMBER = 3");
    for (int owner : {1, 2, 3, 4}) {
        exec(QStringLiteral("INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03) VALUES (%1, 'Ann', "
                            "'Owner%1')")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01) VALUES (%1, "
                            "'/home/u/doc%1.pdf', '2026-01-0%1')")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT02, TEXT03) VALUES "
                            "(%1, %1, 'Project %1', 'Active Project')")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE07 (NUMBER01, DATE01, MEMO01) VALUES (%1, "
                            "'2026-02-0%1', 'Step of %1')")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, MEMO01) SELECT %1, "
                            "TEXT01, '2026-03-0%1', 'Call %1' FROM TABLE01 WHERE AUTONUMBER = %1")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE09 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (%1, "
                            "'', '2026-04-0%1', 'Letter %1')")
                 .arg(owner));
        exec(QStringLiteral("INSERT INTO TABLE10 (NUMBER01, TEXT03, TEXT07, DATE01) SELECT %1, "
                            "'Pump', TEXT01, '2026-05-0%1' FROM TABLE01 WHERE AUTONUMBER = %1")
                 .arg(owner));
    }
    // A letter filed under a duplicate's name only, as older imports filed them.
    exec("INSERT INTO TABLE09 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES (NULL, 'ACME Limited', "
         "'2026-06-01', 'Letter by name')");
}

QString TestCompanyMerge::dump() const {
    QString text;
    for (const QString& table : Owned + QStringList{"TABLE01", "TABLE07"}) {
        for (const QVariantList& row : m_session->rows(
                 Tessaly, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table))) {
            text += table + u':';
            for (const QVariant& value : row)
                text += value.toString() + u'|';
            text += u'\n';
        }
    }
    return text;
}

void TestCompanyMerge::mergeOfThreeMovesEveryKindOfRow() {
    fixture();
    QString error;
    const auto connection = SqliteConnection::shared(m_session->file(Tessaly), &error);
    QVERIFY2(connection, qPrintable(error));
    CompanyMerge::Result result;
    QVERIFY2(CompanyMerge::merge(*connection, 1, {2, 3}, &result, &error), qPrintable(error));

    QCOMPARE(m_session->column(Tessaly, "SELECT AUTONUMBER FROM TABLE01 ORDER BY AUTONUMBER"),
             QStringList({"1", "4"}));
    QCOMPARE(result.removed, 2);
    for (const QString& table : Owned) {
        QCOMPARE(
            m_session
                ->scalar(Tessaly,
                         QStringLiteral("SELECT COUNT(*) FROM %1 WHERE NUMBER01 = 1").arg(table))
                .toInt(),
            3);
        // The other company keeps its own row.
        QCOMPARE(
            m_session
                ->scalar(Tessaly,
                         QStringLiteral("SELECT COUNT(*) FROM %1 WHERE NUMBER01 = 4").arg(table))
                .toInt(),
            1);
        // Nothing points to a company that is gone.
        QCOMPARE(m_session
                     ->scalar(Tessaly, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE NUMBER01 NOT "
                                                      "IN (SELECT AUTONUMBER FROM TABLE01)")
                                           .arg(table))
                     .toInt(),
                 0);
    }
    QCOMPARE(result.moved, 2 * 6 + 1);
    // Action steps still hang on their projects.
    QCOMPARE(m_session
                 ->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE07 JOIN TABLE06 ON TABLE07.NUMBER01 "
                                   "= TABLE06.AUTONUMBER WHERE TABLE06.NUMBER01 = 1")
                 .toInt(),
             3);
    // What the kept company's browsers select (by name or key) is every document.
    QCOMPARE(m_session
                 ->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE09 WHERE TEXT01 = 'Acme Ltd' OR "
                                   "NUMBER01 = 1")
                 .toInt(),
             4);
    QCOMPARE(m_session
                 ->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE08 WHERE TEXT01 = 'Acme Ltd' OR "
                                   "NUMBER01 = 1")
                 .toInt(),
             3);
    QCOMPARE(m_session->column(Tessaly, "SELECT DISTINCT TEXT07 FROM TABLE10 WHERE NUMBER01 = 1"),
             QStringList({"Acme Ltd"}));
    // Empty fields took the first other's value; filled ones kept theirs.
    const QVariantList kept = m_session
                                  ->rows(Tessaly, "SELECT TEXT01, TEXT08, TEXT10, TEXT12, "
                                                  "MEMO01, TEXT20 FROM TABLE01 WHERE "
                                                  "AUTONUMBER = 1")
                                  .value(0);
    QCOMPARE(kept, QVariantList({"Acme Ltd", "Leeds", "0113 555 0100", "www.acme.test",
                                 "Key account", "Company"}));
    QCOMPARE(result.filled, 3);
}

void TestCompanyMerge::keptCompanyMissingChangesNothing() {
    fixture();
    const QString before = dump();
    QString error;
    const auto connection = SqliteConnection::shared(m_session->file(Tessaly), &error);
    QVERIFY(!CompanyMerge::merge(*connection, 99, {2, 3}, nullptr, &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(dump(), before);
}

void TestCompanyMerge::othersThatAreGoneOrTheKeptOneAreIgnored() {
    fixture();
    QString error;
    const auto connection = SqliteConnection::shared(m_session->file(Tessaly), &error);
    CompanyMerge::Result result;
    QVERIFY2(CompanyMerge::merge(*connection, 1, {1, 77, 2, 2}, &result, &error),
             qPrintable(error));
    QCOMPARE(result.removed, 1);
    QCOMPARE(m_session->column(Tessaly, "SELECT AUTONUMBER FROM TABLE01 ORDER BY AUTONUMBER"),
             QStringList({"1", "3", "4"}));
}

void TestCompanyMerge::interruptedMergeLeavesTheDatabaseAsBefore_data() {
    QTest::addColumn<int>("killAfter");
    QTest::newRow("first write") << 1;
    QTest::newRow("filling the kept company's fields") << 12;
    QTest::newRow("first duplicate removed") << 38;
    QTest::newRow("moving the second duplicate's rows") << 41;
}

void TestCompanyMerge::interruptedMergeLeavesTheDatabaseAsBefore() {
    QFETCH(int, killAfter);
    fixture();
    SqliteConnection::closeShared(m_session->file(Tessaly));
    const QString before = dump();
    SqliteConnection::closeShared(m_session->file(Tessaly));
    QProcess probe;
    probe.start(QStringLiteral(MERGE_PROBE),
                {m_session->file(Tessaly), QString::number(killAfter), "1", "2", "3"});
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
    QCOMPARE(dump(), before);
    // The merge runs whole afterwards.
    QString error;
    const auto connection = SqliteConnection::shared(m_session->file(Tessaly), &error);
    QVERIFY2(CompanyMerge::merge(*connection, 1, {2, 3}, nullptr, &error), qPrintable(error));
    QCOMPARE(m_session->scalar(Tessaly, "SELECT COUNT(*) FROM TABLE01").toInt(), 2);
}

TESSALY_GUI_TEST_MAIN(TestCompanyMerge)
#include "tst_companymerge.moc"
