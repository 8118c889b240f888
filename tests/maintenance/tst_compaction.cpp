#include "TestSession.h"

#include "data/Compaction.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>

Q_DECLARE_METATYPE(Compaction::Step)

// Compaction of the main database: the compacted copy takes the name, the
// old file is the backup in Temp, and a failure at any step leaves the
// original database in place, whole and usable.
class TestCompaction : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void compactionReclaimsSpaceAndKeepsTheOldFileAsBackup();
    void compactingTwiceKeepsOnlyTheSecondBackup();
    void failureAtAnyStepLeavesTheOriginalInPlace_data();
    void failureAtAnyStepLeavesTheOriginalInPlace();
    void databaseOpenInAnotherProcessIsLeftAlone();
    void changesInTheLogAreInTheCompactedFile();

private:
    QString main() const { return m_session->file("TESSALY.mdb"); }
    QString backup() const { return m_session->file("Temp/TESSALY.bak"); }
    int reports(const QString& file) const {
        return m_session->scalar(file, "SELECT COUNT(*) FROM TABLE08").toInt();
    }
    // Call reports with long memos, most of them deleted again: free pages.
    void fill(int rows, int keep) {
        m_session->exec("TESSALY.mdb", QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                                      "SELECT i + 1 FROM n WHERE i < %1) "
                                                      "INSERT INTO TABLE08 (NUMBER01, DATE01, "
                                                      "MEMO01) SELECT 1, '2026-01-01', "
                                                      "hex(zeroblob(1000)) FROM n")
                                           .arg(rows));
        m_session->exec("TESSALY.mdb",
                        QStringLiteral("DELETE FROM TABLE08 WHERE ROWKEY > %1").arg(keep));
    }
    // Reads through the program's own shared connection, as the windows do.
    int reportsAsTheProgramSeesThem() const {
        QString error;
        auto connection = SqliteConnection::shared(main(), &error);
        if (!connection)
            return -1;
        SqliteStatement count =
            connection->prepare(QStringLiteral("SELECT COUNT(*) FROM TABLE08"), &error);
        return count.isValid() && count.step() == SQLITE_ROW ? int(count.intValue(0)) : -1;
    }

    std::unique_ptr<TestSession> m_session;
};

void TestCompaction::init() {
    m_session = std::make_unique<TestSession>();
    QDir().mkpath(m_session->file("Temp"));
}

void TestCompaction::cleanup() {
    m_session.reset();
}

void TestCompaction::compactionReclaimsSpaceAndKeepsTheOldFileAsBackup() {
    fill(1000, 20);
    QVERIFY(reportsAsTheProgramSeesThem() == 20); // the program holds the file open
    SqliteConnection::closeShared(main());
    const qint64 before = QFileInfo(main()).size();

    QString error;
    QVERIFY2(Compaction::run(m_session->path(), &error), qPrintable(error));

    QVERIFY2(
        QFileInfo(main()).size() < before / 4,
        qPrintable(QString::number(QFileInfo(main()).size()) + " of " + QString::number(before)));
    QCOMPARE(QFileInfo(backup()).size(), before);
    QVERIFY(!QFileInfo::exists(m_session->file("Temp.mdb")));
    QCOMPARE(reports("TESSALY.mdb"), 20);
    QCOMPARE(reports("Temp/TESSALY.bak"), 20);
    // The program goes on on the compacted file, in WAL mode again.
    QCOMPARE(reportsAsTheProgramSeesThem(), 20);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "PRAGMA journal_mode").toString(), QString("wal"));
}

void TestCompaction::compactingTwiceKeepsOnlyTheSecondBackup() {
    fill(10, 5);
    QString error;
    QVERIFY2(Compaction::run(m_session->path(), &error), qPrintable(error));
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE08 (NUMBER01, MEMO01) VALUES (1, 'second')");
    QVERIFY2(Compaction::run(m_session->path(), &error), qPrintable(error));

    QCOMPARE(reports("Temp/TESSALY.bak"), 6);
    QCOMPARE(m_session
                 ->scalar("Temp/TESSALY.bak", "SELECT COUNT(*) FROM TABLE08 WHERE MEMO01 = "
                                              "'second'")
                 .toInt(),
             1);
    QCOMPARE(QDir(m_session->file("Temp")).entryList(QDir::Files), QStringList{"TESSALY.bak"});
    QCOMPARE(QDir(m_session->path()).entryList({"*.mdb*"}, QDir::Files),
             (QStringList{"TESSALY.mdb", "User.mdb"}));
}

