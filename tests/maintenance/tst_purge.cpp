#include "TestSession.h"

#include "app/Forms.h"
#include "data/DocumentIndex.h"
#include "data/PurgeWalk.h"
#include "data/PurgeWorker.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "maintenance/FormDelete.h"
#include "maintenance/FormMaintenance.h"
#include "services/Pointer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <sqlite3.h>

// The purge of old records, driven through the purge window from the main
// menu's advanced options: the size question, the backup, the cut-off date,
// the walk through the four tables, and what stays.
class TestPurge : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void advancedOptionsOpenTheWindowWithTheSizeQuestion();
    void noClosesTheWindow();
    void backupAnswer_data();
    void backupAnswer();
    void backupThatCannotBeMadeDeletesNothing();
    void incompleteOrImpossibleDateIsRefused_data();
    void incompleteOrImpossibleDateIsRefused();
    void purgeDeletesWhatIsDatedBeforeTheCutOff();
    void progressTextsOfEachTable_data();
    void progressTextsOfEachTable();
    void closingStopsThePurgeWhereItIs();
    void closingDuringATableLeavesNothingHalfDone();
    void programConnectionSeesThePurge();
    void tableThatCannotBeReadStopsThePurge();
    void searchIndexesFollowThePurge_data();
    void searchIndexesFollowThePurge();
    void storedDates_data();
    void storedDates();

private:
    FormDelete* open() {
        Forms::show("FormMenu");
        QWidget* menu = Forms::loaded("FormMenu");
        QTest::mouseClick(menu->findChild<QPushButton*>("CommandSetup"), Qt::LeftButton);
        QTest::keyClicks(menu->findChild<QLineEdit*>("Text1"), "Kelvorin");
        QTest::mouseClick(menu->findChild<QPushButton*>("CommandEnter"), Qt::LeftButton);
        QTest::mouseClick(menu->findChild<QPushButton*>("CommandDelete"), Qt::LeftButton);
        if (!form() || !form()->isVisible())
            qFatal("the purge window was not shown");
        return form();
    }
    FormDelete* form() const { return qobject_cast<FormDelete*>(Forms::loaded(FormDelete::Name)); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = form() ? form()->findChild<T*>(name) : nullptr;
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    // Past the size question, without a backup, to the date.
    void toTheDate() {
        m_session->expectMessage("Do you want to make a backup", MsgBox::No);
        click("CommandYes");
    }
    void typeDate(const QString& digits) {
        auto* box = child<QLineEdit>("MaskEdBoxDate");
        box->setFocus();
        box->home(false);
        QTest::keyClicks(box, digits);
    }
    // Waits until the worker has walked its table (or stopped), without
    // letting the window's timers run meanwhile.
    void waitForWorker() const {
        if (!form())
            return;
        if (auto* worker = form()->findChild<QThread*>(QStringLiteral("PurgeWorker")))
            QVERIFY(worker->wait(QDeadlineTimer(60000)));
    }
    // Fires the running timer until the walk ends (or the window goes).
    void runPurge(const std::function<void(const QString& timer)>& eachTick = {}) {
        for (int guard = 0; guard < 100000 && form() && form()->isPurging(); ++guard) {
            waitForWorker();
            const QString running = runningTimer();
            if (eachTick)
                eachTick(running);
            if (form() && running.size())
                fireTimer(form(), running);
        }
        settle();
    }
    QString runningTimer() const {
        for (int i = 1; i <= 4; ++i)
            if (auto* timer = form()->findChild<QTimer*>(QStringLiteral("Timer%1").arg(i));
                timer && timer->isActive())
                return timer->objectName();
        return {};
    }
    QStringList kept(const QString& table) const {
        return m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM " + table + " ORDER BY TEXT01");
    }
    int count(const QString& table) const {
        return m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM " + table).toInt();
    }
    static QString finished() {
        return "All selected records have been deleted.\r\nNow go to 'Maintenance and "
               "Replication' and compact the database.";
    }

    std::unique_ptr<TestSession> m_session;
};

void TestPurge::init() {
    m_session = std::make_unique<TestSession>();
    m_session->registerForms();
}

void TestPurge::cleanup() {
    m_session.reset();
}

