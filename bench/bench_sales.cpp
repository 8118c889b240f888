// The sales import of a 100,000-row workbook (.xlsx), and of the largest
// .xls sheet there is (65,535 rows below the titles: BIFF has no more), once
// as FreeXL reads it (BIFF8) and once through the libgsf record reader
// (BIFF5 that FreeXL lists no sheets in), each against its reader alone
// reading the same file in the same run; then the sales window of one
// company over the imported table against the plain query. Prints the
// ratios and the peak memory; run one benchmark alone
// (--benchmark_filter=ImportXlsx) for its own peak.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_sales [--rows=N] [benchmark options]
//
// The program folder and the workbooks are made once in
// $TMPDIR/tessaly-bench-sales and reused.

#include "activities/FormSalesFigures.h"
#include "app/Forms.h"
#include "app/ModuleButtons.h"
#include "companies/FormCompanies.h"
#include "companies/ModuleLogin.h"
#include "data/DataSource.h"
#include "data/Recordset.h"
#include "data/SalesImport.h"
#include "data/SqliteConnection.h"
#include "formats/WorkbookReader.h"
#include "formats/WorkbookSheets.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DataMessages.h"

#include "../tests/support/BiffWriter.h"
#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

int rows = 100000;
constexpr int XlsRows = 65535; // the most rows below the titles that a BIFF sheet holds
constexpr int RowsPerAccount = 50;
QString folder;

QString file(const QString& name) {
    return QDir(folder).filePath(name);
}

QString account(int i) {
    return QStringLiteral("A%1").arg(i / RowsPerAccount, 5, 10, QChar('0'));
}

QList<QVariant> saleRow(int i) {
    static const char* const products[] = {"Glue", "Tape", "Säge", "Bolts", "Kleber"};
    return {account(i),
            QStringLiteral("Customer %1").arg(i / RowsPerAccount),
            QDate(2024, 1, 1).addDays(i % 900),
            10.0 + (i % 997) * 0.25,
            QString::fromUtf8(products[i % 5]),
            i % 7 ? QVariant() : QVariant(QString("€ off"))};
}

const QStringList Titles{"Account No.", "Customer's name", "Invoice Date",
                         "Amount",      "Product",         "Note"};

void writeXlsx(const QString& path, int count) {
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Sales 2026");
    lxw_format* date = workbook_add_format(book);
    format_set_num_format(date, "m/d/yyyy");
    for (int c = 0; c < Titles.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), Titles.at(c).toUtf8().constData(), nullptr);
    for (int i = 0; i < count; ++i) {
        const QList<QVariant> row = saleRow(i);
        const auto r = lxw_row_t(i + 1);
        worksheet_write_string(sheet, r, 0, row.at(0).toString().toUtf8().constData(), nullptr);
        worksheet_write_string(sheet, r, 1, row.at(1).toString().toUtf8().constData(), nullptr);
        const QDate d = row.at(2).toDate();
        lxw_datetime when = {d.year(), d.month(), d.day(), 0, 0, 0};
        worksheet_write_datetime(sheet, r, 2, &when, date);
        worksheet_write_number(sheet, r, 3, row.at(3).toDouble(), nullptr);
        worksheet_write_string(sheet, r, 4, row.at(4).toString().toUtf8().constData(), nullptr);
        if (!row.at(5).isNull())
            worksheet_write_string(sheet, r, 5, row.at(5).toString().toUtf8().constData(), nullptr);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        qFatal("%s not written", qPrintable(path));
}

void writeXls(const QString& path, int count, const BiffWriter::Layout& layout) {
    BiffWriter::Sheet sheet{"Sales 2026", {}};
    QList<QVariant> titles;
    for (const QString& title : Titles)
        titles << title;
    sheet.rows << titles;
    for (int i = 0; i < count; ++i)
        sheet.rows << saleRow(i);
    if (!BiffWriter::write(path, {sheet}, layout))
        qFatal("%s not written", qPrintable(path));
}