void TestCompaction::failureAtAnyStepLeavesTheOriginalInPlace_data() {
    QTest::addColumn<Compaction::Step>("step");
    QTest::addColumn<bool>("earlierBackup");
    for (Compaction::Step step :
         {Compaction::Step::Close, Compaction::Step::Compact, Compaction::Step::SetAsideBackup,
          Compaction::Step::Backup, Compaction::Step::Install, Compaction::Step::Reopen}) {
        const QByteArray name = Compaction::stepName(step).toUtf8();
        QTest::newRow(name + ", first run") << step << false;
        QTest::newRow(name + ", with an earlier backup") << step << true;
    }
}

void TestCompaction::failureAtAnyStepLeavesTheOriginalInPlace() {
    QFETCH(Compaction::Step, step);
    QFETCH(bool, earlierBackup);
    fill(300, 120);
    if (earlierBackup) {
        QFile earlier(backup());
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the earlier backup");
    }
    QCOMPARE(reportsAsTheProgramSeesThem(), 120);
    Compaction::setFaultHook([step](Compaction::Step at) { return at == step; });

    QString error;
    QVERIFY(!Compaction::run(m_session->path(), &error));
    QVERIFY2(error.startsWith(Compaction::stepName(step)), qPrintable(error));

    // The original, whole, where the program looks for it, and in use again.
    QCOMPARE(reportsAsTheProgramSeesThem(), 120);
    QCOMPARE(reports("TESSALY.mdb"), 120);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "PRAGMA integrity_check").toString(), QString("ok"));
    QVERIFY(!QFileInfo::exists(m_session->file("Temp.mdb")));
    if (earlierBackup) {
        QFile earlier(backup());
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("the earlier backup"));
    } else {
        QVERIFY(!QFileInfo::exists(backup()));
    }
    QCOMPARE(QDir(m_session->file("Temp")).entryList(QDir::Files).size(), earlierBackup ? 1 : 0);

    // Nothing is stuck: the next run succeeds.
    Compaction::setFaultHook({});
    QVERIFY2(Compaction::run(m_session->path(), &error), qPrintable(error));
    QCOMPARE(reports("TESSALY.mdb"), 120);
}

void TestCompaction::databaseOpenInAnotherProcessIsLeftAlone() {
    fill(50, 30);
    QProcess other;
    other.start("sqlite3", {main()});
    QVERIFY(other.waitForStarted());
    other.write("PRAGMA journal_mode;\n");
    QVERIFY(other.waitForReadyRead(5000));
    QCOMPARE(other.readAll().trimmed(), QByteArray("wal"));

    QString error;
    QVERIFY(!Compaction::run(m_session->path(), &error));
    QVERIFY2(error.contains("in use"), qPrintable(error));
    QVERIFY(!QFileInfo::exists(backup()));
    QVERIFY(!QFileInfo::exists(m_session->file("Temp.mdb")));

    // The other program still works on the same file.
    other.write("INSERT INTO TABLE08 (NUMBER01) VALUES (7);\n.quit\n");
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(5000));
    QCOMPARE(reports("TESSALY.mdb"), 31);
    QCOMPARE(reportsAsTheProgramSeesThem(), 31);
}

void TestCompaction::changesInTheLogAreInTheCompactedFile() {
    // Rows written through the program's connection may still be in the
    // write-ahead log only; the compacted copy has them.
    QString error;
    auto connection = SqliteConnection::shared(main(), &error);
    QVERIFY(connection);
    QVERIFY(connection->execute(
        "PRAGMA wal_autocheckpoint=0; INSERT INTO TABLE08 (NUMBER01, MEMO01) VALUES (1, 'logged')",
        &error));
    QVERIFY(QFileInfo(main() + "-wal").size() > 0);
    connection.reset();

    QVERIFY2(Compaction::run(m_session->path(), &error), qPrintable(error));
    SqliteConnection::closeShared(main());
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE08").toString(),
             QString("logged"));
}

QTEST_MAIN(TestCompaction)
#include "tst_compaction.moc"