void TestPurge::advancedOptionsOpenTheWindowWithTheSizeQuestion() {
    FormDelete* purge = open();
    QCOMPARE(purge->windowTitle(), QString("Delete Old Files"));
    const QString question = child<QLabel>("LabelSize")->text();
    QVERIFY2(question.startsWith("Your database is ."), qPrintable(question));
    QVERIFY2(question.endsWith(" MB in size, which is 0.01 % of its maximum capacity .Do you want "
                               "to delete old activities (call reports, faxes letters, e-mails "
                               "and projects)?"),
             qPrintable(question));
    QCOMPARE(child<QPushButton>("CommandYes")->text(), QString("&Yes"));
    QCOMPARE(child<QPushButton>("CommandNo")->text(), QString("&No"));
    for (const char* hidden : {"MaskEdBoxDate", "LabelHint", "CommandDelete", "LabelDeleting"})
        QVERIFY2(!child(hidden)->isVisible(), hidden);
}

void TestPurge::noClosesTheWindow() {
    open();
    click("CommandNo");
    settle();
    QVERIFY(!form());
}

void TestPurge::backupAnswer_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(MsgBox::Yes);
    QTest::newRow("no") << int(MsgBox::No);
}

void TestPurge::backupAnswer() {
    QFETCH(int, answer);
    const bool yes = answer == MsgBox::Yes;
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01) VALUES "
                                   "(1, 'Acme', '2020-01-01'), (1, 'Acme', '2026-01-01')");
    QDir().mkpath(m_session->file("Temp"));
    {
        QFile earlier(m_session->file("Temp/TESSALY.mdb"));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier backup");
    }
    open();
    const QString temp = QDir::toNativeSeparators(m_session->file("Temp"));
    m_session->expectMessage("Do you want to make a backup of the database 'TESSALY.mdb'in the "
                             "folder " +
                                 temp + " before deleting?",
                             MsgBox::Result(answer));
    click("CommandYes");
    QCOMPARE(MsgBox::last().style & 7, int(MsgBox::YesNo));

    QCOMPARE(Forms::isLoaded("FormMenu"), !yes);
    if (yes)
        QCOMPARE(m_session->scalar("Temp/TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08").toInt(), 2);
    else
        QCOMPARE(QFileInfo(m_session->file("Temp/TESSALY.mdb")).size(), 17);
    QCOMPARE(child<QLabel>("LabelSize")->text(),
             QString("Enter a date. All call reports, faxes, letters and e-mails generated before "
                     "this date will be permanently deleted."));
    QVERIFY(!child("CommandYes")->isVisible() && !child("CommandNo")->isVisible());
    QVERIFY(child("MaskEdBoxDate")->isVisible());
    QCOMPARE(child<QLabel>("LabelHint")->text(), QString("dd-mm-yyyy"));
    QVERIFY(!child("CommandDelete")->isVisible());
    typeDate("1");
    QVERIFY(child("CommandDelete")->isVisible());
}

void TestPurge::backupThatCannotBeMadeDeletesNothing() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01) VALUES (1, '2001-01-01')");
    // "Temp" is a file: no backup can go there.
    QDir(m_session->file("Temp")).removeRecursively();
    {
        QFile blocker(m_session->file("Temp"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    open();
    m_session->expectMessage("Do you want to make a backup", MsgBox::Yes);
    m_session->expectMessage("The backup of 'TESSALY.mdb' could not be made in the folder");
    click("CommandYes");
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Critical));
    QVERIFY(MsgBox::last().text.endsWith("Nothing has been deleted."));
    QVERIFY(!Pointer::isBusy());
    // Still at the question: no date is asked for without the backup.
    QVERIFY(child("CommandYes")->isVisible());
    QVERIFY(!child("MaskEdBoxDate")->isVisible());
    QCOMPARE(count("TABLE08"), 1);
    // The backup closed the main menu; leaving brings it back.
    QVERIFY(!Forms::isLoaded("FormMenu"));
    QVERIFY(form()->close());
    settle();
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestPurge::incompleteOrImpossibleDateIsRefused_data() {
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("message");
    QTest::newRow("year cut short") << "150620"
                                    << "Please enter the whole date as day, month and year";
    QTest::newRow("day only") << "15"
                              << "Please enter the whole date as day, month and year";
    QTest::newRow("thirty-first of February") << "31022025"
                                              << "There is no such day as 31-02-2025.";
    QTest::newRow("month thirteen") << "01132025"
                                    << "There is no such day as 01-13-2025.";
    QTest::newRow("not a leap year") << "29022025"
                                     << "There is no such day as 29-02-2025.";
}

void TestPurge::incompleteOrImpossibleDateIsRefused() {
    QFETCH(QString, digits);
    QFETCH(QString, message);
    m_session->exec("TESSALY.mdb", "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01) VALUES "
                                   "(1, 'Acme', '2001-01-01')");
    open();
    toTheDate();
    typeDate(digits);
    m_session->expectMessage(message);
    click("CommandDelete");
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Exclamation));
    QVERIFY(MsgBox::last().text.endsWith("Nothing has been deleted."));
    QVERIFY(!form()->isPurging());
    QVERIFY(!child("LabelDeleting")->isVisible());
    QCOMPARE(count("TABLE08"), 1);
}

