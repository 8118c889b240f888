// The companies window over 100,000 companies: the time from the main
// menu's "1. Companies" to the window shown on its first company with the
// selector filled, against the plain sqlite3 query of the same rows in the
// same run; then the selector's type-ahead (typing a name and Enter), and
// the overdue-visits walk over 10,000 overdue companies.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_companies [--rows=N]
//       [--overdue=N] [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-companies and
// reused.

#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "companies/FormOverdue.h"
#include "companies/ModuleLogin.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DBCombo.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int rows = 100000;
int overdueRows = 10000;
QString folder;
const char* const ActiveQuery = "SELECT * FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01";

QString databasePath() {
    return BenchFolder::database(folder);
}

using BenchFolder::exec;

QString companyName(int i) {
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    return QString("%1 %2 Supply %3")
        .arg(words[i % 10], words[(i / 10) % 10])
        .arg(i, 6, 10, QChar('0'));
}

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT COUNT(*) FROM TABLE01") == QList<int>{rows};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (TEXT01, TEXT06, TEXT08, TEXT10, TEXT18, TEXT20, "
                       "DATE01, DATE03, NUMBER01, NUMBER02, MEMO01) VALUES (?, ?, ?, ?, ?, ?, ?, "
                       "?, ?, 0, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(7);
    for (int i = 0; i < rows; ++i) {
        const QByteArray name = companyName(i).toUtf8();
        const QByteArray street = QByteArray::number(random.bounded(9999)) + " Main Street";
        const QByteArray person = "Sales Person " + QByteArray::number(i % 50);
        const QByteArray visited =
            QDate(2026, 1, 1).addDays(random.bounded(340)).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, street.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, "Springfield", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, "(555) 010-0000", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 5, person.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 6, i % 20 == 19 ? "Archive" : "Company", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 7, visited.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 8, "2020-01-01", -1, SQLITE_STATIC);
        sqlite3_bind_int(insert, 9, 30);
        sqlite3_bind_text(insert, 10, "Met the buyer; sample order expected next quarter.", -1,
                          SQLITE_STATIC);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

int activeCount() {
    return rows - rows / 20;
}

void PlainActiveQuery(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db, ActiveQuery, -1, &query, nullptr);
        QStringList names;
        while (sqlite3_step(query) == SQLITE_ROW)
            names.append(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 1)),
                                  sqlite3_column_bytes(query, 1)));
        sqlite3_finalize(query);
        sqlite3_close(db);
        benchmark::DoNotOptimize(names);
        if (names.size() != activeCount())
            state.SkipWithError("wrong row count");
    }
}

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    SqliteConnection::closeShared(databasePath());
    SqliteConnection::closeShared(QDir(folder).filePath("User.mdb"));
}

void OpenActiveView(benchmark::State& state) {
    for (auto _ : state) {
        ModuleLogin::OpenActiveCompanies();
        auto* form = Forms::get<FormCompanies>();
        if (!QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        if (form->selector()->count() != activeCount() || form->companyName().isEmpty()) {
            state.SkipWithError(qPrintable(QString("the view is not complete: %1 listed, on '%2'")
                                               .arg(form->selector()->count())
                                               .arg(form->companyName())));
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}

void SelectorTypeAhead(benchmark::State& state) {
    ModuleLogin::OpenActiveCompanies();
    auto* form = Forms::get<FormCompanies>();
    QLineEdit* typed = form->selector()->lineEdit();
    int i = 0;
    for (auto _ : state) {
        const QString target = companyName((rows / 3 + i++ * 7919) % rows / 20 * 20);
        typed->selectAll();
        QTest::keyClicks(typed, target.left(target.size() - 2));
        QTest::keyClick(typed, Qt::Key_Return);
        if (form->companyName() != target) {
            state.SkipWithError(qPrintable("did not reach " + target));
            break;
        }
    }
    closeWindows();
}

void OverdueWalk(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3* db = nullptr;
        sqlite3_open(databasePath().toUtf8().constData(), &db);
        exec(db, "UPDATE TABLE01 SET NUMBER02 = 0");
        exec(db, qPrintable(QString("UPDATE TABLE01 SET NUMBER02 = 5 WHERE AUTONUMBER IN (SELECT "
                                    "AUTONUMBER FROM TABLE01 WHERE TEXT20 = 'Company' LIMIT %1)")
                                .arg(overdueRows)));
        sqlite3_close(db);
        state.ResumeTiming();
        auto* window = qobject_cast<FormOverdue*>(Forms::show("FormOverdue"));
        if (!QTest::qWaitFor([window] { return !window->isComputing(); }, 600000)) {
            state.SkipWithError("the walk did not finish");
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
    state.counters["companies"] = overdueRows;
}

} // namespace

BENCHMARK(PlainActiveQuery)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(OpenActiveView)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(SelectorTypeAhead)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OverdueWalk)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args =
        BenchFolder::options(argc, argv, {{"--rows=", &rows}, {"--overdue=", &overdueRows}});
    folder = BenchFolder::path("tessaly-bench-companies");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // a message would stop the run; none is expected
    makeFolder();
    QDir::setCurrent(folder); // the windows name their databases relative to it
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (const double ratio = reporter.ratio("OpenActiveView", "PlainActiveQuery"))
        printf("\nOpen active view / plain query: %.2fx (%d companies, %d active)\n", ratio, rows,
               activeCount());
    for (const MsgBox::Shown& shown : MsgBox::shown())
        printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
