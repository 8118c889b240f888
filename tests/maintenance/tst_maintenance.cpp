#include "TestSession.h"

#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "data/Compaction.h"
#include "data/Database.h"
#include "data/Replication.h"
#include "data/SqliteConnection.h"
#include "maintenance/FormMaintenance.h"
#include "maintenance/FormRemoveBlanks.h"
#include "maintenance/SizeLine.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/FileChooser.h"
#include "services/Pointer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPushButton>
#include <QTest>

// The maintenance window, driven through its controls from the main menu:
// the size line, the temporary files, compaction, blank companies, and the
// replication commands up to the engine.
class TestMaintenance : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // Opening and closing.
    void menuOpensTheWindowAndClosingShowsTheMenu();
    void sizeLineMeasuresTheDatabase();
    void sizeLineIsEmptyWithoutADatabase();
    void sizeFormats_data();
    void sizeFormats();
    void hoverTexts_data();
    void hoverTexts();
    void lastSynchronizationShownOnlyWhenRecorded();
    void manualChapterOnItsPage();

    // Temporary files.
    void deleteTemporaryFilesEmptiesTheTempFolder();

    // Compaction.
    void compactionReplacesTheDatabaseAndKeepsABackup();
    void failedCompactionSaysSoAndKeepsTheDatabase();

    // Blank companies.
    void blankCompaniesAreRemovedUnlessTheyOwnRows();
    void aLaterRemovalWalksAgain();

    // Replication.
    void replicaAndSynchronizationShowTheirPaths_data();
    void replicaAndSynchronizationShowTheirPaths();
    void browseButtonsFillThePaths();
    void replicationFailureIsReportedAndNothingRecorded_data();
    void replicationFailureIsReportedAndNothingRecorded();
    void replicaReplacesTheDatabaseAndTheProgramEnds();
    void synchronizationExchangesChangesAndRecordsTheDate();
    void conflictsAreNamedInTheMessage();

private:
    // A replicable server copy in a folder of its own, with one company;
    // with `joined`, the program folder's database is a replica of it.
    QString makeServer(bool joined);
    // An action query on a database, as the windows run them (recorded on
    // a replica).
    void change(const QString& database, const QString& sql) {
        Database db;
        QString error;
        QVERIFY2(db.open(database, &error), qPrintable(error));
        QVERIFY2(db.execute(sql, &error), qPrintable(error));
    }
    void synchronizeThroughTheWindow(const QString& server) {
        open();
        click("CommandShowSynchronize");
        child<QLineEdit>("TextDBNameFrom")->setText(server);
        click("CommandSynchronize");
        settle();
    }
    FormMaintenance* open() {
        Forms::show("FormMenu");
        QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandMaintenance"),
                          Qt::LeftButton);
        auto* form = qobject_cast<FormMaintenance*>(Forms::loaded(FormMaintenance::Name));
        if (!form || !form->isVisible())
            qFatal("the maintenance window was not shown");
        return form;
    }
    FormMaintenance* form() const {
        return qobject_cast<FormMaintenance*>(Forms::loaded(FormMaintenance::Name));
    }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = form() ? form()->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QString temp() const { return QDir::toNativeSeparators(m_session->file("Temp")); }
    int companies() const {
        return m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE01").toInt();
    }
    // The size line as it should read for the file as it is now.
    QString expectedSize(const QString& megabytePattern) const {
        SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
        const qint64 length = QFileInfo(m_session->file("TESSALY.mdb")).size();
        const QString mb = megabytePattern == "####.00"
                               ? SizeLine::hashFixed(double(length) / 1000000)
                               : SizeLine::hashOptional(double(length) / 1000000);
        return "Your database is " + mb + " MB in size, which is " +
               SizeLine::zeroFixed(double(length) / 20000000) + " % of its maximum capacity.";
    }

    std::unique_ptr<TestSession> m_session;
};

void TestMaintenance::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
}

void TestMaintenance::cleanup() {
    m_session.reset();
}

// ---- opening and closing ----

