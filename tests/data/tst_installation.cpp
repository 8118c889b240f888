#include "QuotaVfs.h"
#include "TestSession.h"

#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

namespace {

// What a stock SQLite sees in a database file: "" when it is whole and has
// the tables of its kind with their settings row, else what is wrong.
QString wholeDatabase(const QString& path, const QStringList& tables) {
    if (!QFileInfo::exists(path))
        return "missing";
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return "cannot be opened";
    }
    QString problem;
    auto text = [&](const char* sql) {
        sqlite3_stmt* statement = nullptr;
        QString value;
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            value =
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        else
            value = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(statement);
        return value;
    };
    if (const QString check = text("PRAGMA integrity_check"); check != "ok")
        problem = check;
    for (const QString& table : tables)
        if (problem.isEmpty() &&
            text(qPrintable(
                QString("SELECT COUNT(*) FROM sqlite_schema WHERE name = '%1'").arg(table))) != "1")
            problem = "no table " + table;
    if (problem.isEmpty() && text("SELECT COUNT(*) FROM TABLE02") != "1")
        problem = "no settings row";
    sqlite3_close_v2(db);
    return problem;
}

const QStringList MainTables{"TABLE01", "TABLE02", "TABLE03", "TABLE05", "TABLE06",
                             "TABLE07", "TABLE08", "TABLE09", "TABLE10", "TABLE11",
                             "TABLE13", "MT01",    "MT13"};
const QStringList UserTables{"TABLE01", "TABLE02"};

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({"*partial*"}, QDir::Files | QDir::Hidden);
}

} // namespace

// Each test makes the program folders it installs into; the session around
// it has an empty one.
class TestInstallation : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void freshFolderGetsTempAndUserDatabases();
    void mainDatabaseHasEveryTableAndColumn_data();
    void mainDatabaseHasEveryTableAndColumn();
    void userDatabaseHasItsTablesAndRows();
    void initialRows();
    void existingFilesAreNeverTouched();
    void noTempDatabaseBesideTheMainOne();
    void connectionsRunWalWithFullSync();
    void companyStatusDefaultsToCompany();
    void hiddenRowKeyStaysOutOfSelectStar();
    void keysAreNeverHandedOutTwice();
    void olderUserDatabaseGetsTheNewColumns();
    void olderMainDatabaseGetsTheNewColumns();
    void filesThatAreNoTessalyDatabaseStopTheStart_data();
    void filesThatAreNoTessalyDatabaseStopTheStart();
    void emptyDatabaseFileIsNeverFilledIn();
    void userDatabaseIsTheOwnersAlone();
    void firstStartsAtTheSameMomentBothFindWholeDatabases();
    void fullDiskNeverLeavesAHalfMadeDatabase();
    void leftoversOfAnInterruptedStartAreCleared();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestInstallation::freshFolderGetsTempAndUserDatabases() {
    TestFolder folder(TestFolder::Kind::FirstStart);
    QVERIFY(QFileInfo::exists(folder.file("Temp.mdb")));
    QVERIFY(QFileInfo::exists(folder.file("User.mdb")));
    QVERIFY(!QFileInfo::exists(folder.file("TESSALY.mdb")));
    QVERIFY(!QFileInfo::exists(folder.file("Temp.mdb.partial")));
}

