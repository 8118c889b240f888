// The document browsers over 250,000 call reports and 250,000 letters of a
// few KB of RTF each, spread over 5,000 companies:
//   (a) F9 from the companies window to the call reports window shown on the
//       company's newest report, and F4 to the correspondence window, against
//       the plain sqlite3 query with the same WHERE (a scan: text columns
//       carry no index);
//   (b) Find of a phrase over all call reports in the all-call-reports
//       window (the text index), against the plain sqlite3 LIKE over the
//       same rows (a scan of the RTF);
// each in the same run, with milliseconds and ratios printed at the end.
// The first run after the database was made also builds the document
// indexes and prints how long that took.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_callreports [--reports=N]
//       [--companies=N] [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-callreports and
// reused.

#include "activities/FormActivities.h"
#include "activities/FormAllCallReports.h"
#include "activities/FormCallReports.h"
#include "app/Forms.h"
#include "app/ModuleButtons.h"
#include "companies/FormCompanies.h"
#include "companies/ModuleLogin.h"
#include "data/DataSource.h"
#include "data/DocumentIndex.h"
#include "data/Installation.h"
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
QString folder;
// In one report of about 200.
const char* const Phrase = "warranty claim";
// The company the window opens on: one of the first quarter.
int chosenCompany() {
    return std::max(1, companies / 4 - 16);
}

QString databasePath() {
    return BenchFolder::database(folder);
}

using BenchFolder::exec;

QString companyName(int i) {
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    return QString("%1 %2 Supply %3")
        .arg(words[i % 10], words[(i / 10) % 10])
        .arg(i, 5, 10, QChar('0'));
}