void TestMaintenance::menuOpensTheWindowAndClosingShowsTheMenu() {
    FormMaintenance* maintenance = open();
    QCOMPARE(maintenance->windowTitle(), QString("Database Maintenance"));
    QCOMPARE(child<QGroupBox>("FrameMaintenance")->title(), QString("Maintenance"));
    QCOMPARE(child<QGroupBox>("FrameReplication")->title(), QString("Replication"));
    QCOMPARE(child<QLabel>("LabelCompact")->text(), QString("Compact & Repair Database"));
    QVERIFY(child<QPushButton>("CommandShowCompact")->isVisible());
    for (const char* hidden :
         {"Label1", "TextDBNameFrom", "CommandOpenForm", "Label2", "TextReplicaDBName",
          "CommandDestination", "CommandReplica", "CommandSynchronize", "FrameHelp"})
        QVERIFY2(!child(hidden)->isVisible(), hidden);
    QVERIFY(maintenance->close());
    settle();
    QVERIFY(!form());
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestMaintenance::sizeLineMeasuresTheDatabase() {
    // A database of some size, partly in the write-ahead log.
    m_session->exec("TESSALY.mdb", "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < 3000) INSERT INTO TABLE08 (NUMBER01, MEMO01) "
                                   "SELECT 1, hex(zeroblob(500)) FROM n");
    open();
    const QString shown = child<QLabel>("LabelSize")->text();
    QCOMPARE(shown, expectedSize("####.00"));
    QVERIFY2(shown.startsWith("Your database is 3."), qPrintable(shown));
}

void TestMaintenance::sizeLineIsEmptyWithoutADatabase() {
    SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
    QVERIFY(QFile::rename(m_session->file("TESSALY.mdb"), m_session->file("Elsewhere.mdb")));
    Forms::show(FormMaintenance::Name);
    QCOMPARE(child<QLabel>("LabelSize")->text(), QString());
}

void TestMaintenance::sizeFormats_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("hashFixed");    // ####.00
    QTest::addColumn<QString>("hashOptional"); // ####.##
    QTest::addColumn<QString>("zeroFixed");    // #0.00
    QTest::newRow("below one") << "en_US" << 0.2461 << ".25"
                               << ".25"
                               << "0.25";
    QTest::newRow("whole") << "en_US" << 3.0 << "3.00"
                           << "3."
                           << "3.00";
    QTest::newRow("one decimal") << "en_US" << 12.5 << "12.50"
                                 << "12.5"
                                 << "12.50";
    QTest::newRow("tiny") << "en_US" << 0.0104 << ".01"
                          << ".01"
                          << "0.01";
    QTest::newRow("zero") << "en_US" << 0.0 << ".00"
                          << "."
                          << "0.00";
    QTest::newRow("large") << "en_US" << 1999.996 << "2000.00"
                           << "2000."
                           << "2000.00";
    QTest::newRow("decimal comma") << "de_DE" << 12.5 << "12,50"
                                   << "12,5"
                                   << "12,50";
    QTest::newRow("decimal comma below one") << "fr_FR" << 0.5 << ",50"
                                             << ",5"
                                             << "0,50";
}

void TestMaintenance::sizeFormats() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    Locale::pin(QLocale(locale));
    QTEST(SizeLine::hashFixed(value), "hashFixed");
    QTEST(SizeLine::hashOptional(value), "hashOptional");
    QTEST(SizeLine::zeroFixed(value), "zeroFixed");
}

void TestMaintenance::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    const QString temp = QDir::toNativeSeparators(TestFolder().file("Temp"));
    QTest::newRow("delete") << "CommandDelete"
                            << "Whenever a report is generated, this report is stored in the "
                               "folder %TEMP. Clicking 'Delete Temporary Files' will remove "
                               "these reports.";
    QTest::newRow("compact")
        << "CommandShowCompact"
        << "Compact & Repair Database:\r\nOver time, a database can grow in size. Once data gets "
           "deleted, the database doesn't get smaller. Compacting a database allows you to "
           "reclaim deleted space in your database, thereby reducing the size of the database. "
           "Using this feature can also repair a corrupt database.";
    QTest::newRow("remove") << "CommandRemove"
                            << "Sometimes a new company is entered by accident and left blank. "
                               "Clicking on 'Remove Blank Entries' will remove any such companies "
                               "from the database.";
    QTest::newRow("replica")
        << "CommandShowReplica"
        << "Create a replica of the Database:\r\nTessaly only connects to the database if this "
           "database is in the same folder as the program. Therefore it is necessary to create a "
           "replica from the database on the server. This database is called 'TESSALY.mdb'. "
           "Select the database from the server to be replicated. Click on 'Create Replica'. An "
           "exact replica of the database on the server will be created on the user's computer. "
           "N.B: This feature can only be used when nobody is connected to the database on the "
           "server. ";
    QTest::newRow("synchronize")
        << "CommandShowSynchronize"
        << "Synchronize Database:\r\nThe user of the program will make changes and updates to "
           "the database on his or her machine. In the meantime, changes have also been made to "
           "the database on the server. Synchronizing allows you to update both changes.  If "
           "necessary, select the required paths. Click on 'Synchronize' and both databases will "
           "have exactly the same data. Synchronization should be done on a regular basis. N.B: "
           "This feature can be used at any time.";
}

