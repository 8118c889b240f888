// The companies report of 100,000 companies, from the query to the saved
// workbook (capture onto the clipboard, paste, formatting, save), against
// libxlsxwriter alone writing the same cells with the same formats in the
// same run. Prints the ratio and the process's peak memory; run the report
// alone (--benchmark_filter=CompaniesReport) for its own peak.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_reports [--rows=N] [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-reports and reused.

#include "app/ModuleExcelReports.h"
#include "office/ReportData.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <cmath>

#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <xlsxwriter.h>

namespace {

int rows = 100000;
QString folder;

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT COUNT(*) FROM TABLE01") == QList<int>{rows};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    BenchFolder::exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (TEXT01, TEXT03, TEXT04, TEXT05, TEXT06, TEXT07, "
                       "TEXT08, TEXT09, TEXT10, TEXT11, TEXT12, TEXT13, TEXT14, TEXT15, TEXT17, "
                       "DATE01, NUMBER01, TEXT19, TEXT18, TEXT20) VALUES (?1, ?2, ?3, ?4, ?5, ?6, "
                       "?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, 'Company')",
                       -1, &insert, nullptr);
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    QRandomGenerator random(11);
    for (int i = 0; i < rows; ++i) {
        const QList<QByteArray> texts = {
            QString("%1 %2 Supply %3")
                .arg(words[i % 10], words[(i / 10) % 10])
                .arg(i, 6, 10, QChar('0'))
                .toUtf8(),
            "PO Box " + QByteArray::number(random.bounded(9999)),
            "Springfield",
            QByteArray::number(10000 + random.bounded(89999)),
            QByteArray::number(random.bounded(9999)) + " Main Street",
            i % 3 ? QByteArray() : QByteArray("Building B"),
            "Shelbyville",
            "North",
            "(555) 010-" + QByteArray::number(1000 + i % 9000),
            "(555) 020-" + QByteArray::number(1000 + i % 9000),
            "www.company" + QByteArray::number(i) + ".test",
            "Industrial",
            "Retail",
            "A",
            "Customer",
        };
        for (int t = 0; t < texts.size(); ++t)
            sqlite3_bind_text(insert, t + 1, texts.at(t).constData(), -1, SQLITE_TRANSIENT);
        const QByteArray visited =
            QDate(2026, 1, 1).addDays(random.bounded(340)).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_text(insert, 16, visited.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 17, 30);
        sqlite3_bind_text(insert, 18, "Ann Manager", -1, SQLITE_STATIC);
        const QByteArray person = "Sales Person " + QByteArray::number(i % 50);
        sqlite3_bind_text(insert, 19, person.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(insert) != SQLITE_DONE)
            qFatal("insert: %s", sqlite3_errmsg(db));
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    BenchFolder::exec(db, "COMMIT");
    sqlite3_close(db);
}

