#include "TestSession.h"

#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "maintenance/FormReplica.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DirList.h"
#include "widgets/FileList.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Notes every window that was ever shown.
class ShowWatcher : public QObject {
public:
    QStringList shown;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            shown << watched->objectName();
        return false;
    }
};

} // namespace

// Start-up: the first-start choice, then the main menu.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void freshFolderShowsTheFirstStartChoice();
    void workingAloneMakesTheDatabaseAndOpensTheMenu();
    void laterStartsGoStraightToTheMenu();
    void anExistingMainDatabaseIsKept();
    void aMissingSuppliedDatabaseIsReported();
    void aSuppliedDatabaseThatIsNotWholeIsNotUsed_data();
    void aSuppliedDatabaseThatIsNotWholeIsNotUsed();
    void browseListsDrivesFoldersAndFiles();
    void networkChoiceMakesAReplicaAndEndsTheProgram();
    void networkChoiceWithAnUnusableServerReportsAndKeepsTheChoiceOpen_data();
    void networkChoiceWithAnUnusableServerReportsAndKeepsTheChoiceOpen();
    void hoverTextsAndHelp();

private:
    FormReplica* start();
    QString serverFolder() const;
    void chooseServerFile(FormReplica* replica);
    QString choice() const {
        return m_session->scalar("User.mdb", "SELECT TEXT04 FROM TABLE02").toString();
    }
    std::unique_ptr<TestSession> m_session;
    ShowWatcher m_watcher;
};

void TestStartup::init() {
    m_session = std::make_unique<TestSession>(TestSession::Folder::FirstStart);
    m_session->registerForms();
    m_watcher.shown.clear();
    qApp->installEventFilter(&m_watcher);
}

void TestStartup::cleanup() {
    qApp->removeEventFilter(&m_watcher);
    m_session.reset();
}

FormReplica* TestStartup::start() {
    FormReplica::Start();
    settle();
    return qobject_cast<FormReplica*>(Forms::loaded("FormReplica"));
}

void TestStartup::freshFolderShowsTheFirstStartChoice() {
    FormReplica* replica = start();
    QVERIFY(replica && replica->isVisible());
    QCOMPARE(replica->windowTitle(), QString("Create a Replica on your Computer"));
    QCOMPARE(replica->findChild<QLabel*>("Label1")->text(), QString("Database to Replicate..."));
    QCOMPARE(replica->findChild<QLabel*>("Label2")->text(),
             QString("Destination of the Replica..."));
    QCOMPARE(replica->findChild<QLineEdit*>("Text1")->text(), QString());
    QCOMPARE(replica->findChild<QLineEdit*>("Text2")->text(),
             QDir::toNativeSeparators(m_session->file("TESSALY.mdb")));
    QVERIFY(!replica->findChild<QPushButton*>("CommandReplica")->isEnabled());
    QCOMPARE(replica->findChild<QCheckBox*>("Check1")->text(),
             QString("Do not create a replica. I do not work from a network."));
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QVERIFY(!replica->findChild<QWidget*>(list)->isVisible());
    QVERIFY(!replica->findChild<QLineEdit*>("TEXT04")->isVisible());
    QCOMPARE(Twips::geometry(replica).width(), 5000);
    QVERIFY(!Forms::isLoaded("FormMenu"));
}

void TestStartup::workingAloneMakesTheDatabaseAndOpensTheMenu() {
    FormReplica* replica = start();
    auto* check = replica->findChild<QCheckBox*>("Check1");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, 5));
    settle();
    QVERIFY(!QFile::exists(m_session->file("Temp.mdb")));
    QVERIFY(QFile::exists(m_session->file("TESSALY.mdb")));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT02 FROM TABLE02").toString(),
             QString("Kelvorin"));
    QCOMPARE(choice(), QString("1"));
    QVERIFY(Forms::isVisible("FormMenu"));
    QVERIFY(!Forms::isLoaded("FormReplica"));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestStartup::laterStartsGoStraightToTheMenu() {
    QVERIFY(QFile::rename(m_session->file("Temp.mdb"), m_session->file("TESSALY.mdb")));
    m_session->exec("User.mdb", "UPDATE TABLE02 SET TEXT04 = '1'");
    QVERIFY(!start());
    QVERIFY(Forms::isVisible("FormMenu"));
    QVERIFY(!m_watcher.shown.contains("FormReplica")); // never shown, not even briefly
}

