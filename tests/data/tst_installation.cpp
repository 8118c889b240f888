#include "TestFolder.h"

#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"

#include <QFile>
#include <QFileInfo>
#include <QTest>

class TestInstallation : public QObject {
    Q_OBJECT
private slots:
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
};

void TestInstallation::freshFolderGetsTempAndUserDatabases() {
    TestFolder folder(false);
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
    TestFolder folder(false);
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
    TestFolder folder(false);
    QCOMPARE(folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE01')"),
             (QStringList{"ROWKEY", "TEXT01", "TEXT02", "TEXT03", "TEXT04", "TEXT05", "TEXT06",
                          "TEXT07", "TEXT09", "DATE01"}));
    QCOMPARE(folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE02')"),
             (QStringList{"ROWKEY", "TEXT03", "TEXT04", "TEXT05", "TEXT06", "TEXT07", "TEXT08",
                          "TEXT09", "TEXT10", "TEXT11", "TEXT12", "TEXT13", "TEXT14", "TEXT15",
                          "TEXT16"}));
}

void TestInstallation::initialRows() {
    TestFolder folder(false);
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
    TestFolder folder(false);
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
    folder.exec("User.mdb", "ALTER TABLE TABLE02 DROP COLUMN TEXT16; ALTER TABLE TABLE02 DROP "
                            "COLUMN TEXT15; UPDATE TABLE02 SET TEXT06 = 'Kind regards'");
    QString error;
    QVERIFY2(Installation::run(folder.path(), &error), qPrintable(error));
    QCOMPARE(folder.column("User.mdb", "SELECT name FROM pragma_table_info('TABLE02')").mid(13),
             (QStringList{"TEXT15", "TEXT16"}));
    QCOMPARE(folder.scalar("User.mdb", "SELECT TEXT06 FROM TABLE02").toString(),
             QString("Kind regards"));
}

QTEST_MAIN(TestInstallation)
#include "tst_installation.moc"