void TestInstallation::mainDatabaseHasEveryTableAndColumn_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("columns");
    auto texts = [](int first, int last, QList<int> skip = {}) {
        QStringList names;
        for (int i = first; i <= last; ++i)
            if (!skip.contains(i))
                names << QString("TEXT%1").arg(i, 2, 10, QChar('0'));
        return names;
    };
    QTest::newRow("companies") << "TABLE01"
                               << (QStringList{"AUTONUMBER"} + texts(1, 21, {16}) +
                                   QStringList{"DATE01", "DATE03", "NUMBER01", "NUMBER02", "MEMO01",
                                               "MEMO02"});
    QTest::newRow("password") << "TABLE02" << (QStringList{"ROWKEY"} + texts(1, 4));
    QTest::newRow("contacts") << "TABLE03"
                              << (QStringList{"AUTONUMBER", "NUMBER01"} + texts(1, 11) +
                                  QStringList{"DATE03", "MEMO01", "MEMO02"});
    QTest::newRow("attachments") << "TABLE05"
                                 << QStringList{"ROWKEY", "NUMBER01", "TEXT01", "DATE01", "MEMO01"};
    QTest::newRow("projects") << "TABLE06"
                              << (QStringList{"AUTONUMBER", "NUMBER01"} + texts(1, 6) +
                                  QStringList{"DATE01", "DATE02"});
    QTest::newRow("action steps") << "TABLE07"
                                  << QStringList{"ROWKEY", "NUMBER01", "NUMBER02", "DATE01",
                                                 "MEMO01"};
    QTest::newRow("call reports") << "TABLE08" << QStringList{"ROWKEY", "NUMBER01", "TEXT01",
                                                              "TEXT03", "DATE01",   "MEMO01"};
    QTest::newRow("correspondence")
        << "TABLE09" << QStringList{"ROWKEY", "NUMBER01", "TEXT01", "TEXT07", "DATE01", "MEMO01"};
    QTest::newRow("competitor activity")
        << "TABLE10"
        << (QStringList{"ROWKEY", "NUMBER01", "NUMBER02"} + texts(2, 7) + QStringList{"DATE01"});
    QTest::newRow("competitor products")
        << "TABLE11" << (QStringList{"ROWKEY"} + texts(1, 4) + QStringList{"MEMO01"});
    QTest::newRow("price list") << "TABLE13"
                                << (QStringList{"ROWKEY"} + texts(1, 4) + QStringList{"MEMO01"});
    for (const char* master :
         {"MT01", "MT02", "MT03", "MT04", "MT05", "MT06", "MT08", "MT09", "MT10", "MT12", "MT13"})
        QTest::newRow(master) << master << QStringList{"ROWKEY", "TEXT01"};
}

void TestInstallation::mainDatabaseHasEveryTableAndColumn() {
    QFETCH(QString, table);
    QFETCH(QStringList, columns);
    TestFolder folder(TestFolder::Kind::FirstStart);
    const auto info = folder.rows("Temp.mdb", QString("SELECT name, type, pk FROM "
                                                      "pragma_table_info('%1')")
                                                  .arg(table));
    QStringList names;
    for (const auto& row : info) {
        const QString name = row[0].toString(), type = row[1].toString();
        names << name;
        if (name == "AUTONUMBER" || name == "ROWKEY") {
            QCOMPARE(type, QString("INTEGER"));
            QCOMPARE(row[2].toInt(), 1);
        } else if (name.startsWith("TEXT") || name.startsWith("MEMO")) {
            QCOMPARE(type, QString("TEXT"));
        } else if (name.startsWith("NUMBER")) {
            QCOMPARE(type, QString("INTEGER"));
        } else {
            QCOMPARE(type, QString("TEXT")); // dates as ISO text
        }
    }
    QCOMPARE(names, columns);
    // Text columns compare without regard to case, as declared.
    const QString ddl = folder
                            .scalar("Temp.mdb", QString("SELECT sql FROM sqlite_master WHERE "
                                                        "name = '%1'")
                                                    .arg(table))
                            .toString();
    if (columns.contains("TEXT01"))
        QVERIFY(ddl.contains("\"TEXT01\" TEXT COLLATE NOCASE"));
    QVERIFY(ddl.contains("AUTOINCREMENT"));
}

void TestInstallation::userDatabaseHasItsTablesAndRows() {
    TestFolder folder(TestFolder::Kind::FirstStart);
    QCOMPARE(folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE01')"),
             (QStringList{"ROWKEY", "TEXT01", "TEXT02", "TEXT03", "TEXT04", "TEXT05", "TEXT06",
                          "TEXT07", "TEXT09", "DATE01", "TEXT10"}));
    QCOMPARE(
        folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE02')"),
        (QStringList{"ROWKEY", "TEXT03", "TEXT04", "TEXT05", "TEXT06", "TEXT07", "TEXT08", "TEXT09",
                     "TEXT10", "TEXT11", "TEXT12", "TEXT13", "TEXT14", "TEXT15", "TEXT16", "TEXT17",
                     "TEXT18", "TEXT19", "TEXT20", "TEXT21", "TEXT22", "TEXT23"}));
}