void TestMaintenance::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    text.replace("%TEMP", temp());
    FormMaintenance* maintenance = open();
    HoverHelp* help = maintenance->hoverHelp();
    help->showFor(child(control));
    QVERIFY(child("FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>("LabelHelp")->text(), text);
    help->showBackground();
    QVERIFY(!child("FrameHelp")->isVisible());
}

void TestMaintenance::lastSynchronizationShownOnlyWhenRecorded() {
    open();
    QVERIFY(!child("LabelLast")->isVisible());
    QVERIFY(form()->close());
    settle();

    m_session->exec("User.mdb", "UPDATE TABLE01 SET DATE01 = '2026-11-30 16:45:00'");
    open();
    QVERIFY(child("LabelLast")->isVisible());
    QCOMPARE(child<QLabel>("LabelLast")->text(), QString("Last synchronized on"));
    QVERIFY2(child<QLabel>("LabelDate")->text().startsWith("11/30/2026"),
             qPrintable(child<QLabel>("LabelDate")->text()));
}

void TestMaintenance::manualChapterOnItsPage() {
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 62);
    const QString text = manual.getAllText(61).text().simplified();
    QVERIFY2(text.startsWith("Maintenance, replication and old records"),
             qPrintable(text.left(80)));
}

// ---- temporary files ----

void TestMaintenance::deleteTemporaryFilesEmptiesTheTempFolder() {
    open();
    for (const char* name : {"Tessaly Report 123456.xlsx", "TESSALY.bak", "letter.rtf"}) {
        QFile file(m_session->file(QStringLiteral("Temp/") + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    m_session->expectMessage("All files in " + temp() + " have been deleted.");
    click("CommandDelete");
    QCOMPARE(MsgBox::last().text, "All files in " + temp() + " have been deleted.");
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Information));
    QVERIFY(QDir(m_session->file("Temp")).isEmpty());

    m_session->expectMessage("The folder " + temp() + " is empty.");
    click("CommandDelete");
    QCOMPARE(MsgBox::last().text, "The folder " + temp() + " is empty.");
}

// ---- compaction ----

void TestMaintenance::compactionReplacesTheDatabaseAndKeepsABackup() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Acme'), ('Baker')");
    m_session->exec("TESSALY.mdb", "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < 2000) INSERT INTO TABLE08 (NUMBER01, MEMO01) "
                                   "SELECT 1, hex(zeroblob(500)) FROM n");
    m_session->exec("TESSALY.mdb", "DELETE FROM TABLE08");
    open();
    const qint64 before = Compaction::databaseLength(m_session->file("TESSALY.mdb"));

    m_session->expectMessage("Compacting is complete.");
    click("CommandShowCompact");
    QCOMPARE(MsgBox::last().text, QString("Compacting is complete."));
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Information));
    QVERIFY(!Forms::isLoaded("FormMenu")); // it held the database open
    QVERIFY(form()->isVisible());

    QCOMPARE(companies(), 2);
    QCOMPARE(QFileInfo(m_session->file("Temp/TESSALY.bak")).size(), before);
    QVERIFY(QFileInfo(m_session->file("TESSALY.mdb")).size() < before / 2);
    QVERIFY(!QFileInfo::exists(m_session->file("Temp.mdb")));
    QCOMPARE(child<QLabel>("LabelSize")->text(), expectedSize("####.##"));

    // Closing the window brings the menu back.
    QVERIFY(form()->close());
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestMaintenance::failedCompactionSaysSoAndKeepsTheDatabase() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Acme'), ('Baker')");
    open();
    Compaction::setFaultHook(
        [](Compaction::Step step) { return step == Compaction::Step::Install; });
    m_session->expectMessage("An error was encountered. Please restart Tessaly and try again.");
    click("CommandShowCompact");
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Critical));
    QVERIFY(MsgBox::last().text.contains("Your database has not been changed."));
    QVERIFY(!Pointer::isBusy());
    QCOMPARE(companies(), 2);
    QVERIFY(!QFileInfo::exists(m_session->file("Temp/TESSALY.bak")));
    // The program goes on with the same database.
    QVERIFY(form()->close());
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
    QString error;
    QVERIFY(SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error)
                ->execute("INSERT INTO TABLE01 (TEXT01) VALUES ('Crane')", &error));
    QCOMPARE(companies(), 3);
}

