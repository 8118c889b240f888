// The price list over 10,000 products:
//   (a) the price-format walk that follows an import, on its 10 ms timer,
//       until every price is written with two decimals, against one plain
//       sqlite3 UPDATE of the same prices;
//   (b) deleting all records through the delete window, on its 10 ms timer,
//       against one plain sqlite3 DELETE;
// each in the same run, with the times and ratios printed at the end. The
// walks' times are wall-clock times with the event loop running, as the
// user waits for them.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_pricelist [--products=N]
//       [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-pricelist and
// its price list filled again before each run.

#include "activities/FormPriceList.h"
#include "activities/FormPriceListDelete.h"
#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "formats/WorkbookSheets.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QPushButton>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int products = 10000;
QString folder;

using BenchFolder::exec;

// The price list with every price as an import leaves it: not yet written
// with two decimals.
void fillPriceList() {
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    exec(db, "DELETE FROM TABLE13");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE13 (TEXT01, TEXT02, TEXT03, MEMO01) VALUES (?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (int i = 0; i < products; ++i) {
        const QByteArray name = QString("Product %1").arg(i, 6, 10, QChar('0')).toUtf8();
        const QByteArray price =
            i % 50 == 0 ? QByteArray("on request") : QByteArray::number(1 + (i % 997) / 4.0);
        const QByteArray notes =
            QString("Size %1, packed by %2").arg(i % 12).arg(1 + i % 24).toUtf8();
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, price.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, i % 3 ? "EUR" : "USD", -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, notes.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

int scalar(const char* sql) {
    const QList<int> numbers = BenchFolder::counts(folder, sql);
    return numbers.isEmpty() ? -1 : numbers.first();
}

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    SqliteConnection::closeShared(BenchFolder::database(folder));
    SqliteConnection::closeShared(QDir(folder).filePath("User.mdb"));
}

void plainStatement(benchmark::State& state, const char* sql) {
    for (auto _ : state) {
        state.PauseTiming();
        fillPriceList();
        state.ResumeTiming();
        sqlite3* db = BenchFolder::open(folder);
        exec(db, sql);
        sqlite3_close(db);
    }
}

void PlainPriceUpdate(benchmark::State& state) {
    plainStatement(state, "UPDATE TABLE13 SET TEXT02 = printf('%.2f', TEXT02) WHERE TEXT02 "
                          "GLOB '[0-9]*'");
}

void PlainDeleteAll(benchmark::State& state) {
    plainStatement(state, "DELETE FROM TABLE13");
}

FormPriceList* openPriceList() {
    auto* form = qobject_cast<FormPriceList*>(Forms::show(FormPriceList::Name));
    if (!form)
        qFatal("the price list was not shown");
    return form;
}

// Imports the (empty) Prices.xlsx; the window shown again formats every price.
void PriceFormatWalk(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        fillPriceList();
        FormPriceList* form = openPriceList();
        state.ResumeTiming();
        MsgBox::answerNext(MsgBox::Yes);
        form->findChild<QPushButton*>("CommandImport")->click();
        form = qobject_cast<FormPriceList*>(Forms::loaded(FormPriceList::Name));
        while (form && form->isWalking())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        const int left = scalar("SELECT COUNT(*) FROM TABLE13 WHERE TEXT02 NOT LIKE '%.__' AND "
                                "TEXT02 <> 'on request'");
        closeWindows();
        state.ResumeTiming();
        if (!form || left != 0) {
            state.SkipWithError(qPrintable(QString("%1 prices not formatted").arg(left)));
            break;
        }
    }
    state.counters["products"] = products;
}

void DeleteAllWalk(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        fillPriceList();
        openPriceList()->findChild<QPushButton*>("CommandDelete")->click();
        auto* ask = qobject_cast<FormPriceListDelete*>(Forms::loaded(FormPriceListDelete::Name));
        state.ResumeTiming();
        MsgBox::answerNext(MsgBox::Yes);
        ask->findChild<QPushButton*>("CommandAll")->click();
        while (ask->isDeleting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        const int left = scalar("SELECT COUNT(*) FROM TABLE13");
        closeWindows();
        state.ResumeTiming();
        if (left != 0) {
            state.SkipWithError(qPrintable(QString("%1 records left").arg(left)));
            break;
        }
    }
    state.counters["products"] = products;
}

} // namespace

BENCHMARK(PlainPriceUpdate)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(PriceFormatWalk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PlainDeleteAll)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(DeleteAllWalk)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--products=", &products}});
    folder = BenchFolder::path("tessaly-bench-pricelist");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // only the questions answered above are expected
    DataMessages::install();
    WorkbookSheets::install();
    if (BenchFolder::counts(folder, "SELECT COUNT(*) FROM TABLE02").isEmpty())
        BenchFolder::install(folder);
    QString error;
    if (!Installation::run(folder, &error)) // brings a file of an earlier version up to date
        qFatal("%s", qPrintable(error));
    QDir::setCurrent(folder); // the windows name their databases relative to it
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n%d products on the price list\n", products);
    auto report = [&](const char* what, const char* window, const char* plain) {
        if (reporter.ratio(window, plain) > 0)
            printf("%s: %.1f ms; the plain sqlite3 statement: %.1f ms; window / plain %.1f\n", what,
                   1000 * reporter.seconds(window), 1000 * reporter.seconds(plain),
                   reporter.ratio(window, plain));
    };
    report("Price-format walk after an import", "PriceFormatWalk", "PlainPriceUpdate");
    report("Deleting all records", "DeleteAllWalk", "PlainDeleteAll");
    for (const MsgBox::Shown& shown : MsgBox::shown())
        if (!(shown.style & MsgBox::YesNo))
            printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