// Cut-off 15 June 2025: what lies on an earlier day goes, whatever the
// table; the cut-off day itself stays, at any time of day.
void TestPurge::purgeDeletesWhatIsDatedBeforeTheCutOff() {
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01) VALUES (1, 'Acme'), (2, 'Baker');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT02) VALUES (1, 'Ann'), (2, 'Bob');"
        "INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01) VALUES "
        "(1, 'a day before', '2025-06-14'), (1, 'cut-off day', '2025-06-15'),"
        "(1, 'late on the day before', '2025-06-14 23:59:59'),"
        "(1, 'early on the cut-off day', '2025-06-15 00:00:01'), (2, 'years ago', '2019-03-01'),"
        "(2, 'recent', '2026-11-01'), (2, 'no date', NULL), (2, 'empty date', ''),"
        "(2, 'not a date', 'next week');"
        "INSERT INTO TABLE09 (NUMBER01, TEXT01, DATE01) VALUES "
        "(1, 'old letter', '2024-12-31'), (1, 'new letter', '2025-06-15 09:00:00');"
        "INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT03, DATE01) VALUES "
        "(10, 1, 'old but active', 'Active Project', '2025-01-01'),"
        "(11, 1, 'recent project', 'Active Project', '2025-07-01');"
        "INSERT INTO TABLE07 (NUMBER01, NUMBER02, DATE01, MEMO01) VALUES "
        "(10, 1, '2025-08-01', 'recent step of the old project'),"
        "(11, 1, '2025-06-01', 'old step of the recent project'),"
        "(11, 1, '2025-07-02', 'recent step of the recent project');");
    open();
    toTheDate();
    typeDate("15062025");
    click("CommandDelete");
    QVERIFY(form()->isPurging());
    QCOMPARE(runningTimer(), QString("Timer1"));
    QVERIFY(!child<QPushButton>("CommandDelete")->isEnabled());
    QCOMPARE(child<QLabel>("LabelDeleting")->text(),
             QString("Checking and deleting record . Plase wait..."));
    m_session->expectMessage(finished() + "\r\n\r\n3 records without a valid date were kept.");
    runPurge();
    QCOMPARE(MsgBox::last().style & 0x70, 0);

    QCOMPARE(kept("TABLE08"), (QStringList{"cut-off day", "early on the cut-off day", "empty date",
                                           "no date", "not a date", "recent"}));
    QCOMPARE(kept("TABLE09"), QStringList{"new letter"});
    QCOMPARE(kept("TABLE06"), QStringList{"recent project"});
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT MEMO01 FROM TABLE07 ORDER BY DATE01"),
             (QStringList{"recent step of the recent project", "recent step of the old project"}));
    // Companies and contacts are never touched.
    QCOMPARE(count("TABLE01"), 2);
    QCOMPARE(count("TABLE03"), 2);

    // On to the maintenance window, to compact.
    QVERIFY(!form());
    QVERIFY(Forms::isVisible(FormMaintenance::Name));
    QVERIFY(!Forms::isLoaded("FormMenu"));
    QVERIFY(!Pointer::isBusy());
}

void TestPurge::progressTextsOfEachTable_data() {
    QTest::addColumn<QString>("timer");
    QTest::addColumn<QString>("progress");
    QTest::addColumn<QString>("count");
    QTest::newRow("call reports")
        << "Timer1"
        << "Checking dates and deleting call reports older then 01-01-2025 1/2/2025. Please wait..."
        << "Checking Report 2 of 2 remaining Reports.";
    QTest::newRow("correspondence") << "Timer2"
                                    << "Checking dates and deleting correspondence older then "
                                       "01-01-2025 12/31/2024. Please wait..."
                                    << "Checking Fax, Letter or E-Mail 3 of 3 remaining Faxes, "
                                       "Letters or E-Mails.";
    QTest::newRow("projects")
        << "Timer3"
        << "Checking dates and deleting projects older then 01-01-2025 5/6/2025. Please wait..."
        << "Checking Project 1 of 1 remaining Projects.";
    QTest::newRow("action steps") << "Timer4"
                                  << "Checking dates and deleting action steps older then "
                                     "01-01-2025 7/8/2025 10:30 AM. Please wait..."
                                  << "Checking Action Step 2 of 2 remaining Action Steps.";
}