void TestInstallation::initialRows() {
    TestFolder folder(TestFolder::Kind::FirstStart);
    QCOMPARE(folder.scalar("Temp.mdb", "SELECT COUNT(*) FROM TABLE02").toInt(), 1);
    QCOMPARE(folder.scalar("Temp.mdb", "SELECT TEXT02 FROM TABLE02").toString(),
             QString("Kelvorin"));
    for (const char* table : {"TABLE01", "TABLE03", "TABLE08", "MT01", "MT12", "MT13"})
        QCOMPARE(folder.scalar("Temp.mdb", QString("SELECT COUNT(*) FROM %1").arg(table)).toInt(),
                 0);
    QCOMPARE(folder.rows("User.mdb", "SELECT TEXT01, TEXT02, TEXT03, TEXT04, TEXT05, TEXT06, "
                                     "TEXT07 FROM TABLE01"),
             (QList<QVariantList>{{"1", "1", "1", "1", "1", "1", "1"}}));
    QCOMPARE(folder.scalar("User.mdb", "SELECT COUNT(*) FROM TABLE02").toInt(), 1);
    QCOMPARE(folder.scalar("User.mdb", "SELECT TEXT03 FROM TABLE02").toString(),
             QString("All Companies"));
    QVERIFY(folder.scalar("User.mdb", "SELECT TEXT04 FROM TABLE02").isNull());
}