void TestStartup::anExistingMainDatabaseIsKept() {
    QVERIFY(QFile::copy(m_session->file("Temp.mdb"), m_session->file("TESSALY.mdb")));
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE01 (TEXT01) VALUES ('Copied company')");
    FormReplica* replica = start();
    m_session->expectMessage("The database TESSALY.mdb is already in " + m_session->path());
    QTest::mouseClick(replica->findChild<QCheckBox*>("Check1"), Qt::LeftButton, {}, QPoint(5, 5));
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QVERIFY(MsgBox::last().text.contains("already in"));
    QVERIFY(QFile::exists(m_session->file("Temp.mdb")));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Copied company"));
    QCOMPARE(m_session->scalar("Temp.mdb", "SELECT COUNT(*) FROM TABLE01").toInt(), 0);
    QCOMPARE(choice(), QString("1"));
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestStartup::aMissingSuppliedDatabaseIsReported() {
    FormReplica* replica = start();
    QVERIFY(QFile::remove(m_session->file("Temp.mdb")));
    auto* check = replica->findChild<QCheckBox*>("Check1");
    m_session->expectMessage("The supplied database Temp.mdb is missing from " + m_session->path());
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, 5));
    settle();
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY(MsgBox::last().text.contains("Temp.mdb is missing"));
    QVERIFY(!check->isChecked());
    QVERIFY(!QFile::exists(m_session->file("TESSALY.mdb")));
    QVERIFY(choice().isEmpty());
    QVERIFY(replica->isVisible());
    QVERIFY(!Forms::isLoaded("FormMenu"));
}

void TestStartup::aSuppliedDatabaseThatIsNotWholeIsNotUsed_data() {
    QTest::addColumn<QByteArray>("content"); // of Temp.mdb; empty: the SQL below
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("why");
    QTest::newRow("no database") << QByteArray("some other file") << QString()
                                 << "file is not a database";
    QTest::newRow("empty file") << QByteArray("-") << QString() << "is empty (0 bytes)";
    QTest::newRow("another program's database") << QByteArray() << "DROP TABLE TABLE02"
                                                << "is not a Tessaly database";
    QTest::newRow("tables missing") << QByteArray() << "DROP TABLE TABLE08"
                                    << "the table TABLE08 is missing";
}

void TestStartup::aSuppliedDatabaseThatIsNotWholeIsNotUsed() {
    QFETCH(QByteArray, content);
    QFETCH(QString, sql);
    QFETCH(QString, why);
    if (content.isEmpty()) {
        m_session->exec("Temp.mdb", sql);
    } else {
        QFile file(m_session->file("Temp.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (content != "-")
            file.write(content);
    }
    FormReplica* replica = start();
    auto* check = replica->findChild<QCheckBox*>("Check1");
    m_session->expectMessage("The supplied database Temp.mdb in " + m_session->path() +
                             " is not a whole Tessaly database");
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(5, 5));
    settle();
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY2(MsgBox::last().text.contains("is not a whole Tessaly database") &&
                 MsgBox::last().text.contains(why),
             qPrintable(MsgBox::last().text));
    QVERIFY(!check->isChecked());
    QVERIFY(!QFile::exists(m_session->file("TESSALY.mdb")));
    QVERIFY(QFile::exists(m_session->file("Temp.mdb")));
    QVERIFY(choice().isEmpty());
    QVERIFY(replica->isVisible());
    QVERIFY(!Forms::isLoaded("FormMenu"));
}

void TestStartup::browseListsDrivesFoldersAndFiles() {
    FormReplica* replica = start();
    QTest::mouseClick(replica->findChild<QPushButton*>("CommandBrowse"), Qt::LeftButton);
    QCOMPARE(Twips::geometry(replica).width(), 10740);
    QCOMPARE(Twips::geometry(replica).x(), (Twips::screenWidth() - 10740) / 2);
    for (const char* list : {"Drive1", "Dir1", "File1"})
        QVERIFY(replica->findChild<QWidget*>(list)->isVisible());
    auto* dir = replica->findChild<DirList*>("Dir1");
    auto* files = replica->findChild<FileList*>("File1");
    dir->setPath(m_session->path());
    QCOMPARE(files->path(), dir->path());
    QCOMPARE(files->count(), 2); // Temp.mdb and User.mdb; *.mdb only
    files->setCurrentRow(0);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(0)).center());
    QCOMPARE(replica->findChild<QLineEdit*>("Text1")->text(),
             QDir::toNativeSeparators(m_session->file("Temp.mdb")));
    QVERIFY(replica->findChild<QPushButton*>("CommandReplica")->isEnabled());
}

// The server's copy, in a shared folder of its own, with one company.
QString TestStartup::serverFolder() const {
    const QString folder = QDir(m_session->path()).filePath("Share");
    QDir().mkpath(folder);
    return folder;
}

