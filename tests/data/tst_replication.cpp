#include "TestMain.h"
#include "TestSession.h"

#include "data/DataSource.h"
#include "data/Database.h"
#include "data/PurgeWorker.h"
#include "data/Replication.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>

// Replicas of a server copy and their synchronisation: two replicas, A and
// B, of a server copy in a folder of its own, changed through the program's
// own write paths and synchronised in every order that matters.
class TestReplication : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void replicasAreCopiesWithTheirOwnIdentity();
    void editsOfDifferentFieldsMerge();
    void sameFieldTheLaterSynchronizedWins_data();
    void sameFieldTheLaterSynchronizedWins();
    void deleteAgainstEdit_data();
    void deleteAgainstEdit();
    void rowsAddedOnBothSidesKeepTheirOwners();
    void killedBetweenPushAndPullRecoversAndConverges();
    void twoReplicasSynchronizingAtOnceTakeTurns();
    void unusableServerIsReportedAndLeftAsItWas_data();
    void unusableServerIsReportedAndLeftAsItWas();
    void programWritePathsAreRecordedAndSynchronized_data();
    void programWritePathsAreRecordedAndSynchronized();
    void aWriteOutsideARecordedTransactionIsRefused();
    void aReplicaReplacesTheOpenMainDatabase();
    void purgedDocumentsAreSynchronized();

private:
    Replication::Outcome sync(const QString& replica);
    void change(const QString& replica, const QString& sql);
    QVariant value(const QString& database, const QString& sql) const {
        return m_session->scalar(database, sql);
    }
    // Every replicated row of the companies, contacts and call reports.
    QString dump(const QString& database) const;

    std::unique_ptr<TestSession> m_session;
    QString m_server, m_a, m_b;
};

void TestReplication::init() {
    m_session = std::make_unique<TestSession>();
    const QDir folder(m_session->path());
    for (const char* sub : {"Server", "A", "B"})
        QVERIFY(folder.mkpath(QString::fromLatin1(sub)));
    m_server = folder.filePath("Server/TESSALY.mdb");
    m_a = folder.filePath("A/TESSALY.mdb");
    m_b = folder.filePath("B/TESSALY.mdb");
    SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
    QVERIFY(QFile::copy(m_session->file("TESSALY.mdb"), m_server));
    m_session->exec(m_server,
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT08, TEXT10, TEXT20) VALUES "
                    "(1, 'Acme Ltd', 'Leeds', '0113 555 0100', 'Company'), "
                    "(2, 'Birch plc', 'York', '0190 555 0200', 'Company')");
    m_session->exec(m_server, "INSERT INTO TABLE03 (AUTONUMBER, NUMBER01, TEXT03) VALUES "
                              "(1, 1, 'Archer'), (2, 2, 'Baker')");
    const auto replicable = Replication::makeReplicable(m_server);
    QVERIFY2(replicable.ok, qPrintable(replicable.error));
    for (const QString& replica : {m_a, m_b}) {
        const auto made = Replication::copyReplica(m_server, replica, "Replica of TESSALY.mdb");
        QVERIFY2(made.ok, qPrintable(made.error));
    }
}

void TestReplication::cleanup() {
    Replication::setPushedHook({});
    m_session.reset();
}

Replication::Outcome TestReplication::sync(const QString& replica) {
    const auto outcome = Replication::synchronize(replica, m_server);
    if (!outcome.ok)
        qWarning("%s", qPrintable(outcome.error));
    return outcome;
}

// An action query, as the windows run them.
void TestReplication::change(const QString& replica, const QString& sql) {
    Database database;
    QString error;
    QVERIFY2(database.open(replica, &error), qPrintable(error));
    QVERIFY2(database.execute(sql, &error), qPrintable(error));
}