void TestPurge::progressTextsOfEachTable() {
    QFETCH(QString, timer);
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01) VALUES (1, '2024-01-01'), "
                    "(1, '2025-01-02');"
                    "INSERT INTO TABLE09 (NUMBER01, DATE01) VALUES (1, '2025-03-04'), "
                    "(1, '2020-01-01'), (1, '2024-12-31');"
                    "INSERT INTO TABLE06 (NUMBER01, DATE01) VALUES (1, '2025-05-06');"
                    "INSERT INTO TABLE07 (NUMBER01, DATE01) VALUES (1, '1999-01-01'), "
                    "(1, '2025-07-08 10:30:00');");
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    QString progress, counted;
    m_session->expectMessage(finished());
    runPurge([&](const QString& running) {
        if (running != timer || !progress.isEmpty())
            return;
        fireTimer(form(), running); // a slice of the table
        progress = child<QLabel>("LabelDeleting")->text();
        counted = child<QLabel>("LabelSize")->text();
    });
    QTEST(progress, "progress");
    QTEST(counted, "count");
}

void TestPurge::closingStopsThePurgeWhereItIs() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01) VALUES (1, '2020-01-01');"
                    "INSERT INTO TABLE07 (NUMBER01, DATE01) VALUES (1, '2020-01-01');");
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    waitForWorker();
    fireTimer(form(), "Timer1"); // the call reports
    fireTimer(form(), "Timer1"); // done: on to the correspondence
    QCOMPARE(runningTimer(), QString("Timer2"));
    QVERIFY(form()->close());
    settle();
    QVERIFY(!form());
    QCOMPARE(count("TABLE08"), 0); // what was deleted stays deleted
    QCOMPARE(count("TABLE07"), 1);
}

// Closed while the worker walks a large table: the window waits for the
// slice under way, the worker's connection closes with no transaction open
// (another connection can write at once) and what was deleted stays.
void TestPurge::closingDuringATableLeavesNothingHalfDone() {
    m_session->exec("TESSALY.mdb",
                    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < "
                    "100000) INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01) SELECT 1, 'r' || i, "
                    "CASE WHEN i % 2 = 0 THEN '2020-01-01' ELSE '2026-01-01' END FROM n;"
                    "INSERT INTO TABLE07 (NUMBER01, DATE01) VALUES (1, '2020-01-01');");
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    QPointer<QThread> thread = form()->findChild<QThread*>(QStringLiteral("PurgeWorker"));
    QVERIFY(thread);
    auto* worker = static_cast<PurgeWorker*>(thread.data());
    // Some of the table is done, not all of it.
    QTRY_VERIFY(!thread || worker->progress().slices > 0);
    QVERIFY(thread && !worker->progress().finished);
    QVERIFY(form()->close());
    QVERIFY(!thread); // stopped and gone with the window
    settle();
    QVERIFY(!form());
    const int left = count("TABLE08");
    QVERIFY2(left >= 50000 && left < 100000, qPrintable(QString::number(left)));
    QCOMPARE(
        m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08 WHERE DATE01 = '2026-01-01'")
            .toInt(),
        50000);
    QCOMPARE(count("TABLE07"), 1);
    QString error;
    auto connection = SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error);
    QVERIFY2(connection, qPrintable(error));
    QVERIFY(!connection->inTransaction());
    QVERIFY2(connection->execute("BEGIN IMMEDIATE; DELETE FROM TABLE07; COMMIT", &error),
             qPrintable(error));
    QCOMPARE(count("TABLE07"), 0);
}

// The program's own connection, open before the purge, reads the result
// afterwards.
void TestPurge::programConnectionSeesThePurge() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01) VALUES (1, '2020-01-01'), "
                    "(1, '2026-01-01');"
                    "INSERT INTO TABLE07 (NUMBER01, DATE01) VALUES (1, '2020-01-01');");
    QString error;
    auto connection = SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error);
    QVERIFY2(connection, qPrintable(error));
    auto countOf = [&](const QString& table) {
        SqliteStatement rows = connection->prepare("SELECT COUNT(*) FROM " + table, &error);
        return rows.isValid() && rows.step() == SQLITE_ROW ? int(rows.intValue(0)) : -1;
    };
    QCOMPARE(countOf("TABLE08"), 2);
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    m_session->expectMessage(finished());
    runPurge();
    QVERIFY(!form());
    QCOMPARE(countOf("TABLE08"), 1);
    QCOMPARE(countOf("TABLE07"), 0);
}

