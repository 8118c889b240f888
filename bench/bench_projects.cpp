// The projects window over 2,000 projects and 50,000 action steps spread
// over 400 companies:
//   (a) F5 from the companies window to the projects window listing the
//       company's active projects (with its weighted pipeline), against the
//       plain sqlite3 queries of the same rows;
//   (b) choosing a project in the list, which shows its action steps,
//       against the plain sqlite3 query of the same steps;
// each in the same run, with milliseconds and ratios printed at the end.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_projects [--projects=N]
//       [--steps=N] [--companies=N] [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-projects and
// reused.

#include "activities/FormProjects.h"
#include "app/Forms.h"
#include "app/ModuleButtons.h"
#include "companies/FormCompanies.h"
#include "companies/ModuleLogin.h"
#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "formats/WorkbookSheets.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/MsgBox.h"
#include "widgets/DBList.h"
#include "widgets/DataMessages.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int projects = 2000;
int steps = 50000;
int companies = 400;
QString folder;

int chosenCompany() {
    return std::max(1, companies / 3);
}

QString databasePath() {
    return BenchFolder::database(folder);
}

using BenchFolder::exec;

QString companyName(int i) {
    static const char* const words[] = {"Harbor", "Summit", "Pioneer",  "Granite", "Cedar",
                                        "Atlas",  "Beacon", "Meridian", "Falcon",  "Willow"};
    return QString("%1 %2 Works %3")
        .arg(words[i % 10], words[(i / 10) % 10])
        .arg(i, 4, 10, QChar('0'));
}

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT (SELECT COUNT(*) FROM TABLE06), (SELECT COUNT(*) "
                                       "FROM TABLE07), (SELECT COUNT(*) FROM TABLE01)") ==
           QList<int>{projects, steps, companies};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT13, TEXT18, TEXT20) VALUES "
                       "(?, ?, 'Industrial', 'Sales Person', 'Company')",
                       -1, &insert, nullptr);
    for (int i = 1; i <= companies; ++i) {
        const QByteArray name = companyName(i).toUtf8();
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_text(insert, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    static const char* const groups[] = {"Chemicals", "Food", "Steel", "Paper", "Energy"};
    static const char* const statuses[] = {"Active Project", "Active Project", "Active Project",
                                           "Cancelled Project", "Completed Project"};
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE06 (AUTONUMBER, NUMBER01, TEXT01, TEXT02, TEXT03, "
                       "TEXT05, TEXT06, DATE01) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(5);
    for (int i = 1; i <= projects; ++i) {
        const int company = 1 + (i - 1) % companies;
        const QByteArray name = QString("Project %1").arg(i).toUtf8();
        const QByteArray value = i % 7 == 0 ? QByteArray("to be quoted")
                                            : QByteArray::number(1000 * (1 + random.bounded(90)));
        const QByteArray probability = QByteArray::number(10 * (1 + random.bounded(10)));
        const QByteArray date =
            QDate(2020, 1, 1).addDays(random.bounded(2000)).toString(Qt::ISODate).toUtf8();
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_int(insert, 2, company);
        sqlite3_bind_text(insert, 3, groups[i % 5], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 4, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, statuses[(i / companies) % 5], -1, SQLITE_STATIC);
        sqlite3_bind_text(insert, 6, value.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 7, probability.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 8, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);

    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE07 (NUMBER01, NUMBER02, DATE01, MEMO01) VALUES "
                       "(?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (int i = 0; i < steps; ++i) {
        const int project = 1 + int(random.bounded(projects));
        const int company = 1 + (project - 1) % companies;
        const QByteArray date =
            QDate(2020, 1, 1).addDays(random.bounded(2500)).toString(Qt::ISODate).toUtf8();
        const QByteArray memo =
            QString("Step %1: called the buyer about the offer, samples and the delivery dates; "
                    "next visit planned.")
                .arg(i)
                .toUtf8();
        sqlite3_bind_int(insert, 1, project);
        sqlite3_bind_int(insert, 2, company);
        sqlite3_bind_text(insert, 3, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 4, memo.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

// Runs queries with sqlite3 alone on one connection and reads every column
// of every row, as a window that shows them would; the rows of the first.
int plainQueries(const QList<QByteArray>& statements) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    int first = -1;
    qint64 bytes = 0;
    for (const QByteArray& sql : statements) {
        sqlite3_stmt* query = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &query, nullptr) != SQLITE_OK)
            qFatal("%s: %s", sql.constData(), sqlite3_errmsg(db));
        int rows = 0;
        while (sqlite3_step(query) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(query); ++c)
                bytes += sqlite3_column_bytes(query, c);
            ++rows;
        }
        sqlite3_finalize(query);
        if (first < 0)
            first = rows;
    }
    sqlite3_close(db);
    benchmark::DoNotOptimize(bytes);
    return first;
}

int expectedProjects = -1;
int expectedSteps = -1;
int chosenProjectRow = 0;

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    SqliteConnection::closeShared(databasePath());
    SqliteConnection::closeShared(QDir(folder).filePath("User.mdb"));
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

void PlainCompanyProjects(benchmark::State& state) {
    const QByteArray company = QByteArray::number(chosenCompany());
    const QList<QByteArray> sql = {"SELECT * FROM TABLE06 WHERE NUMBER01 = " + company +
                                       " AND TEXT03 = 'Active Project' ORDER BY TEXT01 DESC",
                                   "SELECT TEXT05, TEXT06 FROM TABLE06 WHERE NUMBER01 = " +
                                       company + " AND TEXT03 = 'Active Project'"};
    for (auto _ : state)
        expectedProjects = plainQueries(sql);
    state.counters["projects"] = expectedProjects;
}

void OpenProjects(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        FormCompanies* companiesWindow = companiesOnChosenCompany();
        if (companiesWindow->companyName() != companyName(chosenCompany())) {
            state.SkipWithError("the companies window is not on the chosen company");
            break;
        }
        state.ResumeTiming();
        ModuleButtons::SwitchToProjects();
        auto* form = qobject_cast<FormProjects*>(Forms::loaded(FormProjects::Name));
        if (!form || !QTest::qWaitForWindowExposed(form)) {
            state.SkipWithError("the window was not shown");
            break;
        }
        const int listed = form->findChild<DBList*>("DBListProjects")->listCount();
        if (listed != expectedProjects || form->pipelineText().isEmpty()) {
            state.SkipWithError(qPrintable(
                QString("%1 projects listed, %2 expected").arg(listed).arg(expectedProjects)));
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}

// The project chosen: the one with the most steps among the listed.
QByteArray chosenProjectKey(FormProjects* form) {
    DataSource* list = form->projects();
    const int key = list->fieldIndex("AUTONUMBER");
    QByteArray best;
    int most = -1;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QByteArray project = list->textAt(row, key).toUtf8();
        const int count = plainQueries({"SELECT * FROM TABLE07 WHERE NUMBER01 = " + project});
        if (count > most) {
            most = count;
            best = project;
            chosenProjectRow = row;
        }
    }
    return best;
}

QByteArray chosenProject;

void PlainProjectSteps(benchmark::State& state) {
    const QList<QByteArray> sql = {"SELECT * FROM TABLE07 WHERE NUMBER01 = " + chosenProject +
                                   " ORDER BY DATE01"};
    for (auto _ : state)
        expectedSteps = plainQueries(sql);
    state.counters["steps"] = expectedSteps;
}

void ChooseProject(benchmark::State& state) {
    companiesOnChosenCompany();
    ModuleButtons::SwitchToProjects();
    auto* form = qobject_cast<FormProjects*>(Forms::loaded(FormProjects::Name));
    auto* list = form ? form->findChild<DBList*>("DBListProjects") : nullptr;
    if (!list || !QTest::qWaitForWindowExposed(form)) {
        state.SkipWithError("the window was not shown");
        return;
    }
    const int other = chosenProjectRow == 0 ? std::min(1, list->listCount() - 1) : 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Another project first, so that each choice reads its steps anew.
        list->setListIndex(other);
        form->DBListProjects_Click();
        state.ResumeTiming();
        list->setListIndex(chosenProjectRow);
        form->DBListProjects_Click();
        QCoreApplication::processEvents();
        const int shown = form->actionSteps()->rowCount();
        if (shown != expectedSteps) {
            state.SkipWithError(
                qPrintable(QString("%1 steps shown, %2 expected").arg(shown).arg(expectedSteps)));
            break;
        }
    }
    closeWindows();
}

} // namespace