// ---- blank companies ----

void TestMaintenance::blankCompaniesAreRemovedUnlessTheyOwnRows() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE01 (AUTONUMBER, TEXT01) VALUES (1, NULL), (2, ''), "
                    "(3, '   '), (4, 'Acme'), (5, ''), (6, NULL), (7, ''), (8, 'Baker');"
                    "INSERT INTO TABLE03 (NUMBER01, TEXT02) VALUES (5, 'Ann');"
                    "INSERT INTO TABLE08 (NUMBER01, MEMO01) VALUES (6, 'visit'), (8, 'other');"
                    "INSERT INTO TABLE06 (NUMBER01, TEXT02) VALUES (7, 'Project');");
    open();
    m_session->expectMessage("All Blank Entries have been Removed!");
    click("CommandRemove");
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Information));
    auto* blanks = qobject_cast<FormRemoveBlanks*>(Forms::loaded(FormRemoveBlanks::Name));
    QVERIFY(blanks);
    QVERIFY(!blanks->isVisible());
    while (blanks->isWalking())
        fireTimer(blanks, "Timer1");

    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT AUTONUMBER FROM TABLE01 ORDER BY 1"),
             (QStringList{"3", "4", "5", "6", "7", "8"}));
    QCOMPARE(blanks->kept(), 3);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE03").toInt(), 1);
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08").toInt(), 2);
}

void TestMaintenance::aLaterRemovalWalksAgain() {
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES (''), ('Acme')");
    open();
    m_session->expectMessage("All Blank Entries have been Removed!");
    click("CommandRemove");
    auto* blanks = qobject_cast<FormRemoveBlanks*>(Forms::loaded(FormRemoveBlanks::Name));
    while (blanks->isWalking())
        fireTimer(blanks, "Timer1");
    QCOMPARE(companies(), 1);

    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES (NULL)");
    m_session->expectMessage("All Blank Entries have been Removed!");
    click("CommandRemove");
    QVERIFY(blanks->isWalking());
    while (blanks->isWalking())
        fireTimer(blanks, "Timer1");
    QCOMPARE(companies(), 1);
}

// ---- replication ----

void TestMaintenance::replicaAndSynchronizationShowTheirPaths_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("hidden");
    QTest::newRow("replica") << "CommandShowReplica"
                             << "Database to Replicate"
                             << "Name of new Replica"
                             << "CommandReplica"
                             << "CommandSynchronize";
    QTest::newRow("synchronize") << "CommandShowSynchronize"
                                 << "Select the path to the Database on the Server"
                                 << "The path to your Replica:"
                                 << "CommandSynchronize"
                                 << "CommandReplica";
}