// Browse, then the server's folder and its TESSALY.mdb in the lists.
void TestStartup::chooseServerFile(FormReplica* replica) {
    QTest::mouseClick(replica->findChild<QPushButton*>("CommandBrowse"), Qt::LeftButton);
    auto* dir = replica->findChild<DirList*>("Dir1");
    auto* files = replica->findChild<FileList*>("File1");
    dir->setPath(serverFolder());
    QCOMPARE(files->count(), 1);
    QCOMPARE(files->item(0)->text(), QString("TESSALY.mdb"));
    files->setCurrentRow(0);
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(files->item(0)).center());
    QCOMPARE(replica->findChild<QLineEdit*>("Text1")->text(),
             QDir::toNativeSeparators(QDir(serverFolder()).filePath("TESSALY.mdb")));
}

void TestStartup::networkChoiceMakesAReplicaAndEndsTheProgram() {
    const QString server = QDir(serverFolder()).filePath("TESSALY.mdb");
    QVERIFY(QFile::copy(m_session->file("Temp.mdb"), server));
    m_session->exec(server,
                    "INSERT INTO TABLE01 (TEXT01, TEXT20) VALUES ('Shared Ltd', 'Company')");
    FormReplica* replica = start();
    chooseServerFile(replica);
    auto* create = replica->findChild<QPushButton*>("CommandReplica");
    QVERIFY(create->isEnabled());
    const QString local = QDir::toNativeSeparators(m_session->file("TESSALY.mdb"));
    m_session->expectMessage("A replica has been created at location " + local +
                             ". You must restart Tessaly.");
    QTest::mouseClick(create, Qt::LeftButton);
    settle();
    QCOMPARE(MsgBox::last().style & 0xF0, int(MsgBox::Information));
    // The program has ended; the next start opens the replica.
    QVERIFY(!Forms::isLoaded("FormReplica"));
    QVERIFY(!Forms::isLoaded("FormMenu"));
    QCOMPARE(choice(), QString("1"));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT TEXT01 FROM TABLE01").toString(),
             QString("Shared Ltd"));
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT IsServer || ' ' || Description FROM "
                                         "ReplicaIdentity")
                 .toString(),
             "0 Replica of " + QDir::toNativeSeparators(server));
    QCOMPARE(m_session->scalar(server, "SELECT IsServer || ' ' || Replicable FROM ReplicaIdentity")
                 .toString(),
             QString("1 T"));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT ReplicaSet FROM ReplicaIdentity"),
             m_session->scalar(server, "SELECT ReplicaSet FROM ReplicaIdentity"));
    QVERIFY(QFile::exists(m_session->file("Temp.mdb"))); // the supplied database stays aside
}

void TestStartup::networkChoiceWithAnUnusableServerReportsAndKeepsTheChoiceOpen_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a database")
        << QByteArray("Minutes of the sales meeting\n") << "is not a Tessaly database";
    QTest::newRow("gone after it was chosen") << QByteArray() << "cannot be found";
}

void TestStartup::networkChoiceWithAnUnusableServerReportsAndKeepsTheChoiceOpen() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    const QString server = QDir(serverFolder()).filePath("TESSALY.mdb");
    {
        QFile file(server);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Minutes of the sales meeting\n");
    }
    FormReplica* replica = start();
    chooseServerFile(replica);
    if (content.isEmpty())
        QVERIFY(QFile::remove(server));
    m_session->expectMessage("The ");
    QTest::mouseClick(replica->findChild<QPushButton*>("CommandReplica"), Qt::LeftButton);
    settle();
    const MsgBox::Shown shown = MsgBox::last();
    QCOMPARE(shown.style & 0xF0, int(MsgBox::Critical));
    QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
    QVERIFY(shown.text.contains(" From: FormReplica.MakeReplicable"));
    QVERIFY(shown.text.contains("Number: "));
    // Nothing is recorded and nothing replaced: the user can choose again.
    QVERIFY(choice().isEmpty());
    QVERIFY(!QFile::exists(m_session->file("TESSALY.mdb")));
    QVERIFY(QFile::exists(m_session->file("Temp.mdb")));
    QVERIFY(replica->isVisible());
    if (!content.isEmpty()) {
        QFile file(server);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }
}

void TestStartup::hoverTextsAndHelp() {
    FormReplica* replica = start();
    HoverHelp* help = replica->hoverHelp();
    QCOMPARE(help->text(replica->findChild<QCheckBox*>("Check1")),
             QString("Select this option if you are a single user. Instead of creating a replica, "
                     "a copy of the database will be made to ") +
                 QDir::toNativeSeparators(m_session->path()) + ".");
    QCOMPARE(help->text(replica->findChild<QWidget*>("Dir1")),
             QString("Select the folder where 'TESSALY.mdb' is located."));
    QTest::keyClick(replica, Qt::Key_F1);
    auto* window = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->page(), 2);
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