void CompaniesReport(benchmark::State& state) {
    for (auto _ : state) {
        QString error;
        if (!ReportData::captureToClipboard(QStringLiteral("TESSALY.mdb"),
                                            ReportData::recordSource(ReportData::Report::Companies),
                                            &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        const QString file = ModuleExcelReports::ExcelReportCompanies(FieldChoices::all());
        if (file.isEmpty()) {
            state.SkipWithError("the report failed");
            return;
        }
        QFile::remove(file);
    }
    state.counters["rows"] = rows;
    state.counters["peak_MB"] = double(BenchFolder::peakMegabytes());
}

// The same cells as the report writes them: texts, numbers and dates in the
// body font, the title row bold, read from the same query first (not timed).
struct Cells {
    std::vector<std::vector<std::string>> texts;
    std::vector<std::vector<double>> numbers;     // NaN where the cell is a text
    std::vector<std::vector<lxw_datetime>> dates; // year 0 where the cell is no date
};

Cells readCells() {
    Cells cells;
    sqlite3* db = BenchFolder::open(folder);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT TEXT01, TEXT03, TEXT04, TEXT05, TEXT06, TEXT07, TEXT08, TEXT09, "
                       "TEXT10, TEXT11, TEXT12, TEXT13, TEXT14, TEXT15, TEXT17, DATE01, NUMBER01, "
                       "TEXT19, TEXT18 FROM TABLE01 WHERE TEXT20 = 'Company' ORDER BY TEXT01",
                       -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW) {
        std::vector<std::string> texts(19);
        std::vector<double> numbers(19, std::nan(""));
        std::vector<lxw_datetime> dates(19, lxw_datetime{});
        for (int c = 0; c < 19; ++c) {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(select, c));
            texts[c] = text ? text : "";
        }
        numbers[3] = std::atof(texts[3].c_str());
        numbers[16] = sqlite3_column_double(select, 16);
        const QDate date = QDate::fromString(QString::fromStdString(texts[15]), Qt::ISODate);
        dates[15] = lxw_datetime{date.year(), date.month(), date.day(), 0, 0, 0};
        cells.texts.push_back(std::move(texts));
        cells.numbers.push_back(std::move(numbers));
        cells.dates.push_back(std::move(dates));
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    return cells;
}

void LibxlsxwriterAlone(benchmark::State& state) {
    Cells cells = readCells();
    const QByteArray path = QDir(folder).filePath("Temp/plain.xlsx").toUtf8();
    for (auto _ : state) {
        lxw_workbook* book = workbook_new(path.constData());
        lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
        lxw_format* body = workbook_add_format(book);
        format_set_font_name(body, "Arial Narrow");
        format_set_font_size(body, 8);
        lxw_format* title = workbook_add_format(book);
        format_set_font_name(title, "Arial Narrow");
        format_set_font_size(title, 8);
        format_set_bold(title);
        lxw_format* date = workbook_add_format(book);
        format_set_font_name(date, "Arial Narrow");
        format_set_font_size(date, 8);
        format_set_num_format(date, "mm/dd/yyyy");
        format_set_align(date, LXW_ALIGN_LEFT);
        for (int c = 0; c < 19; ++c)
            worksheet_write_string(sheet, 0, lxw_col_t(c), "TITLE", title);
        for (size_t r = 0; r < cells.texts.size(); ++r) {
            const auto row = lxw_row_t(r + 1);
            for (int c = 0; c < 19; ++c) {
                if (cells.dates[r][c].year)
                    worksheet_write_datetime(sheet, row, lxw_col_t(c), &cells.dates[r][c], date);
                else if (!std::isnan(cells.numbers[r][c]))
                    worksheet_write_number(sheet, row, lxw_col_t(c), cells.numbers[r][c], body);
                else if (!cells.texts[r][c].empty())
                    worksheet_write_string(sheet, row, lxw_col_t(c), cells.texts[r][c].c_str(),
                                           body);
            }
        }
        worksheet_autofilter(sheet, 0, 0, lxw_row_t(cells.texts.size()), 18);
        worksheet_freeze_panes(sheet, 1, 0);
        if (workbook_close(book) != LXW_NO_ERROR) {
            state.SkipWithError("libxlsxwriter failed");
            return;
        }
    }
    state.counters["rows"] = double(cells.texts.size());
}

} // namespace

BENCHMARK(CompaniesReport)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(LibxlsxwriterAlone)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--rows=", &rows}});
    folder = BenchFolder::path("tessaly-bench-reports");
    qputenv("TESSALY_HOME", folder.toUtf8());
    makeFolder();
    QDir(folder).mkpath("Temp");
    QDir::setCurrent(folder); // the reports name their databases relative to it
    Desktop::record();
    MsgBox::installTestHook();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ratio = reporter.ratio("CompaniesReport", "LibxlsxwriterAlone");
    if (ratio > 0)
        std::printf("companies report / libxlsxwriter alone: %.2fx (%.0f ms against %.0f ms)\n",
                    ratio, reporter.seconds("CompaniesReport") * 1000,
                    reporter.seconds("LibxlsxwriterAlone") * 1000);
    std::printf("peak memory: %ld MB\n", BenchFolder::peakMegabytes());
    for (const auto& shown : MsgBox::shown())
        std::printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