void TestMaintenance::replicaAndSynchronizationShowTheirPaths() {
    QFETCH(QString, command);
    m_session->exec("User.mdb", "UPDATE TABLE02 SET TEXT05 = '/srv/share/TESSALY.mdb'");
    open();
    click(command);
    QTEST(child<QLabel>("Label1")->text(), "from");
    QTEST(child<QLabel>("Label2")->text(), "to");
    for (const char* shown : {"Label1", "TextDBNameFrom", "CommandOpenForm", "Label2",
                              "TextReplicaDBName", "CommandDestination"})
        QVERIFY2(child(shown)->isVisible(), shown);
    QFETCH(QString, shown);
    QFETCH(QString, hidden);
    QVERIFY(child(shown)->isVisible());
    QVERIFY(!child(hidden)->isVisible());
    QCOMPARE(child<QLineEdit>("TextDBNameFrom")->text(), QString("/srv/share/TESSALY.mdb"));
    QCOMPARE(child<QLineEdit>("TextReplicaDBName")->text(),
             QDir::toNativeSeparators(m_session->file("TESSALY.mdb")));
    QVERIFY(child<QLineEdit>("TextReplicaDBName")->isReadOnly());
    QCOMPARE(child<QPushButton>("CommandReplica")->text(), QString("&Create Replica"));
    QCOMPARE(child<QPushButton>("CommandSynchronize")->text(), QString("&Synchronize"));
}

void TestMaintenance::browseButtonsFillThePaths() {
    open();
    click("CommandShowSynchronize");
    QStringList answers = {"/srv/share/TESSALY.mdb", "/home/me/replica.mdb", ""};
    FileChooser::setChooser([&](const QString&, const QString&) { return answers.takeFirst(); });
    click("CommandOpenForm");
    QCOMPARE(child<QLineEdit>("TextDBNameFrom")->text(), QString("/srv/share/TESSALY.mdb"));
    click("CommandDestination");
    QVERIFY(!child<QLineEdit>("TextReplicaDBName")->isReadOnly());
    QCOMPARE(child<QLineEdit>("TextReplicaDBName")->text(), QString("/home/me/replica.mdb"));
    click("CommandOpenForm"); // cancelled: the path stays
    QCOMPARE(child<QLineEdit>("TextDBNameFrom")->text(), QString("/srv/share/TESSALY.mdb"));
}

void TestMaintenance::replicationFailureIsReportedAndNothingRecorded_data() {
    QTest::addColumn<QString>("show");
    QTest::addColumn<QString>("command");
    QTest::newRow("create replica") << "CommandShowReplica"
                                    << "CommandReplica";
    QTest::newRow("synchronize") << "CommandShowSynchronize"
                                 << "CommandSynchronize";
}

void TestMaintenance::replicationFailureIsReportedAndNothingRecorded() {
    QFETCH(QString, show);
    QFETCH(QString, command);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Acme')");
    open();
    click(show);
    QTest::keyClicks(child<QLineEdit>("TextDBNameFrom"), "/srv/share/TESSALY.mdb");
    m_session->expectMessage(
        "The database on the server, /srv/share/TESSALY.mdb, cannot be found.");
    click(command);
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Critical));
    QVERIFY2(MsgBox::last().text.contains(" From: FormMaintenance."),
             qPrintable(MsgBox::last().text));
    QCOMPARE(MsgBox::shown().size(), 1);
    QVERIFY(!Pointer::isBusy());

    // The program keeps running, with its database, and records no
    // synchronisation; the server's path is kept for the next time.
    QVERIFY(form() && form()->isVisible());
    QVERIFY(child(command)->isVisible());
    QVERIFY(m_session->scalar("User.mdb", "SELECT DATE01 FROM TABLE01").isNull());
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT05 FROM TABLE02").toString(),
             QString("/srv/share/TESSALY.mdb"));
    QCOMPARE(companies(), 1);
    QString error;
    QVERIFY(SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error));
}

QString TestMaintenance::makeServer(bool joined) {
    const QString server = QDir(m_session->path()).filePath("Server/TESSALY.mdb");
    if (!QDir().mkpath(QFileInfo(server).path()))
        qFatal("no server folder");
    SqliteConnection::closeShared(m_session->file("TESSALY.mdb"));
    if (!QFile::copy(m_session->file("TESSALY.mdb"), server))
        qFatal("no server copy");
    m_session->exec(server, "INSERT INTO TABLE01 (TEXT01, TEXT08, TEXT20) VALUES "
                            "('Shared Ltd', 'Leeds', 'Company')");
    if (!Replication::makeReplicable(server).ok)
        qFatal("the server copy is not replicable");
    if (joined &&
        !Replication::copyReplica(server, m_session->file("TESSALY.mdb"), "Replica of the server")
             .ok)
        qFatal("no replica");
    return server;
}

