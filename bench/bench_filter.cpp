// The call report filter over 250,000 call reports of a few KB of RTF each,
// spread over 5,000 companies and twelve sales persons: one month and one
// sales person, from the click on Filter to the all-call-reports window
// shown on the newest report, against the plain sqlite3 query of the same
// rows (the same WHERE, every column of every row read), in the same run,
// with milliseconds and the ratio printed at the end. Twice: with the
// program's connection to the database open throughout, as it is while the
// reports window that opens the filter is open, and with each run on a
// connection opened for it (the first touch of the file's memory map).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_filter [--reports=N]
//       [--companies=N] [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-filter and
// reused.

#include "activities/FormAllCallReports.h"
#include "activities/FormFilter.h"
#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/Recordset.h"
#include "data/SqliteConnection.h"
#include "formats/DocumentTexts.h"
#include "formats/WorkbookSheets.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"
#include "widgets/RichTextBox.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int reports = 250000;
int companies = 5000;
constexpr int SalesPersons = 12;
QString folder;
// The month and the sales person filtered.
const QDate First(2024, 3, 1);
const QDate Last(2024, 3, 31);
const char* const Chosen = "Sales Person 07";

QString databasePath() {
    return BenchFolder::database(folder);
}

using BenchFolder::exec;

QByteArray salesPerson(int company) {
    return QByteArray("Sales Person ") +
           QByteArray::number(1 + company % SalesPersons).rightJustified(2, '0');
}

QByteArray companyName(int i) {
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    return QString("%1 %2 Supply %3")
        .arg(words[i % 10], words[(i / 10) % 10])
        .arg(i, 5, 10, QChar('0'))
        .toUtf8();
}

