// Replacing a sales person across 100,000 companies (one in fifty is his),
// as the master tables' Find & Replace does it, against the plain sqlite3
// UPDATE of the same rows in the same run.
//
//   build/bench/bench_replace [--rows=N] [benchmark options]
//
// The program folder is made in $TMPDIR/tessaly-bench-replace on each run.

#include "setup/FormFindandReplace.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int rows = 100000;
QString folder;

void makeFolder() {
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    BenchFolder::exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (TEXT01, TEXT18, TEXT19, TEXT20) VALUES (?, ?, "
                       "'Manager', ?)",
                       -1, &insert, nullptr);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = "Company " + QByteArray::number(i);
        const QByteArray person = "Sales Person " + QByteArray::number(i % 50);
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, person.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, i % 10 ? "Company" : "Archive", -1, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE)
            qFatal("insert: %s", sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    BenchFolder::exec(db, "COMMIT");
    sqlite3_close(db);
}

// Back and forth, so that every iteration changes the same rows.
void ReplaceSalesPerson(benchmark::State& state) {
    bool forth = true;
    int changed = 0;
    for (auto _ : state) {
        QString error;
        changed = FormFindandReplace::replaceInCompanies(
            QStringLiteral("SP"), forth ? QStringLiteral("Sales Person 7") : QStringLiteral("Zed"),
            forth ? QStringLiteral("Zed") : QStringLiteral("Sales Person 7"), &error);
        if (changed < 0) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        forth = !forth;
    }
    state.counters["companies_changed"] = changed;
}

void PlainUpdate(benchmark::State& state) {
    sqlite3* db = BenchFolder::open(folder);
    BenchFolder::exec(db, "PRAGMA journal_mode=WAL");
    BenchFolder::exec(db, "PRAGMA synchronous=FULL");
    bool forth = true;
    for (auto _ : state) {
        BenchFolder::exec(
            db, forth ? "UPDATE TABLE01 SET TEXT18 = 'Zed' WHERE TEXT18 = 'Sales Person 7'"
                      : "UPDATE TABLE01 SET TEXT18 = 'Sales Person 7' WHERE TEXT18 = 'Zed'");
        forth = !forth;
    }
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ReplaceSalesPerson)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(PlainUpdate)->Unit(benchmark::kMillisecond)->Iterations(4);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--rows=", &rows}});
    folder = BenchFolder::path("tessaly-bench-replace");
    qputenv("TESSALY_HOME", folder.toUtf8());
    makeFolder();
    QDir::setCurrent(folder); // the replace names its database relative to it
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("replace / plain update: %.2fx (%.0f ms against %.0f ms)\n",
                reporter.ratio("ReplaceSalesPerson", "PlainUpdate"),
                reporter.seconds("ReplaceSalesPerson") * 1000,
                reporter.seconds("PlainUpdate") * 1000);
    benchmark::Shutdown();
    return 0;
}
