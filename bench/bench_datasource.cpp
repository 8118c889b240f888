// Walks 250,000 call reports with 4 KB memos through a DataSource (Refresh,
// MoveLast, MoveFirst, then MoveNext to the end, reading every field) and
// through a plain sqlite3 loop over the same keys and values, and prints the
// ratio of the two and the peak memory the refresh added.
//
//   build/bench/bench_datasource [--rows=N] [benchmark options]
//
// The database is made once in $TMPDIR/tessaly-bench and reused.

#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "platform/Locale.h"

#include "RatioReporter.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int rows = 250000;
QString folder;

QString databasePath() {
    return QDir(folder).filePath("TESSALY.mdb");
}

long statusKilobytes(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(strlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

void resetPeakMemory() {
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void makeDatabase() {
    QDir().mkpath(folder);
    if (QFile::exists(databasePath())) {
        sqlite3* db = nullptr;
        sqlite3_open(databasePath().toUtf8().constData(), &db);
        sqlite3_stmt* count = nullptr;
        sqlite3_prepare_v2(db, "SELECT COUNT(*) FROM TABLE08", -1, &count, nullptr);
        const bool ready =
            sqlite3_step(count) == SQLITE_ROW && sqlite3_column_int(count, 0) == rows;
        sqlite3_finalize(count);
        sqlite3_close(db);
        if (ready)
            return;
        SqliteConnection::closeShared(databasePath());
        QFile::remove(databasePath());
    }
    QString error;
    if (!Installation::createDatabase(databasePath(), Installation::Kind::Main, &error))
        qFatal("%s", qPrintable(error));
    sqlite3* db = nullptr;
    sqlite3_open(databasePath().toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES "
                       "(?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(42);
    QByteArray memo(4096, 'x');
    for (int i = 0; i < rows; ++i) {
        for (char& c : memo)
            c = char('a' + random.bounded(26));
        const QByteArray company = QByteArray("Company ") + QByteArray::number(i % 5000);
        const QByteArray date =
            QDate(2000, 1, 1).addDays(random.bounded(9000)).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_int(insert, 1, i % 5000);
        sqlite3_bind_text(insert, 2, company.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, "Ann Smith", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, memo.constData(), int(memo.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void PlainSqliteLoop(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT ROWKEY, NUMBER01, TEXT01, TEXT03, DATE01, MEMO01 FROM TABLE08 "
                           "ORDER BY DATE01 DESC",
                           -1, &query, nullptr);
        qint64 bytes = 0, count = 0;
        while (sqlite3_step(query) == SQLITE_ROW) {
            bytes += sqlite3_column_int64(query, 0) + sqlite3_column_int64(query, 1);
            for (int c = 2; c <= 5; ++c)
                bytes +=
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, c)),
                                      sqlite3_column_bytes(query, c))
                        .size();
            ++count;
        }
        sqlite3_finalize(query);
        sqlite3_close(db);
        benchmark::DoNotOptimize(bytes);
        if (count != rows)
            state.SkipWithError("wrong row count");
    }
}

void DataSourceWalk(benchmark::State& state) {
    long refreshPeak = 0, refreshMapped = 0;
    for (auto _ : state) {
        DataSource data("DataTABLE08", nullptr);
        data.setDatabaseName(databasePath());
        data.setRecordSource("SELECT * FROM TABLE08 ORDER BY DATE01 DESC");
        const long before = statusKilobytes("VmRSS:");
        const long mappedBefore = statusKilobytes("RssFile:");
        resetPeakMemory();
        if (!data.refresh()) {
            state.SkipWithError(qPrintable(data.lastError()));
            break;
        }
        refreshPeak = std::max(refreshPeak, statusKilobytes("VmHWM:") - before);
        refreshMapped = std::max(refreshMapped, statusKilobytes("RssFile:") - mappedBefore);
        Recordset* rs = data.recordset();
        rs->moveLast();
        rs->moveFirst();
        const QStringList names = data.fieldNames();
        qint64 bytes = 0, count = 0;
        for (; !rs->eof(); rs->moveNext()) {
            for (const QString& name : names)
                bytes += rs->field(name).toString().size();
            ++count;
        }
        benchmark::DoNotOptimize(bytes);
        if (count != rows)
            state.SkipWithError("wrong row count");
        SqliteConnection::closeShared(databasePath());
    }
    // The peak includes the pages of the file the refresh read through the
    // connection's memory map (refresh_mapped_MB): the system's file cache,
    // shared and given back under pressure, not memory the program holds.
    state.counters["refresh_peak_MB"] = double(refreshPeak) / 1024.0;
    state.counters["refresh_mapped_MB"] = double(refreshMapped) / 1024.0;
}

} // namespace

BENCHMARK(PlainSqliteLoop)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DataSourceWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--rows="))
            rows = arg.mid(7).toInt();
        else
            args.push_back(argv[i]);
    }
    int count = int(args.size());
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    folder = QDir::temp().filePath("tessaly-bench");
    makeDatabase();
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (const double ratio = reporter.ratio("DataSourceWalk", "PlainSqliteLoop"))
        printf("\nDataSource walk / plain sqlite3 loop: %.2fx (%d rows)\n", ratio, rows);
    benchmark::Shutdown();
    return 0;
}