// A report of a few KB as the editor stores it: a font table, a bold
// heading and paragraphs of text.
QByteArray reportRtf(int i, QRandomGenerator& random) {
    static const char* const sentences[] = {
        "Met the purchasing manager and walked through the current order book.",
        "The new product line was presented; samples are to follow next week.",
        "Delivery times remain a concern, especially for the larger pumps.",
        "Competitor visits were mentioned twice, mostly about service contracts.",
        "Agreed to send the revised price list and a quotation for the spares.",
        "The plant extension is planned for the spring, budget not yet approved.",
        "Training for the maintenance staff was requested for the second quarter.",
        "Payment terms were discussed; thirty days net remains acceptable.",
    };
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
                     "{\\colortbl;\\red0\\green0\\blue0;}\\pard\\f0\\fs20\\b Call report " +
                     QByteArray::number(i) + "\\b0\\par ";
    while (rtf.size() < 2600) {
        rtf += "\\pard\\fs20 ";
        for (int s = 0; s < 4; ++s) {
            rtf += sentences[random.bounded(8)];
            rtf += ' ';
        }
        rtf += "\\par ";
    }
    if (i % 200 == 17)
        rtf += "\\pard The customer filed a Warranty Claim for two units.\\par ";
    rtf += "}";
    return rtf;
}

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT (SELECT COUNT(*) FROM TABLE08), (SELECT COUNT(*) "
                                       "FROM TABLE01), (SELECT COUNT(*) FROM TABLE09)") ==
           QList<int>{reports, companies, reports};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    sqlite3_stmt* company = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES (?, ?, "
                       "'Sales Person', 'Company')",
                       -1, &company, nullptr);
    for (int i = 1; i <= companies; ++i) {
        const QByteArray name = companyName(i).toUtf8();
        sqlite3_bind_int(company, 1, i);
        sqlite3_bind_text(company, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(company);
        sqlite3_reset(company);
    }
    sqlite3_finalize(company);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE08 (NUMBER01, TEXT01, TEXT03, DATE01, MEMO01) VALUES "
                       "(?, ?, 'Sales Person', ?, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(11);
    for (int i = 0; i < reports; ++i) {
        const int key = 1 + int(random.bounded(companies));
        const QByteArray name = companyName(key).toUtf8();
        const QByteArray date =
            QDate(2016, 1, 1).addDays(random.bounded(3650)).toString(Qt::ISODate).toUtf8();
        const QByteArray memo = reportRtf(i, random);
        sqlite3_bind_int(insert, 1, key);
        sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, memo.constData(), int(memo.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE09 (NUMBER01, TEXT01, TEXT07, DATE01, MEMO01) VALUES "
                       "(?, ?, 'LETTER', ?, ?)",
                       -1, &insert, nullptr);
    for (int i = 0; i < reports; ++i) {
        const int key = 1 + int(random.bounded(companies));
        const QByteArray name = companyName(key).toUtf8();
        const QByteArray date =
            QDate(2016, 1, 1).addDays(random.bounded(3650)).toString(Qt::ISODate).toUtf8();
        const QByteArray memo = reportRtf(i, random);
        sqlite3_bind_int(insert, 1, key);
        sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, memo.constData(), int(memo.size()), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

// Runs a query with sqlite3 alone and reads every column of every row, as
// a window that shows them would.
int plainQuery(const QByteArray& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &query, nullptr) != SQLITE_OK)
        qFatal("%s: %s", sql.constData(), sqlite3_errmsg(db));
    int rows = 0;
    qint64 bytes = 0;
    while (sqlite3_step(query) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(query); ++c)
            bytes += sqlite3_column_bytes(query, c);
        ++rows;
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

QByteArray companyWhere() {
    return "WHERE TEXT01 = '" + companyName(chosenCompany()).toUtf8() +
           "' OR NUMBER01 = " + QByteArray::number(chosenCompany());
}

int expectedCompanyReports = -1;
int expectedMatches = -1;

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    SqliteConnection::closeShared(databasePath());
    SqliteConnection::closeShared(QDir(folder).filePath("User.mdb"));
}

void PlainCompanyReports(benchmark::State& state) {
    const QByteArray sql = "SELECT * FROM TABLE08 " + companyWhere() + " ORDER BY DATE01 DESC";
    for (auto _ : state)
        expectedCompanyReports = plainQuery(sql);
    state.counters["reports"] = expectedCompanyReports;
}

FormCompanies* companiesOnChosenCompany() {
    ModuleLogin::OpenActiveCompanies();
    auto* form = Forms::get<FormCompanies>();
    DataSource* source = form->dataTable01();
    for (int row = 0; row < source->rowCount(); ++row)
        if (source->textAt(row, source->fieldIndex("AUTONUMBER")) ==
            QString::number(chosenCompany())) {
            source->recordset()->setBookmark(source->bookmarkAt(row));
            break;
        }
    return form;
}

void OpenCallReports(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FormCompanies* companiesWindow = companiesOnChosenCompany();
        if (companiesWindow->companyName() != companyName(chosenCompany())) {
            state.SkipWithError("the companies window is not on the chosen company");
            break;
        }
        state.ResumeTiming();
        ModuleButtons::SwitchToCallReports();
        auto* form = qobject_cast<FormCallReports*>(Forms::loaded("FormCallReports"));
        if (!form || !QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        const int listed = form->documents()->recordset()->recordCount();
        if (listed != expectedCompanyReports || form->document()->text().isEmpty()) {
            state.SkipWithError(qPrintable(
                QString("%1 reports listed, %2 expected").arg(listed).arg(expectedCompanyReports)));
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}

// The lookup alone, through a data source on the connection the program
// keeps open: the documented query text with every row read.
void LookupCompanyReports(benchmark::State& state) {
    const QString source = "SELECT * FROM TABLE08 WHERE TABLE08.TEXT01 = '" +
                           companyName(chosenCompany()) +
                           "' OR TABLE08.NUMBER01 = " + QString::number(chosenCompany()) +
                           " ORDER BY  TABLE08.DATE01 DESC";
    DataSource data("DataTABLE08", nullptr);
    data.setDatabaseName("TESSALY.mdb");
    data.setRecordSource(source);
    for (auto _ : state) {
        if (!data.refresh()) {
            state.SkipWithError(qPrintable(data.lastError()));
            break;
        }
        qint64 bytes = 0;
        for (int row = 0; row < data.rowCount(); ++row)
            for (int field = 0; field < data.fieldCount(); ++field)
                bytes += data.textAt(row, field).size();
        benchmark::DoNotOptimize(bytes);
        if (data.rowCount() != expectedCompanyReports) {
            state.SkipWithError("another number of reports");
            break;
        }
    }
    data.setDatabaseName({});
    closeWindows();
}

int expectedCompanyLetters = -1;

void PlainCompanyLetters(benchmark::State& state) {
    const QByteArray sql = "SELECT * FROM TABLE09 " + companyWhere() + " ORDER BY DATE01 DESC";
    for (auto _ : state)
        expectedCompanyLetters = plainQuery(sql);
    state.counters["letters"] = expectedCompanyLetters;
}

void OpenCorrespondence(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        companiesOnChosenCompany();
        state.ResumeTiming();
        ModuleButtons::SwitchToActivities();
        auto* form = qobject_cast<FormActivities*>(Forms::loaded("FormActivities"));
        if (!form || !QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        const int listed = form->documents()->recordset()->recordCount();
        if (listed != expectedCompanyLetters) {
            state.SkipWithError(qPrintable(
                QString("%1 letters listed, %2 expected").arg(listed).arg(expectedCompanyLetters)));
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}

void PlainFindAll(benchmark::State& state) {
    const QByteArray sql = QByteArray("SELECT * FROM TABLE08 WHERE MEMO01 LIKE '%") + Phrase +
                           "%' ORDER BY DATE01 DESC";
    for (auto _ : state)
        expectedMatches = plainQuery(sql);
    state.counters["matches"] = expectedMatches;
}

void FindAllCallReports(benchmark::State& state) {
    auto* form = Forms::get<FormAllCallReports>();
    form->Open("Search Call Reports", form->allDocumentsSource());
    QLineEdit* phrase = form->findChild<QLineEdit*>("TextFind");
    QPushButton* find = form->findChild<QPushButton*>("CommandFind");
    QPushButton* reset = form->findChild<QPushButton*>("CommandReset");
    for (auto _ : state) {
        phrase->setText(QString::fromLatin1(Phrase));
        find->click();
        const int listed = form->documents()->recordset()->recordCount();
        if (listed != expectedMatches ||
            !form->document()->text().contains("Warranty Claim", Qt::CaseInsensitive)) {
            state.SkipWithError(qPrintable(
                QString("%1 reports found, %2 expected").arg(listed).arg(expectedMatches)));
            break;
        }
        state.PauseTiming();
        reset->click();
        state.ResumeTiming();
    }
    closeWindows();
}

} // namespace

BENCHMARK(PlainCompanyReports)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(OpenCallReports)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(LookupCompanyReports)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(PlainCompanyLetters)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(OpenCorrespondence)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PlainFindAll)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(FindAllCallReports)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args =
        BenchFolder::options(argc, argv, {{"--reports=", &reports}, {"--companies=", &companies}});
    folder = BenchFolder::path("tessaly-bench-callreports");
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
    {
        // The document indexes as a first search would bring them up to date:
        // at once after an upgrade, or after the database was made by sqlite3.
        QElapsedTimer indexing;
        indexing.start();
        auto connection = SqliteConnection::shared(databasePath(), &error);
        for (const QString& table : DocumentIndex::tables())
            if (!connection || !DocumentIndex::update(*connection, table, &error))
                qFatal("%s", qPrintable(error));
        if (const qint64 ms = indexing.elapsed(); ms > 100)
            printf("Document indexes brought up to date in %lld ms\n", ms);
        SqliteConnection::closeShared(databasePath());
    }
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n%d call reports over %d companies\n", reports, companies);
    auto report = [&](const char* what, const char* window, const char* plain, int rows) {
        if (reporter.ratio(window, plain) > 0)
            printf("%s: %.1f ms; the plain sqlite3 scan: %.1f ms (%d rows)\n", what,
                   1000 * reporter.seconds(window), 1000 * reporter.seconds(plain), rows);
    };
    report("Call reports of one company (F9)", "OpenCallReports", "PlainCompanyReports",
           expectedCompanyReports);
    report("The lookup alone, through a data source", "LookupCompanyReports", "PlainCompanyReports",
           expectedCompanyReports);
    report("Correspondence of one company (F4)", "OpenCorrespondence", "PlainCompanyLetters",
           expectedCompanyLetters);
    report("Find a phrase over all call reports", "FindAllCallReports", "PlainFindAll",
           expectedMatches);
    for (const MsgBox::Shown& shown : MsgBox::shown())
        printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