// A report of a few KB as the editor stores it.
QByteArray reportRtf(int i, QRandomGenerator& random) {
    static const char* const sentences[] = {
        "Met the purchasing manager and walked through the current order book.",
        "The new product line was presented; samples are to follow next week.",
        "Delivery times remain a concern, especially for the larger pumps.",
        "Competitor visits were mentioned twice, mostly about service contracts.",
        "Agreed to send the revised price list and a quotation for the spares.",
        "The plant extension is planned for the spring, budget not yet approved.",
    };
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                     "\\pard\\f0\\fs20\\b Call report " +
                     QByteArray::number(i) + "\\b0\\par ";
    while (rtf.size() < 2600) {
        rtf += "\\pard\\fs20 ";
        for (int s = 0; s < 4; ++s) {
            rtf += sentences[random.bounded(6)];
            rtf += ' ';
        }
        rtf += "\\par ";
    }
    return rtf + "}";
}

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT (SELECT COUNT(*) FROM TABLE08), (SELECT COUNT(*) "
                                       "FROM TABLE01), (SELECT COUNT(*) FROM MT12)") ==
           QList<int>{reports, companies, SalesPersons};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO MT12 (TEXT01) VALUES (?)", -1, &insert, nullptr);
    for (int i = 0; i < SalesPersons; ++i) {
        const QByteArray name = salesPerson(i);
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES (?, ?, ?, "
                       "'Company')",
                       -1, &insert, nullptr);
    for (int i = 1; i <= companies; ++i) {
        const QByteArray name = companyName(i), person = salesPerson(i);
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, person.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES "
                       "(?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(11);
    for (int i = 0; i < reports; ++i) {
        const int key = 1 + int(random.bounded(companies));
        const QByteArray name = companyName(key), person = salesPerson(key);
        // Written during the working day, as the editor stores the moment.
        const QDateTime written(QDate(2016, 1, 1).addDays(random.bounded(3650)),
                                QTime(7, 0).addSecs(int(random.bounded(12 * 3600))));
        const QByteArray date = written.toString("yyyy-MM-dd HH:mm:ss").toUtf8();
        const QByteArray memo = reportRtf(i, random);
        sqlite3_bind_int(insert, 1, key);
        sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, person.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, memo.constData(), int(memo.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

int expectedReports = -1;

QByteArray plainSql() {
    return "SELECT * FROM TABLE08 WHERE DATE01 >= '" + First.toString(Qt::ISODate).toUtf8() +
           "' AND DATE01 < '" + Last.addDays(1).toString(Qt::ISODate).toUtf8() +
           "' AND TEXT01 LIKE '%' AND TEXT03 LIKE '" + Chosen + "' ORDER BY DATE01 DESC";
}

// The same rows with sqlite3 alone, every column of every row read, as a
// window that shows them would: the month's days whole, any company name,
// the one sales person.
int plainQuery(sqlite3* db) {
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, plainSql().constData(), -1, &query, nullptr) != SQLITE_OK)
        qFatal("%s: %s", plainSql().constData(), sqlite3_errmsg(db));
    int rows = 0;
    qint64 bytes = 0;
    while (sqlite3_step(query) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(query); ++c)
            bytes += sqlite3_column_bytes(query, c);
        ++rows;
    }
    sqlite3_finalize(query);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

sqlite3* openPlain() {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    return db;
}

// On a connection that stays open, as the program's does while its
// windows are open.
void PlainFilter(benchmark::State& state) {
    sqlite3* db = openPlain();
    for (auto _ : state)
        expectedReports = plainQuery(db);
    sqlite3_close(db);
    state.counters["reports"] = expectedReports;
}

// On a connection of its own, opened for the query.
void PlainFilterNewConnection(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* db = openPlain();
        expectedReports = plainQuery(db);
        sqlite3_close(db);
    }
    state.counters["reports"] = expectedReports;
}

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// From the click on Filter to the browser shown on the newest report; the
// filter window is open with its boxes filled before the clock starts.
// `keepConnection`: the program's connection to the database stays open
// between the runs (the reports window that opens the filter holds it);
// otherwise each run starts on a connection the filter window opened.
void filterCallReports(benchmark::State& state, bool keepConnection) {
    QString error;
    std::shared_ptr<SqliteConnection> kept;
    if (keepConnection)
        kept = SqliteConnection::shared(databasePath(), &error);
    for (auto _ : state) {
        auto* filter = qobject_cast<FormFilter*>(Forms::show(FormFilter::Name));
        filter->findChild<QLineEdit*>("TextFrom")->setText(FormFilter::dateText(First));
        filter->findChild<QLineEdit*>("TextUntil")->setText(FormFilter::dateText(Last));
        filter->findChild<QLineEdit*>("TextSalesPerson")->setText(QString::fromLatin1(Chosen));
        QPushButton* button = filter->findChild<QPushButton*>("CommandFilter");
        QElapsedTimer clock;
        clock.start();
        button->click();
        auto* form = qobject_cast<FormAllCallReports*>(Forms::loaded(FormAllCallReports::Name));
        if (!form || !QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        const bool shown = !form->document()->text().isEmpty();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        const int listed = form->documents()->recordset()->recordCount();
        if (listed != expectedReports || !shown) {
            state.SkipWithError(qPrintable(
                QString("%1 reports listed, %2 expected").arg(listed).arg(expectedReports)));
            break;
        }
        closeWindows();
        if (!keepConnection)
            SqliteConnection::closeShared(databasePath());
    }
    closeWindows();
}

void FilterCallReports(benchmark::State& state) {
    filterCallReports(state, true);
}

void FilterCallReportsNewConnection(benchmark::State& state) {
    filterCallReports(state, false);
}

} // namespace

BENCHMARK(PlainFilter)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(FilterCallReports)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();
BENCHMARK(PlainFilterNewConnection)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(FilterCallReportsNewConnection)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->UseManualTime();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args =
        BenchFolder::options(argc, argv, {{"--reports=", &reports}, {"--companies=", &companies}});
    folder = BenchFolder::path("tessaly-bench-filter");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // a message would stop the run; none is expected
    DataMessages::install();
    WorkbookSheets::install();
    DocumentTexts::install();
    makeFolder();
    QString error;
    if (!Installation::run(folder, &error)) // brings a file of an earlier version up to date
        qFatal("%s", qPrintable(error));
    QDir::setCurrent(folder); // the windows name their databases relative to it
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n%d call reports over %d companies and %d sales persons\n", reports, companies,
           SalesPersons);
    auto report = [&](const char* what, const char* window, const char* plain) {
        if (reporter.ratio(window, plain) > 0)
            printf("%s: %.1f ms; the plain sqlite3 query: %.1f ms (%d rows); ratio %.2f\n", what,
                   1000 * reporter.seconds(window), 1000 * reporter.seconds(plain), expectedReports,
                   reporter.ratio(window, plain));
    };
    report("Filter, one month and one sales person", "FilterCallReports", "PlainFilter");
    report("The same, each run on a new connection", "FilterCallReportsNewConnection",
           "PlainFilterNewConnection");
    for (const MsgBox::Shown& shown : MsgBox::shown())
        printf("message shown: %s\n", qPrintable(shown.text));
    SqliteConnection::closeShared(databasePath());
    benchmark::Shutdown();
    return 0;
}
