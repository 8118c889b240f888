// Synchronising a replica with the server copy when 10,000 rows changed on
// each side: the replica's changes (made by the program, in 100 action
// queries of 100 rows) go to the server and another replica's 10,000 come
// back, against plain sqlite3 UPDATEs of the same rows in both files in the
// same run.
//
//   build/bench/bench_replication [--rows=N] [benchmark options]
//
// The folders are made in $TMPDIR/tessaly-bench-replication on each run.

#include "data/Database.h"
#include "data/Replication.h"
#include "data/SqliteConnection.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int rows = 10000;
QString folder;

QString server() {
    return QDir(folder).filePath("Server/TESSALY.mdb");
}
QString replica(const char* name) {
    return QDir(folder).filePath(QStringLiteral("%1/TESSALY.mdb").arg(QLatin1String(name)));
}

// A server copy of 2 x rows companies and two fresh replicas of it.
void makeSet() {
    BenchFolder::install(folder);
    for (const char* sub : {"Server", "A", "B"})
        QDir(folder).mkpath(QLatin1String(sub));
    QFile::remove(server());
    QFile::copy(BenchFolder::database(folder), server());
    sqlite3* db = nullptr;
    sqlite3_open(server().toUtf8().constData(), &db);
    BenchFolder::exec(db, "BEGIN");
    const QByteArray insert = QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT "
                                             "i + 1 FROM n WHERE i < %1) INSERT INTO TABLE01 "
                                             "(AUTONUMBER, TEXT01, TEXT08, TEXT20) SELECT i, "
                                             "'Company ' || i, 'Leeds', 'Company' FROM n")
                                  .arg(2 * rows)
                                  .toUtf8();
    BenchFolder::exec(db, insert.constData());
    BenchFolder::exec(db, "COMMIT");
    sqlite3_close(db);
    for (const QString& path : {server()})
        if (!Replication::makeReplicable(path).ok)
            qFatal("the server copy cannot be made replicable");
    for (const char* name : {"A", "B"}) {
        const auto made = Replication::copyReplica(server(), replica(name), "bench");
        if (!made.ok)
            qFatal("%s", qPrintable(made.error));
    }
}

// Changes `count` companies from `first` on, 100 to an action query.
void change(const QString& path, int first, int count, const char* city) {
    Database database;
    QString error;
    if (!database.open(path, &error))
        qFatal("%s", qPrintable(error));
    for (int from = first; from < first + count; from += 100)
        if (!database.execute(QStringLiteral("UPDATE TABLE01 SET TEXT08 = '%1' WHERE AUTONUMBER "
                                             "BETWEEN %2 AND %3")
                                  .arg(QLatin1String(city))
                                  .arg(from)
                                  .arg(from + 99),
                              &error))
            qFatal("%s", qPrintable(error));
}

void Synchronize(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        makeSet();
        change(replica("B"), rows + 1, rows, "York");
        if (!Replication::synchronize(replica("B"), server()).ok)
            qFatal("B cannot synchronize");
        change(replica("A"), 1, rows, "Hull");
        state.ResumeTiming();
        const auto outcome = Replication::synchronize(replica("A"), server());
        if (!outcome.ok || outcome.pushed != rows || outcome.pulled != rows)
            qFatal("A: %s (%d pushed, %d pulled)", qPrintable(outcome.error), outcome.pushed,
                   outcome.pulled);
    }
}

void PlainUpdates(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        makeSet();
        state.ResumeTiming();
        for (const QString& path : {server(), replica("A")}) {
            sqlite3* db = nullptr;
            sqlite3_open(path.toUtf8().constData(), &db);
            BenchFolder::exec(db, "BEGIN IMMEDIATE");
            const QByteArray update = QStringLiteral("UPDATE TABLE01 SET TEXT08 = 'Hull' WHERE "
                                                     "AUTONUMBER BETWEEN 1 AND %1")
                                          .arg(2 * rows)
                                          .toUtf8();
            BenchFolder::exec(db, update.constData());
            BenchFolder::exec(db, "COMMIT");
            sqlite3_close(db);
        }
    }
}

BENCHMARK(Synchronize)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PlainUpdates)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--rows=", &rows}});
    folder = BenchFolder::path("tessaly-bench-replication");
    qputenv("TESSALY_HOME", folder.toUtf8());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("synchronize %d rows each way / plain updates: %.2fx (%.0f ms against %.0f ms)\n",
                rows, reporter.ratio("Synchronize", "PlainUpdates"),
                reporter.seconds("Synchronize") * 1000, reporter.seconds("PlainUpdates") * 1000);
    benchmark::Shutdown();
    QDir(folder).removeRecursively();
    return 0;
}