void TestMaintenance::replicaReplacesTheDatabaseAndTheProgramEnds() {
    const QString server = makeServer(false);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Local only')");
    open();
    click("CommandShowReplica");
    child<QLineEdit>("TextDBNameFrom")->setText(server);
    const QString replica = child<QLineEdit>("TextReplicaDBName")->text();
    m_session->expectMessage("A replica has been created at location " + replica +
                             ". You must restart Tessaly.");
    click("CommandReplica");
    settle();
    QCOMPARE(MsgBox::last().style & 0x70, 0); // no icon
    QVERIFY(!Pointer::isBusy());
    // The program has ended; its folder holds a replica of the server.
    QVERIFY(!Forms::isLoaded(FormMaintenance::Name));
    QVERIFY(!Forms::isLoaded("FormMenu"));
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01"),
             QStringList{"Shared Ltd"});
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT IsServer FROM ReplicaIdentity").toInt(), 0);
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT05 FROM TABLE02").toString(), server);
}

void TestMaintenance::synchronizationExchangesChangesAndRecordsTheDate() {
    const QString server = makeServer(true);
    const QString other = QDir(m_session->path()).filePath("Other/TESSALY.mdb");
    QVERIFY(QDir().mkpath(QFileInfo(other).path()));
    QVERIFY(Replication::copyReplica(server, other, "Replica of the server").ok);
    change(m_session->file("TESSALY.mdb"), "UPDATE TABLE01 SET TEXT08 = 'Bradford'");
    change(other, "INSERT INTO TABLE01 (TEXT01, TEXT20) VALUES ('New Elsewhere', 'Company')");
    QVERIFY(Replication::synchronize(other, server).ok);

    const QString replica = QDir::toNativeSeparators(m_session->file("TESSALY.mdb"));
    m_session->expectMessage("You succesfully synchronized " + replica + " with \r\n" + server +
                             ". You must restart Tessaly.");
    synchronizeThroughTheWindow(server);
    QVERIFY2(!MsgBox::last().text.contains("ReplicaConflicts"), qPrintable(MsgBox::last().text));
    QVERIFY(!Forms::isLoaded(FormMaintenance::Name));
    // Both ways, and the date of this synchronisation is kept.
    for (const QString& database : {server, m_session->file("TESSALY.mdb")})
        QCOMPARE(m_session->rows(database, "SELECT TEXT01, TEXT08 FROM TABLE01 ORDER BY TEXT01"),
                 (QList<QVariantList>{{"New Elsewhere", QVariant()}, {"Shared Ltd", "Bradford"}}));
    QVERIFY(m_session->scalar("User.mdb", "SELECT DATE01 FROM TABLE01")
                .toString()
                .startsWith(Clock::today().toString(Qt::ISODate)));
}

void TestMaintenance::conflictsAreNamedInTheMessage() {
    const QString server = makeServer(true);
    const QString other = QDir(m_session->path()).filePath("Other/TESSALY.mdb");
    QVERIFY(QDir().mkpath(QFileInfo(other).path()));
    QVERIFY(Replication::copyReplica(server, other, "Replica of the server").ok);
    change(other, "UPDATE TABLE01 SET TEXT08 = 'York'");
    QVERIFY(Replication::synchronize(other, server).ok);
    change(m_session->file("TESSALY.mdb"), "UPDATE TABLE01 SET TEXT08 = 'Bradford'");

    m_session->expectMessage("You succesfully synchronized ");
    synchronizeThroughTheWindow(server);
    const QString text = MsgBox::last().text;
    QVERIFY2(text.contains("1 of the changes met changes made elsewhere") &&
                 text.contains("ReplicaConflicts"),
             qPrintable(text));
    // The later synchronisation won; the value it overwrote is kept.
    QCOMPARE(m_session->scalar(server, "SELECT TEXT08 FROM TABLE01").toString(),
             QString("Bradford"));
    QVERIFY(m_session->scalar(server, "SELECT COUNT(*) FROM ReplicaConflicts").toInt() >= 1);
}

QTEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"