void TestInstallation::existingFilesAreNeverTouched() {
    TestFolder folder(TestFolder::Kind::FirstStart);
    folder.exec("Temp.mdb", "UPDATE TABLE02 SET TEXT02 = 'Changed'");
    folder.exec("User.mdb", "UPDATE TABLE02 SET TEXT03 = 'Ann'");
    const QDateTime tempTime = QFileInfo(folder.file("Temp.mdb")).lastModified();
    QString error;
    QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
    QCOMPARE(folder.scalar("Temp.mdb", "SELECT TEXT02 FROM TABLE02").toString(),
             QString("Changed"));
    QCOMPARE(folder.scalar("User.mdb", "SELECT TEXT03 FROM TABLE02").toString(), QString("Ann"));
    QCOMPARE(QFileInfo(folder.file("Temp.mdb")).lastModified(), tempTime);

    // A file that is no database is kept as it is, too.
    QFile::remove(folder.file("User.mdb"));
    QFile junk(folder.file("User.mdb"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write("not a database");
    junk.close();
    QVERIFY(Installation::run(folder.path(), &error));
    QVERIFY(junk.open(QIODevice::ReadOnly));
    QCOMPARE(junk.readAll(), QByteArray("not a database"));
}

void TestInstallation::noTempDatabaseBesideTheMainOne() {
    TestFolder folder; // Temp.mdb became TESSALY.mdb
    QVERIFY(QFileInfo::exists(folder.file("TESSALY.mdb")));
    QVERIFY(!QFileInfo::exists(folder.file("Temp.mdb")));
    QString error;
    QVERIFY(Installation::run(folder.path(), &error));
    QVERIFY(!QFileInfo::exists(folder.file("Temp.mdb")));
}

void TestInstallation::connectionsRunWalWithFullSync() {
    TestFolder folder;
    QCOMPARE(folder.scalar("TESSALY.mdb", "PRAGMA journal_mode").toString(), QString("wal"));
    QString error;
    auto connection = SqliteConnection::shared(folder.file("TESSALY.mdb"), &error);
    QVERIFY2(connection, qPrintable(error));
    SqliteStatement sync = connection->prepare("PRAGMA synchronous", &error);
    QCOMPARE(sync.step(), 100);    // SQLITE_ROW
    QCOMPARE(sync.intValue(0), 2); // FULL
    // The same file is one shared connection.
    QCOMPARE(SqliteConnection::shared("TESSALY.mdb", &error).get(), connection.get());
}

void TestInstallation::companyStatusDefaultsToCompany() {
    TestFolder folder;
    folder.exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Imported Ltd')");
    QCOMPARE(folder.scalar("TESSALY.mdb", "SELECT TEXT20 FROM TABLE01").toString(),
             QString("Company"));
}

void TestInstallation::hiddenRowKeyStaysOutOfSelectStar() {
    TestFolder folder;
    DataSource data("Data1", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("SELECT * FROM TABLE02");
    QVERIFY2(data.refresh(), qPrintable(data.lastError()));
    QCOMPARE(data.fieldNames(), (QStringList{"TEXT01", "TEXT02", "TEXT03", "TEXT04"}));
    data.setRecordSource("MT12");
    QVERIFY(data.refresh());
    QCOMPARE(data.fieldNames(), QStringList{"TEXT01"});
}

void TestInstallation::keysAreNeverHandedOutTwice() {
    TestFolder folder;
    folder.exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('A'), ('B')");
    folder.exec("TESSALY.mdb", "DELETE FROM TABLE01 WHERE TEXT01 = 'B'");
    DataSource data("DataTABLE01", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("TABLE01");
    QVERIFY(data.refresh());
    QVERIFY(data.recordset()->addNew());
    QVERIFY(data.recordset()->setField("TEXT01", "C"));
    QVERIFY(data.recordset()->update());
    QCOMPARE(
        folder.scalar("TESSALY.mdb", "SELECT AUTONUMBER FROM TABLE01 WHERE TEXT01 = 'C'").toInt(),
        3);
}

void TestInstallation::olderUserDatabaseGetsTheNewColumns() {
    TestFolder folder;
    SqliteConnection::closeShared(folder.file("User.mdb"));
    // A file of a build before the mail server's and the letterhead's columns.
    QString drop;
    for (int column = 23; column >= 15; --column)
        drop += QString("ALTER TABLE TABLE02 DROP COLUMN TEXT%1; ").arg(column);
    folder.exec("User.mdb", drop + "UPDATE TABLE02 SET TEXT06 = 'Kind regards'");
    QString error;
    QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
    QCOMPARE(folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE02')").mid(13),
             (QStringList{"TEXT15", "TEXT16", "TEXT17", "TEXT18", "TEXT19", "TEXT20", "TEXT21",
                          "TEXT22", "TEXT23"}));
    QCOMPARE(folder.scalar("User.mdb", "SELECT TEXT06 FROM TABLE02").toString(),
             QString("Kind regards"));
}

void TestInstallation::olderMainDatabaseGetsTheNewColumns() {
    TestFolder folder;
    SqliteConnection::closeShared(folder.file("TESSALY.mdb"));
    folder.exec("TESSALY.mdb", "PRAGMA user_version = 0; ALTER TABLE TABLE01 DROP COLUMN MEMO02; "
                               "DROP TABLE MT13; INSERT INTO TABLE01 (TEXT01) VALUES ('Kept')");
    QString error;
    QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
    QCOMPARE(folder.column("TESSALY.mdb", "SELECT name FROM pragma_table_info('TABLE01')").last(),
             QString("MEMO02"));
    QCOMPARE(folder.scalar("TESSALY.mdb", "SELECT COUNT(*) FROM MT13").toInt(), 0);
    QCOMPARE(folder.scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Kept"));
    QCOMPARE(folder.scalar("TESSALY.mdb", "PRAGMA user_version").toInt(), Schema::Version);
}

void TestInstallation::filesThatAreNoTessalyDatabaseStopTheStart_data() {
    QTest::addColumn<QByteArray>("content"); // of TESSALY.mdb; empty: a database, see below
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("message");
    QTest::newRow("no database at all")
        << QByteArray("Standard Jet DB") << QString() << "file is not a database";
    QTest::newRow("another program's database") << QByteArray() << "DROP TABLE TABLE01"
                                                << "is not a Tessaly database";
    QTest::newRow("newer version") << QByteArray() << "PRAGMA user_version = 99"
                                   << "was written by a newer version of Tessaly (data version "
                                      "99; this version knows up to " +
                                          QString::number(Schema::Version) + ")";
}

void TestInstallation::filesThatAreNoTessalyDatabaseStopTheStart() {
    QFETCH(QByteArray, content);
    QFETCH(QString, sql);
    QFETCH(QString, message);
    TestFolder folder;
    SqliteConnection::closeShared(folder.file("TESSALY.mdb"));
    if (!content.isEmpty()) {
        QFile file(folder.file("TESSALY.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    } else {
        folder.exec("TESSALY.mdb", sql);
    }
    const QByteArray before = [&] {
        QFile file(folder.file("TESSALY.mdb"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QString error;
    QVERIFY(!Installation::run(folder.path(), &error));
    QVERIFY2(error.contains(message) && error.contains("TESSALY.mdb"), qPrintable(error));
    QFile file(folder.file("TESSALY.mdb"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before); // left as it was
}

void TestInstallation::emptyDatabaseFileIsNeverFilledIn() {
    TestFolder folder;
    SqliteConnection::closeShared(folder.file("TESSALY.mdb"));
    QFile::resize(folder.file("TESSALY.mdb"), 0);
    QFile::remove(folder.file("TESSALY.mdb-wal"));
    QString error;
    QVERIFY(!Installation::run(folder.path(), &error));
    QVERIFY2(error.contains("is empty (0 bytes)"), qPrintable(error));
    // A window that opens it anyway is told so; the file stays empty.
    DataSource data("DataTABLE01", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource("TABLE01");
    QVERIFY(!data.refresh());
    QVERIFY2(data.lastError().contains("is empty (0 bytes)"), qPrintable(data.lastError()));
    QCOMPARE(QFileInfo(folder.file("TESSALY.mdb")).size(), 0);
}

void TestInstallation::userDatabaseIsTheOwnersAlone() {
    TestFolder folder;
    const auto ownerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    QCOMPARE(QFile::permissions(folder.file("User.mdb")), ownerOnly);
    // A User.mdb copied in from elsewhere, readable by everybody, with its
    // log (held open by another connection, so that the log stays).
    SqliteConnection::closeShared(folder.file("User.mdb"));
    const auto everybody = ownerOnly | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(folder.file("User.mdb"), everybody);
    sqlite3* other = nullptr;
    QCOMPARE(sqlite3_open_v2(QFile::encodeName(folder.file("User.mdb")).constData(), &other,
                             SQLITE_OPEN_READWRITE, nullptr),
             SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "UPDATE TABLE02 SET TEXT15 = 'secret'", nullptr, nullptr, nullptr),
             SQLITE_OK);
    QFile::setPermissions(folder.file("User.mdb-wal"), everybody);
    QString error;
    const bool ran = Installation::run(folder.path(), &error);
    const auto userPermissions = QFile::permissions(folder.file("User.mdb"));
    const auto logPermissions = QFile::permissions(folder.file("User.mdb-wal"));
    sqlite3_close_v2(other);
    QVERIFY2(ran, qPrintable(error));
    QCOMPARE(userPermissions, ownerOnly);
    QCOMPARE(logPermissions, ownerOnly);
}

void TestInstallation::firstStartsAtTheSameMomentBothFindWholeDatabases() {
    for (int round = 0; round < 12; ++round) {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString startAt = QString::number(QDateTime::currentMSecsSinceEpoch() + 400);
        QProcess first, second;
        first.start(INSTALL_PROBE, {folder.path(), startAt});
        second.start(INSTALL_PROBE, {folder.path(), startAt});
        QVERIFY(first.waitForFinished(60000) && second.waitForFinished(60000));
        QVERIFY2(first.exitCode() == 0 && second.exitCode() == 0,
                 (first.readAllStandardError() + second.readAllStandardError()).constData());
        QCOMPARE(wholeDatabase(folder.filePath("Temp.mdb"), MainTables), QString());
        QCOMPARE(wholeDatabase(folder.filePath("User.mdb"), UserTables), QString());
        QCOMPARE(leftovers(folder.path()), QStringList());
    }
}

void TestInstallation::fullDiskNeverLeavesAHalfMadeDatabase() {
    // What a whole installation takes on disk, log files included.
    qint64 needed = 0;
    {
        QTemporaryDir folder;
        QString error;
        QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
        for (const char* name : {"Temp.mdb", "User.mdb"})
            needed += QFileInfo(folder.filePath(name)).size();
    }
    int refused = 0, installed = 0;
    for (qint64 room = 4096; room < 3 * needed; room += 4096) {
        QTemporaryDir folder;
        QuotaVfs::install(room);
        QString error;
        const bool ok = Installation::run(folder.path(), &error);
        QuotaVfs::remove();
        // Each file is there whole, or not at all; nothing half-made is left.
        for (const auto& [name, tables] :
             {std::pair{"Temp.mdb", MainTables}, std::pair{"User.mdb", UserTables}}) {
            const QString path = folder.filePath(name);
            if (ok || QFileInfo::exists(path))
                QVERIFY2(wholeDatabase(path, tables).isEmpty(),
                         qPrintable(QString("%1 with %2 bytes of room: %3")
                                        .arg(name)
                                        .arg(room)
                                        .arg(wholeDatabase(path, tables))));
        }
        QCOMPARE(leftovers(folder.path()), QStringList());
        ++(ok ? installed : refused);
        if (!ok)
            QVERIFY2(!error.isEmpty(), "a refusal says why");
        // With room again, the next start installs what is missing.
        QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
        QCOMPARE(wholeDatabase(folder.filePath("Temp.mdb"), MainTables), QString());
        QCOMPARE(wholeDatabase(folder.filePath("User.mdb"), UserTables), QString());
    }
    QVERIFY(refused > 0 && installed > 0);
}

void TestInstallation::leftoversOfAnInterruptedStartAreCleared() {
    QTemporaryDir folder;
    for (const char* name : {"Temp.mdb.4242-0badc0de.partial", "Temp.mdb.4242-0badc0de.partial-wal",
                             "User.mdb.partial"}) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("half");
    }
    QString error;
    QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
    QCOMPARE(leftovers(folder.path()), QStringList());
    QCOMPARE(wholeDatabase(folder.filePath("Temp.mdb"), MainTables), QString());
}

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