BENCHMARK(PlainCompanyProjects)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(OpenProjects)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(PlainProjectSteps)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(ChooseProject)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args = BenchFolder::options(
        argc, argv,
        {{"--projects=", &projects}, {"--steps=", &steps}, {"--companies=", &companies}});
    folder = BenchFolder::path("tessaly-bench-projects");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // a message would stop the run; none is expected
    DataMessages::install();
    WorkbookSheets::install();
    makeFolder();
    QString error;
    if (!Installation::run(folder, &error)) // brings a file of an earlier version up to date
        qFatal("%s", qPrintable(error));
    QDir::setCurrent(folder); // the windows name their databases relative to it
    registerForms();
    {
        // The project with the most steps among the company's active ones.
        companiesOnChosenCompany();
        ModuleButtons::SwitchToProjects();
        auto* form = qobject_cast<FormProjects*>(Forms::loaded(FormProjects::Name));
        if (!form)
            qFatal("the projects window was not shown");
        chosenProject = chosenProjectKey(form);
        closeWindows();
    }
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printf("\n%d projects and %d action steps over %d companies\n", projects, steps, companies);
    auto report = [&](const char* what, const char* window, const char* plain, int rows) {
        if (reporter.ratio(window, plain) > 0)
            printf("%s: %.1f ms; the plain sqlite3 queries: %.1f ms (%d rows); window / plain "
                   "%.1f\n",
                   what, 1000 * reporter.seconds(window), 1000 * reporter.seconds(plain), rows,
                   reporter.ratio(window, plain));
    };
    report("Projects of one company (F5)", "OpenProjects", "PlainCompanyProjects",
           expectedProjects);
    report("Choosing a project: its action steps", "ChooseProject", "PlainProjectSteps",
           expectedSteps);
    for (const MsgBox::Shown& shown : MsgBox::shown())
        printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