QString TestReplication::dump(const QString& database) const {
    QStringList lines;
    for (const auto& [table, columns] :
         QList<QPair<QString, QString>>{{"TABLE01", "AUTONUMBER, TEXT01, TEXT08, TEXT10"},
                                        {"TABLE03", "AUTONUMBER, NUMBER01, TEXT03"},
                                        {"TABLE08", "ROWKEY, NUMBER01, MEMO01"}})
        for (const QVariantList& row : m_session->rows(
                 database, QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(columns, table))) {
            QStringList cells{table};
            for (const QVariant& cell : row)
                cells.append(cell.toString());
            lines.append(cells.join(u'|'));
        }
    return lines.join(u'\n');
}

void TestReplication::replicasAreCopiesWithTheirOwnIdentity() {
    QCOMPARE(dump(m_a), dump(m_server));
    QCOMPARE(dump(m_b), dump(m_server));
    const QString identity = "SELECT ReplicaSet || '/' || Replica || '/' || KeyRange || '/' || "
                             "IsServer FROM ReplicaIdentity";
    const QStringList ids = {value(m_server, identity).toString(), value(m_a, identity).toString(),
                             value(m_b, identity).toString()};
    QCOMPARE(QSet<QString>(ids.begin(), ids.end()).size(), 3);
    const QString set = "SELECT ReplicaSet FROM ReplicaIdentity";
    QCOMPARE(value(m_a, set), value(m_server, set));
    QCOMPARE(value(m_b, set), value(m_server, set));
    QCOMPARE(value(m_a, "SELECT Description FROM ReplicaIdentity").toString(),
             QString("Replica of TESSALY.mdb"));
    // The server stays in rollback-journal mode; the replicas are local files.
    QCOMPARE(value(m_server, "PRAGMA journal_mode").toString(), QString("delete"));
    QVERIFY(!QFile::exists(m_server + "-wal"));
    QCOMPARE(value(m_a, "PRAGMA journal_mode").toString(), QString("wal"));
    // A replica is no origin of replicas, nor a partner to synchronize with.
    const QString c = QDir(m_session->path()).filePath("C/TESSALY.mdb");
    const auto fromReplica = Replication::copyReplica(m_a, c, "Replica of a replica");
    QVERIFY(!fromReplica.ok);
    QVERIFY2(fromReplica.error.contains("is a replica itself"), qPrintable(fromReplica.error));
    QVERIFY(!QFile::exists(c));
    const auto withReplica = Replication::synchronize(m_b, m_a);
    QVERIFY(!withReplica.ok);
    QVERIFY(withReplica.error.contains("is a replica itself"));
    // Making a replicable database replicable again keeps its identity.
    const QVariant before = value(m_server, identity);
    QVERIFY(Replication::makeReplicable(m_server).ok);
    QCOMPARE(value(m_server, identity), before);
}

void TestReplication::editsOfDifferentFieldsMerge() {
    change(m_a, "UPDATE TABLE01 SET TEXT08 = 'Bradford' WHERE AUTONUMBER = 1");
    change(m_b, "UPDATE TABLE01 SET TEXT10 = '0113 555 0999' WHERE AUTONUMBER = 1");
    for (const QString& replica : {m_a, m_b, m_a}) {
        const auto outcome = sync(replica);
        QVERIFY(outcome.ok);
        QCOMPARE(outcome.conflicts, 0);
    }
    for (const QString& database : {m_server, m_a, m_b}) {
        QCOMPARE(m_session->rows(database, "SELECT TEXT01, TEXT08, TEXT10 FROM TABLE01 WHERE "
                                           "AUTONUMBER = 1"),
                 (QList<QVariantList>{{"Acme Ltd", "Bradford", "0113 555 0999"}}));
        QCOMPARE(value(database, "SELECT COUNT(*) FROM ReplicaConflicts").toInt(), 0);
    }
}

void TestReplication::sameFieldTheLaterSynchronizedWins_data() {
    QTest::addColumn<bool>("aFirst");
    QTest::newRow("A synchronized first") << true;
    QTest::newRow("B synchronized first") << false;
}