// A table that cannot be read stops the purge with a message; the tables
// before it stay purged, those after it untouched, and the date can be
// entered again.
void TestPurge::tableThatCannotBeReadStopsThePurge() {
    m_session->exec("TESSALY.mdb",
                    "INSERT INTO TABLE08 (NUMBER01, DATE01) VALUES (1, '2020-01-01');"
                    "INSERT INTO TABLE07 (NUMBER01, DATE01) VALUES (1, '2020-01-01');"
                    "DROP TABLE TABLE06;");
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    m_session->expectMessage("The old records could not all be deleted: ");
    runPurge();
    QVERIFY(form());
    QVERIFY(!form()->isPurging());
    QVERIFY(MsgBox::last().text.contains("TABLE06"));
    QVERIFY(
        MsgBox::last().text.endsWith("\r\nWhat was deleted stays deleted; the rest is unchanged."));
    QCOMPARE(MsgBox::last().style & 0x70, int(MsgBox::Critical));
    QVERIFY(child<QPushButton>("CommandDelete")->isEnabled());
    QVERIFY(!form()->findChild<QThread*>(QStringLiteral("PurgeWorker")));
    QCOMPARE(count("TABLE08"), 0);
    QCOMPARE(count("TABLE07"), 1);
}

void TestPurge::searchIndexesFollowThePurge_data() {
    QTest::addColumn<int>("old");
    QTest::addColumn<int>("recent");
    QTest::newRow("a few, slice by slice") << 40 << 25;
    QTest::newRow("nearly all of many, made anew") << 10000 << 15;
}

// After the purge a search finds the kept documents and nothing of the
// deleted ones, with nothing left for the next search to catch up on.
void TestPurge::searchIndexesFollowThePurge() {
    QFETCH(int, old);
    QFETCH(int, recent);
    m_session->exec("TESSALY.mdb",
                    QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                   "WHERE i < %1) INSERT INTO TABLE08 (NUMBER01, TEXT01, DATE01, "
                                   "MEMO01) SELECT 1, 'Acme', CASE WHEN i <= %2 THEN '2020-01-01' "
                                   "ELSE '2026-01-01' END, 'Visit to the plant ' || i FROM n")
                        .arg(old + recent)
                        .arg(old));
    {
        QString error;
        auto connection = SqliteConnection::shared(m_session->file("TESSALY.mdb"), &error);
        QVERIFY2(connection && DocumentIndex::update(*connection, "TABLE08", &error),
                 qPrintable(error));
    }
    open();
    toTheDate();
    typeDate("01012025");
    click("CommandDelete");
    m_session->expectMessage(finished());
    runPurge();
    QCOMPARE(count("TABLE08"), recent);
    QCOMPARE(count("TABLE08_PLAIN"), recent);
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE08_TEXT WHERE "
                                         "TABLE08_TEXT MATCH '\"pla\" AND \"ant\"'")
                 .toInt(),
             recent);
    QCOMPARE(
        m_session
            ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TESS_PENDING WHERE TABLENAME = 'TABLE08'")
            .toInt(),
        0);
}

void TestPurge::storedDates_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QDate>("day");
    QTest::newRow("date") << "2025-06-14" << QDate(2025, 6, 14);
    QTest::newRow("date and time") << "2025-06-14 23:59:59" << QDate(2025, 6, 14);
    QTest::newRow("ISO with T") << "2025-06-14T08:00:00" << QDate(2025, 6, 14);
    QTest::newRow("blanks around") << " 2025-06-14 " << QDate(2025, 6, 14);
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("words") << "next week" << QDate();
    QTest::newRow("impossible day") << "2025-02-30" << QDate();
    QTest::newRow("trailing text") << "2025-06-14x" << QDate();
    QTest::newRow("user's form") << "6/14/2025" << QDate();
}

void TestPurge::storedDates() {
    QFETCH(QString, stored);
    QTEST(PurgeWalk::dayOf(stored), "day");
}

QTEST_MAIN(TestPurge)
#include "tst_purge.moc"