void makeFolder() {
    const bool ready = BenchFolder::counts(folder, "SELECT COUNT(*) FROM TABLE01") ==
                           QList<int>{rows / RowsPerAccount} &&
                       QFile::exists(file("Sales.xlsx")) && QFile::exists(file("Sales8.xls")) &&
                       QFile::exists(file("Sales5.xls"));
    if (ready)
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    BenchFolder::exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (TEXT01, TEXT02, TEXT20) VALUES (?1, ?2, 'Company')",
                       -1, &insert, nullptr);
    for (int i = 0; i < rows; i += RowsPerAccount) {
        const QByteArray name =
            QString("Customer %1").arg(i / RowsPerAccount, 5, 10, QChar('0')).toUtf8();
        const QByteArray number = account(i).toUtf8();
        sqlite3_bind_text(insert, 1, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 2, number.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            qFatal("insert: %s", sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    BenchFolder::exec(db, "COMMIT");
    sqlite3_close(db);
    writeXlsx(file("Sales.xlsx"), rows);
    writeXls(file("Sales8.xls"), std::min(rows, XlsRows), {BiffWriter::Version::Biff8, false, {}});
    writeXls(file("Sales5.xls"), std::min(rows, XlsRows), {BiffWriter::Version::Biff5, true, {}});
}

void import(benchmark::State& state, const QString& workbook, int expected) {
    const SalesImport::Settings settings{file(workbook), "Sales 2026", "Account No.",
                                         "Invoice Date"};
    for (auto _ : state) {
        QString error;
        const auto imported = SalesImport::run("User.mdb", settings, &error);
        if (!imported || *imported != expected) {
            state.SkipWithError(qPrintable(error.isEmpty() ? QString("wrong row count") : error));
            return;
        }
    }
    state.counters["rows"] = expected;
    state.counters["peak_MB"] = double(BenchFolder::peakMegabytes());
}

void readAlone(benchmark::State& state, const QString& workbook, int expected) {
    for (auto _ : state) {
        QString error;
        const auto reader = WorkbookReader::open(file(workbook), &error);
        const auto sheet = reader ? reader->sheet("Sales 2026", &error) : std::nullopt;
        if (!sheet || sheet->rowCount() != expected + 1) {
            state.SkipWithError(qPrintable(error.isEmpty() ? QString("wrong row count") : error));
            return;
        }
        benchmark::DoNotOptimize(sheet->rows);
    }
    state.counters["peak_MB"] = double(BenchFolder::peakMegabytes());
}

void ImportXlsx(benchmark::State& state) {
    import(state, "Sales.xlsx", rows);
}
void ReadXlsxAlone(benchmark::State& state) {
    readAlone(state, "Sales.xlsx", rows);
}
void ImportXls(benchmark::State& state) {
    import(state, "Sales8.xls", std::min(rows, XlsRows));
}
void ReadXlsAlone(benchmark::State& state) {
    readAlone(state, "Sales8.xls", std::min(rows, XlsRows));
}
void ImportXlsFallback(benchmark::State& state) {
    import(state, "Sales5.xls", std::min(rows, XlsRows));
}
void ReadXlsFallbackAlone(benchmark::State& state) {
    readAlone(state, "Sales5.xls", std::min(rows, XlsRows));
}

// The sales window of the first company, from the function key to the rows
// listed; the table imported from the .xlsx.
void OpenSalesWindow(benchmark::State& state) {
    QString error;
    if (!SalesImport::run("User.mdb",
                          {file("Sales.xlsx"), "Sales 2026", "Account No.", "Invoice Date"},
                          &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    // The import window's settings, which the sales window reads.
    sqlite3* db = nullptr;
    sqlite3_open(file("User.mdb").toUtf8().constData(), &db);
    BenchFolder::exec(db, "UPDATE TABLE02 SET TEXT08 = 'Invoice Date', TEXT09 = 'Account No.'");
    sqlite3_close(db);
    ModuleLogin::OpenActiveCompanies();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        ModuleButtons::SwitchToSalesFigures();
        auto* form = qobject_cast<FormSalesFigures*>(Forms::loaded(FormSalesFigures::Name));
        if (!form || !QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        QCoreApplication::processEvents(); // its activation lists the rows
        if (form->sales()->recordset()->recordCount() != RowsPerAccount) {
            state.SkipWithError(qPrintable(
                QString("%1 rows listed").arg(form->sales()->recordset()->recordCount())));
            break;
        }
        state.PauseTiming();
        ModuleButtons::SwitchToCompanies();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void PlainCompanyQuery(benchmark::State& state) {
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(file("User.mdb").toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* query = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT * FROM SALES WHERE \"Account No.\" = 'A00000' ORDER BY "
                           "\"Invoice Date\" DESC",
                           -1, &query, nullptr);
        int count = 0;
        while (sqlite3_step(query) == SQLITE_ROW)
            ++count;
        sqlite3_finalize(query);
        sqlite3_close(db);
        if (count != RowsPerAccount)
            state.SkipWithError("wrong row count");
    }
}

} // namespace

BENCHMARK(ImportXlsx)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ReadXlsxAlone)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ImportXls)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ReadXlsAlone)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ImportXlsFallback)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(ReadXlsFallbackAlone)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(OpenSalesWindow)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(PlainCompanyQuery)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--rows=", &rows}});
    folder = BenchFolder::path("tessaly-bench-sales");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // a message would stop the run; none is expected
    DataMessages::install();
    WorkbookSheets::install();
    makeFolder();
    QDir::setCurrent(folder); // the import and the windows name their databases relative to it
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const struct {
        const char* measured;
        const char* baseline;
        const char* what;
    } pairs[] = {{"ImportXlsx", "ReadXlsxAlone", "import .xlsx / reader alone"},
                 {"ImportXls", "ReadXlsAlone", "import .xls (FreeXL) / reader alone"},
                 {"ImportXlsFallback", "ReadXlsFallbackAlone",
                  "import .xls (libgsf records) / reader alone"},
                 {"OpenSalesWindow", "PlainCompanyQuery", "sales window / plain query"}};
    for (const auto& pair : pairs)
        if (const double ratio = reporter.ratio(pair.measured, pair.baseline))
            std::printf("%s: %.2fx (%.1f ms against %.1f ms)\n", pair.what, ratio,
                        reporter.seconds(pair.measured) * 1000,
                        reporter.seconds(pair.baseline) * 1000);
    std::printf("peak memory: %ld MB\n", BenchFolder::peakMegabytes());
    for (const MsgBox::Shown& shown : MsgBox::shown())
        std::printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
