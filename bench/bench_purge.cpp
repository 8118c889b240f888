// The purge of old records through the purge window, over 250,000 documents
// (150,000 call reports and 100,000 pieces of correspondence, with their
// search indexes) and 2,000 projects with 20,000 action steps, every one of
// them older than the cut-off day:
//   (a) the whole purge, from Delete to the closing message, with the event
//       loop running as it does for the user; a heartbeat timer every
//       millisecond measures the longest time the loop was kept from it;
//   (b) the same rows deleted by plain sqlite3 statements, one per table, in
//       one transaction (no progress, no search indexes brought up to date).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_purge [--reports=N]
//       [--letters=N] [--projects=N] [--steps=N] [benchmark options]
//
// The database is made once in $TMPDIR/tessaly-bench-purge as Master.mdb and
// copied to TESSALY.mdb before each run.

#include "app/Forms.h"
#include "data/DocumentIndex.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "formats/DocumentTexts.h"
#include "maintenance/FormDelete.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int reports = 150000;
int letters = 100000;
int projects = 2000;
int steps = 20000;
QString folder;

QString master() {
    return QDir(folder).filePath("Master.mdb");
}

using BenchFolder::exec;

bool masterReady() {
    if (!QFile::exists(master()))
        return false;
    sqlite3* db = nullptr;
    sqlite3_open(master().toUtf8().constData(), &db);
    sqlite3_stmt* statement = nullptr;
    QList<int> numbers;
    if (sqlite3_prepare_v2(db,
                           "SELECT (SELECT COUNT(*) FROM TABLE08), (SELECT COUNT(*) FROM TABLE09), "
                           "(SELECT COUNT(*) FROM TABLE06), (SELECT COUNT(*) FROM TABLE07), "
                           "(SELECT COUNT(*) FROM TESS_PENDING)",
                           -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        for (int i = 0; i < 5; ++i)
            numbers.append(sqlite3_column_int(statement, i));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return numbers == QList<int>{reports, letters, projects, steps, 0};
}

void insertDocuments(sqlite3* db, const char* sql, int count, QRandomGenerator& random) {
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &insert, nullptr);
    for (int i = 0; i < count; ++i) {
        const QByteArray date =
            QDate(2015, 1, 1).addDays(random.bounded(3600)).toString(Qt::ISODate).toUtf8();
        const QByteArray memo =
            QString("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Visit %1 to the "
                    "plant in Leeds.\\par Discussed the offer for the new line, samples of the "
                    "coatings and the delivery dates with the buyer and the works manager. "
                    "\\b Next step:\\b0  send the revised prices before the end of the month "
                    "and plan a visit with the engineer.\\par}")
                .arg(i)
                .toUtf8();
        sqlite3_bind_int(insert, 1, 1 + i % 500);
        sqlite3_bind_text(insert, 2, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, memo.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

void makeMaster() {
    if (masterReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    QRandomGenerator random(7);
    exec(db, "BEGIN");
    exec(db, "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
             "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT20) SELECT i, 'Company ' || i, "
             "'Company' FROM n");
    insertDocuments(db,
                    "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES (?1, "
                    "'Company ' || ?1, 'Meeting', ?2, ?3)",
                    reports, random);
    insertDocuments(db,
                    "INSERT INTO TABLE09 (NUMBER01, TEXT01, TEXT07, DATE01, MEMO01) VALUES (?1, "
                    "'Company ' || ?1, 'Letter', ?2, ?3)",
                    letters, random);
    exec(db, QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i "
                        "< " +
                        QByteArray::number(projects) +
                        ") INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT02, TEXT03, DATE01) "
                        "SELECT i, 1 + i % 500, 'Project ' || i, 'Active Project', "
                        "date('2015-01-01', '+' || (i % 3600) || ' days') FROM n")
                 .constData());
    exec(db, QByteArray("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i "
                        "< " +
                        QByteArray::number(steps) +
                        ") INSERT INTO TABLE07 (NUMBER01, NUMBER02, DATE01, MEMO01) SELECT 1 + i "
                        "% " +
                        QByteArray::number(projects) +
                        ", 1, date('2015-01-01', '+' || (i % 3600) || ' days'), 'Called the "
                        "buyer about the offer.' FROM n")
                 .constData());
    exec(db, "COMMIT");
    sqlite3_close(db);
    // The search indexes whole, as the program keeps them.
    QString error;
    auto connection = SqliteConnection::shared(BenchFolder::database(folder), &error);
    for (const QString& table : DocumentIndex::tables())
        if (!connection || !DocumentIndex::update(*connection, table, &error))
            qFatal("%s", qPrintable(error));
    connection.reset();
    SqliteConnection::closeShared(BenchFolder::database(folder));
    QFile::remove(master());
    if (!QFile::rename(BenchFolder::database(folder), master()))
        qFatal("cannot keep %s", qPrintable(master()));
}

void freshDatabase() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QString database = BenchFolder::database(folder);
    SqliteConnection::closeShared(database);
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(database + suffix);
    if (!QFile::copy(master(), database))
        qFatal("cannot copy %s", qPrintable(master()));
}

int remaining() {
    return BenchFolder::counts(folder, "SELECT (SELECT COUNT(*) FROM TABLE08) + (SELECT COUNT(*) "
                                       "FROM TABLE09) + (SELECT COUNT(*) FROM TABLE06) + (SELECT "
                                       "COUNT(*) FROM TABLE07)")
        .value(0, -1);
}

double longestStall = 0;

void PlainDelete(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        freshDatabase();
        state.ResumeTiming();
        sqlite3* db = BenchFolder::open(folder);
        exec(db, "BEGIN");
        for (const char* table : {"TABLE08", "TABLE09", "TABLE06", "TABLE07"})
            exec(db, QByteArray("DELETE FROM ") + table + " WHERE DATE01 < '2025-01-01'");
        exec(db, "COMMIT");
        sqlite3_close(db);
        state.PauseTiming();
        if (remaining() != 0)
            state.SkipWithError("rows are left");
        state.ResumeTiming();
    }
}

void PurgeWindow(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        freshDatabase();
        QPointer<FormDelete> form = qobject_cast<FormDelete*>(Forms::show(FormDelete::Name));
        form->CommandYes_Click(); // the backup question is answered No
        form->findChild<QLineEdit*>("MaskEdBoxDate")->setText("01-01-2025");
        QElapsedTimer beat;
        qint64 longest = 0;
        QTimer heartbeat;
        heartbeat.setTimerType(Qt::PreciseTimer);
        heartbeat.setInterval(1);
        QObject::connect(&heartbeat, &QTimer::timeout, [&] {
            longest = std::max(longest, beat.nsecsElapsed());
            beat.restart();
        });
        QEventLoop loop;
        QTimer done;
        done.setInterval(5);
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (!form || !form->isPurging())
                loop.quit();
        });
        state.ResumeTiming();
        form->CommandDelete_Click();
        beat.start();
        heartbeat.start();
        done.start();
        loop.exec();
        state.PauseTiming();
        heartbeat.stop();
        longestStall = std::max(longestStall, double(longest) / 1e6);
        state.counters["longest_stall_ms"] = double(longest) / 1e6;
        if (remaining() != 0)
            state.SkipWithError("rows are left");
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(PlainDelete)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(PurgeWindow)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args = BenchFolder::options(argc, argv,
                                                   {{"--reports=", &reports},
                                                    {"--letters=", &letters},
                                                    {"--projects=", &projects},
                                                    {"--steps=", &steps}});
    folder = BenchFolder::path("tessaly-bench-purge");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook();
    // The backup question is answered No, the closing message OK.
    MsgBox::setAnswerer([](const MsgBox::Shown& shown) {
        return (shown.style & 7) == MsgBox::YesNo ? MsgBox::No : MsgBox::OK;
    });
    DataMessages::install();
    DocumentTexts::install();
    makeMaster();
    QDir::setCurrent(folder);
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n%d documents (%d call reports, %d letters), %d projects, %d action steps\n",
           reports + letters, reports, letters, projects, steps);
    if (reporter.ratio("PurgeWindow", "PlainDelete") > 0)
        printf("Purge through the window: %.1f s; plain sqlite3 deletes: %.1f s; window / plain "
               "%.1f; longest event-loop stall %.1f ms\n",
               reporter.seconds("PurgeWindow"), reporter.seconds("PlainDelete"),
               reporter.ratio("PurgeWindow", "PlainDelete"), longestStall);
    for (const MsgBox::Shown& shown : MsgBox::shown())
        if ((shown.style & 7) != MsgBox::YesNo)
            printf("message shown: %s\n", qPrintable(shown.text.simplified()));
    printf("peak memory: %ld MB\n", BenchFolder::peakMegabytes());
    benchmark::Shutdown();
    return 0;
}