void TestReplication::sameFieldTheLaterSynchronizedWins() {
    QFETCH(bool, aFirst);
    change(m_a, "UPDATE TABLE01 SET TEXT01 = 'Acme from A', TEXT08 = 'Hull' WHERE AUTONUMBER = 1");
    change(m_b, "UPDATE TABLE01 SET TEXT01 = 'Acme from B' WHERE AUTONUMBER = 1");
    const QString first = aFirst ? m_a : m_b, later = aFirst ? m_b : m_a;
    const QString winner = aFirst ? "Acme from B" : "Acme from A";
    const QString loser = aFirst ? "Acme from A" : "Acme from B";
    QCOMPARE(sync(first).conflicts, 0);
    const auto outcome = sync(later);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.conflicts, 1);
    QCOMPARE(outcome.conflictsTable, QString("ReplicaConflicts"));
    QVERIFY(sync(first).ok);
    for (const QString& database : {m_server, m_a, m_b})
        QCOMPARE(
            m_session->rows(database, "SELECT TEXT01, TEXT08 FROM TABLE01 WHERE AUTONUMBER = 1"),
            (QList<QVariantList>{{winner, "Hull"}})); // A's other field stays
    // The overwritten value is kept, on the server and in the replica that
    // overwrote it.
    for (const QString& database : {m_server, later})
        QCOMPARE(m_session->rows(database, "SELECT TableName, RowKey, ColumnName, KeptValue, "
                                           "LostValue FROM ReplicaConflicts"),
                 (QList<QVariantList>{{"TABLE01", 1, "TEXT01", winner, loser}}));
}

void TestReplication::deleteAgainstEdit_data() {
    QTest::addColumn<bool>("deleteFirst");
    QTest::addColumn<bool>("rowStays");
    QTest::newRow("edit synchronized after the delete") << true << true;
    QTest::newRow("delete synchronized after the edit") << false << false;
}

void TestReplication::deleteAgainstEdit() {
    QFETCH(bool, deleteFirst);
    QFETCH(bool, rowStays);
    change(m_a, "DELETE FROM TABLE01 WHERE AUTONUMBER = 2");
    change(m_b, "UPDATE TABLE01 SET TEXT08 = 'Selby' WHERE AUTONUMBER = 2");
    const QString first = deleteFirst ? m_a : m_b, later = deleteFirst ? m_b : m_a;
    QVERIFY(sync(first).ok);
    const auto outcome = sync(later);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.conflicts, 1); // the delete undone, or the edit deleted
    QVERIFY(sync(first).ok);
    for (const QString& database : {m_server, m_a, m_b}) {
        const auto rows = m_session->rows(database, "SELECT TEXT01, TEXT08, TEXT10 FROM TABLE01 "
                                                    "WHERE AUTONUMBER = 2");
        if (rowStays)
            QCOMPARE(rows, (QList<QVariantList>{{"Birch plc", "Selby", "0190 555 0200"}}));
        else
            QVERIFY(rows.isEmpty());
    }
    const auto kept = m_session->rows(later, "SELECT TableName, RowKey, ColumnName, LostValue FROM "
                                             "ReplicaConflicts");
    if (rowStays)
        QCOMPARE(kept, (QList<QVariantList>{{"TABLE01", 2, QVariant(), QVariant()}}));
    else
        QCOMPARE(kept, (QList<QVariantList>{{"TABLE01", 2, "TEXT08", "Selby"}}));
}

void TestReplication::rowsAddedOnBothSidesKeepTheirOwners() {
    // A company through a data source, its contact and call report through
    // action queries, on each replica.
    for (const QString& replica : {m_a, m_b}) {
        const QString name = replica == m_a ? "Cedar from A" : "Cedar from B";
        DataSource companies;
        companies.setDatabaseName(replica);
        companies.setRecordSource("SELECT * FROM TABLE01");
        QVERIFY(companies.refresh());
        QVERIFY(companies.recordset()->addNew());
        QVERIFY(companies.recordset()->setField("TEXT01", name));
        QVERIFY(companies.recordset()->setField("TEXT20", "Company"));
        QVERIFY(companies.save());
        const qint64 key =
            value(replica,
                  QStringLiteral("SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = '%1'").arg(name))
                .toLongLong();
        change(replica, QStringLiteral("INSERT INTO TABLE03 (NUMBER01, TEXT03) VALUES (%1, '%2')")
                            .arg(key)
                            .arg(name + " contact"));
        change(replica, QStringLiteral("INSERT INTO TABLE08 (NUMBER01, TEXT01, MEMO01) SELECT "
                                       "AUTONUMBER, TEXT01, 'Visited ' & TEXT01 FROM TABLE01 WHERE "
                                       "AUTONUMBER = %1")
                            .arg(key));
        // A row added on the server's own copy as well.
        if (replica == m_b)
            change(m_server, "INSERT INTO TABLE01 (TEXT01, TEXT20) VALUES ('Dale Ltd', 'Company')");
    }
    for (const QString& replica : {m_a, m_b, m_a})
        QVERIFY(sync(replica).ok);
    QCOMPARE(dump(m_a), dump(m_server));
    QCOMPARE(dump(m_b), dump(m_server));
    QCOMPARE(value(m_server, "SELECT COUNT(DISTINCT AUTONUMBER) FROM TABLE01").toInt(), 5);
    const QString owners = "SELECT c.TEXT01, p.TEXT03, r.MEMO01 FROM TABLE01 c JOIN TABLE03 p ON "
                           "p.NUMBER01 = c.AUTONUMBER JOIN TABLE08 r ON r.NUMBER01 = c.AUTONUMBER "
                           "ORDER BY c.TEXT01";
    QCOMPARE(
        m_session->rows(m_server, owners),
        (QList<QVariantList>{{"Cedar from A", "Cedar from A contact", "Visited Cedar from A"},
                             {"Cedar from B", "Cedar from B contact", "Visited Cedar from B"}}));
    // The keys of each member come from its own range.
    const qint64 range = qint64(1) << 32;
    for (const QString& replica : {m_a, m_b}) {
        const qint64 own = value(replica, "SELECT KeyRange FROM ReplicaIdentity").toLongLong();
        QVERIFY(own > 0);
        const QString name = replica == m_a ? "Cedar from A" : "Cedar from B";
        const qint64 key =
            value(m_server,
                  QStringLiteral("SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = '%1'").arg(name))
                .toLongLong();
        QCOMPARE(key / range, own);
        QVERIFY(key < (qint64(1) << 53));
    }
}

void TestReplication::killedBetweenPushAndPullRecoversAndConverges() {
    change(m_a, "UPDATE TABLE01 SET TEXT08 = 'Ripon' WHERE AUTONUMBER = 1");
    change(m_b, "UPDATE TABLE01 SET TEXT08 = 'Malton' WHERE AUTONUMBER = 2");
    QVERIFY(sync(m_b).ok);
    const QString aBefore = dump(m_a);
    QProcess probe;
    probe.start(QStringLiteral(REPLICATION_PROBE), {m_a, m_server, "kill"});
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(probe.exitStatus(), QProcess::CrashExit);
    // The server has A's change; A is as it was, its change still unsent.
    QCOMPARE(value(m_server, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Ripon"));
    QCOMPARE(dump(m_a), aBefore);
    for (const QString& database : {m_server, m_a})
        QCOMPARE(value(database, "PRAGMA integrity_check").toString(), QString("ok"));
    QCOMPARE(value(m_server, "PRAGMA journal_mode").toString(), QString("delete"));
    // Synchronising again finishes the work without sending anything twice.
    const auto again = sync(m_a);
    QVERIFY(again.ok);
    QCOMPARE(again.pushed, 0);
    QCOMPARE(again.pulled, 1);
    QVERIFY(sync(m_b).ok);
    QCOMPARE(dump(m_a), dump(m_server));
    QCOMPARE(dump(m_b), dump(m_server));
    QCOMPARE(m_session->column(m_server, "SELECT TEXT08 FROM TABLE01 ORDER BY AUTONUMBER"),
             (QStringList{"Ripon", "Malton"}));
    QCOMPARE(value(m_server, "SELECT COUNT(*) FROM ReplicaChanges").toInt(), 2);
}

// Two processes synchronize with the server at the same moment: the lock
// file makes one wait for the other, and a further round leaves all three
// alike.
void TestReplication::twoReplicasSynchronizingAtOnceTakeTurns() {
    change(m_a, "UPDATE TABLE01 SET TEXT08 = 'Ripon', TEXT10 = '1' WHERE AUTONUMBER = 1");
    change(m_b, "UPDATE TABLE01 SET TEXT08 = 'Malton' WHERE AUTONUMBER IN (1, 2)");
    QProcess first, second;
    first.start(QStringLiteral(REPLICATION_PROBE), {m_a, m_server});
    second.start(QStringLiteral(REPLICATION_PROBE), {m_b, m_server});
    for (QProcess* probe : {&first, &second}) {
        QVERIFY(probe->waitForFinished(30000));
        QCOMPARE(probe->exitStatus(), QProcess::NormalExit);
        QVERIFY2(probe->exitCode() == 0, probe->readAllStandardError().constData());
    }
    for (const QString& replica : {m_a, m_b})
        QVERIFY(sync(replica).ok);
    QCOMPARE(dump(m_a), dump(m_server));
    QCOMPARE(dump(m_b), dump(m_server));
    QCOMPARE(value(m_server, "SELECT TEXT10 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("1"));
    QCOMPARE(value(m_server, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 2").toString(),
             QString("Malton"));
    // Whichever came second won the city of the first company, and the
    // other's value is kept.
    const QString city =
        value(m_server, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 1").toString();
    QVERIFY(city == "Ripon" || city == "Malton");
    QCOMPARE(value(m_server, "SELECT LostValue FROM ReplicaConflicts").toString(),
             city == "Ripon" ? QString("Malton") : QString("Ripon"));
    QVERIFY(!QFile::exists(m_server + ".lock"));
}

void TestReplication::unusableServerIsReportedAndLeftAsItWas_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("message");
    for (const char* operation : {"synchronize", "copy", "make replicable"}) {
        QTest::addRow("missing, %s", operation)
            << "missing" << operation << "The database on the server, ";
        QTest::addRow("read-only, %s", operation) << "read-only" << operation << "is read-only";
        QTest::addRow("not a database, %s", operation)
            << "text" << operation << "is not a Tessaly database";
        QTest::addRow("another program's database, %s", operation)
            << "other" << operation << "is not a Tessaly database";
    }
}

void TestReplication::unusableServerIsReportedAndLeftAsItWas() {
    QFETCH(QString, kind);
    QFETCH(QString, operation);
    QFETCH(QString, message);
    const QString server = QDir(m_session->path()).filePath("Share/TESSALY.mdb");
    QVERIFY(QDir(m_session->path()).mkpath("Share"));
    if (kind == "read-only") {
        QVERIFY(QFile::copy(m_server, server));
        QVERIFY(QFile::setPermissions(server, QFile::ReadOwner | QFile::ReadGroup));
    } else if (kind == "text") {
        QFile file(server);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Minutes of the sales meeting\n");
    } else if (kind == "other") {
        QString error;
        const auto other = SqliteConnection::create(server, &error);
        QVERIFY(other && other->execute("PRAGMA journal_mode=DELETE; CREATE TABLE Orders (Id "
                                        "INTEGER PRIMARY KEY, Item TEXT); INSERT INTO Orders "
                                        "(Item) VALUES ('Pump')",
                                        &error));
        other->close();
    }
    auto bytes = [&] {
        QFile file(server);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    change(m_a, "UPDATE TABLE01 SET TEXT08 = 'Ripon' WHERE AUTONUMBER = 1");
    const QString aBefore = dump(m_a);
    const QString replica = QDir(m_session->path()).filePath("C/TESSALY.mdb");
    Replication::Outcome outcome;
    if (operation == "synchronize")
        outcome = Replication::synchronize(m_a, server);
    else if (operation == "copy")
        outcome = Replication::copyReplica(server, replica, "Replica of TESSALY.mdb");
    else
        outcome = Replication::makeReplicable(server);
    QVERIFY(!outcome.ok);
    QVERIFY2(outcome.error.contains(message), qPrintable(outcome.error));
    QVERIFY(outcome.error.contains(QDir::toNativeSeparators(server)));
    QCOMPARE(bytes(), before);
    QCOMPARE(QFile::exists(server), kind != "missing");
    QVERIFY(!QFile::exists(server + "-journal"));
    QVERIFY(!QFile::exists(server + "-wal"));
    QVERIFY(!QFile::exists(replica));
    QCOMPARE(dump(m_a), aBefore);
    QCOMPARE(value(m_a, "SELECT SentUpTo FROM ReplicaIdentity").toInt(), 0);
}

void TestReplication::programWritePathsAreRecordedAndSynchronized_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("data source edit") << "edit";
    QTest::newRow("data source delete") << "delete";
    QTest::newRow("action query") << "query";
    QTest::newRow("statement on its own") << "statement";
}

void TestReplication::programWritePathsAreRecordedAndSynchronized() {
    QFETCH(QString, path);
    const QString changes = "SELECT COUNT(*) FROM ReplicaChanges";
    QCOMPARE(value(m_a, changes).toInt(), 0);
    if (path == "edit" || path == "delete") {
        DataSource companies;
        companies.setDatabaseName(m_a);
        companies.setRecordSource("SELECT * FROM TABLE01 ORDER BY AUTONUMBER");
        QVERIFY(companies.refresh());
        if (path == "edit") {
            QVERIFY(companies.recordset()->setField("TEXT08", "Bradford"));
            QVERIFY(companies.recordset()->moveNext()); // the save point
        } else {
            QVERIFY(companies.recordset()->deleteCurrent());
        }
    } else if (path == "query") {
        change(m_a, "UPDATE TABLE01 SET TEXT08 = 'Bradford' WHERE TEXT01 LIKE 'Acme*'");
    } else {
        QString error;
        const auto connection = SqliteConnection::shared(m_a, &error);
        QVERIFY(connection);
        QVERIFY(connection->execute("UPDATE TABLE01 SET TEXT08 = 'Bradford' WHERE AUTONUMBER = 1",
                                    &error));
    }
    QCOMPARE(value(m_a, changes).toInt(), 1);
    const auto outcome = sync(m_a);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.pushed, 1);
    QVERIFY(sync(m_b).ok);
    for (const QString& database : {m_server, m_b}) {
        const auto company =
            m_session->column(database, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 1");
        QCOMPARE(company, path == "delete" ? QStringList() : QStringList{"Bradford"});
    }
}

// A statement stepped outside any transaction of the program cannot write
// to a replica without its record: the commit is refused.
void TestReplication::aWriteOutsideARecordedTransactionIsRefused() {
    QString error;
    const auto connection = SqliteConnection::shared(m_a, &error);
    QVERIFY(connection && connection->recordsChanges());
    {
        SqliteStatement update = connection->prepare(
            "UPDATE TABLE01 SET TEXT08 = 'Nowhere' WHERE AUTONUMBER = 1", &error);
        QVERIFY(update.isValid());
        QCOMPARE(update.step(), SQLITE_CONSTRAINT_COMMITHOOK);
    }
    QCOMPARE(value(m_a, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 1").toString(),
             QString("Leeds"));
    QCOMPARE(value(m_a, "SELECT COUNT(*) FROM ReplicaChanges").toInt(), 0);
    // Reading, and writing the usual way, go on as before.
    QVERIFY(
        connection->execute("UPDATE TABLE01 SET TEXT08 = 'Otley' WHERE AUTONUMBER = 1", &error));
    QCOMPARE(value(m_a, "SELECT COUNT(*) FROM ReplicaChanges").toInt(), 1);
}

// The program folder's own TESSALY.mdb, open and with changes in its log,
// is replaced by the replica as a whole; the program's connection to it
// lets go and reads the replica afterwards.
void TestReplication::aReplicaReplacesTheOpenMainDatabase() {
    const QString main = m_session->file("TESSALY.mdb");
    DataSource companies;
    companies.setDatabaseName("TESSALY.mdb");
    companies.setRecordSource("SELECT * FROM TABLE01");
    QVERIFY(companies.refresh());
    change(main, "INSERT INTO TABLE01 (TEXT01, TEXT20) VALUES ('Local only', 'Company')");
    QVERIFY(companies.refresh());
    QCOMPARE(companies.rowCount(), 1);
    const auto made = Replication::copyReplica(m_server, main, "Replica of the server");
    QVERIFY2(made.ok, qPrintable(made.error));
    QCOMPARE(dump(main), dump(m_server));
    QCOMPARE(value(main, "SELECT Description FROM ReplicaIdentity").toString(),
             QString("Replica of the server"));
    QCOMPARE(value(main, "PRAGMA integrity_check").toString(), QString("ok"));
    QVERIFY(companies.refresh());
    QCOMPARE(companies.rowCount(), 2);
    // The reopened connection records its changes as a member's.
    change(main, "UPDATE TABLE01 SET TEXT08 = 'Wakefield' WHERE AUTONUMBER = 2");
    QCOMPARE(value(main, "SELECT COUNT(*) FROM ReplicaChanges").toInt(), 1);
    QVERIFY(sync(main).ok);
    QCOMPARE(value(m_server, "SELECT TEXT08 FROM TABLE01 WHERE AUTONUMBER = 2").toString(),
             QString("Wakefield"));
}

TESSALY_GUI_TEST_MAIN(TestReplication)
#include "tst_replication.moc"

// The purge deletes on a thread with a connection of its own: on a replica
// those deletions are recorded like any other, and reach the server and the
// other replicas.
void TestReplication::purgedDocumentsAreSynchronized() {
    change(m_a, "INSERT INTO TABLE08 (NUMBER01, DATE01, MEMO01) VALUES "
                "(1, #1/5/2020#, 'old visit')");
    change(m_a, "INSERT INTO TABLE08 (NUMBER01, DATE01, MEMO01) VALUES "
                "(2, #12/1/2026#, 'new visit')");
    QVERIFY(sync(m_a).ok);
    QVERIFY(sync(m_b).ok);
    QCOMPARE(m_session->column(m_b, "SELECT MEMO01 FROM TABLE08 ORDER BY MEMO01"),
             (QStringList{"new visit", "old visit"}));

    PurgeWorker purge(m_a, "TABLE08", QDate(2025, 1, 1), true);
    purge.start();
    QVERIFY(purge.wait(30000));
    const PurgeWorker::Progress done = purge.progress();
    QVERIFY2(done.finished && !done.failed, qPrintable(done.error));
    QCOMPARE(done.deleted, 1);

    const auto outcome = sync(m_a);
    QVERIFY(outcome.ok);
    QCOMPARE(outcome.pushed, 1);
    QVERIFY(sync(m_b).ok);
    for (const QString& database : {m_server, m_a, m_b})
        QCOMPARE(m_session->column(database, "SELECT MEMO01 FROM TABLE08"),
                 QStringList{"new visit"});
}
