// The all-contacts window over 100,000 companies with 300,000 contacts:
// opening it, and a keyword filter, each against the plain sqlite3 query of
// the same rows in the same run; then a mail merge of one template to 1,000
// contacts, as letters (one document) and as e-mails (into the Outbox).
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_contactsall [--companies=N]
//       [benchmark options]
//
// The program folder is made once in $TMPDIR/tessaly-bench-contactsall and
// reused.

#include "app/Forms.h"
#include "contacts/FormContactsAll.h"
#include "contacts/FormMailMerge.h"
#include "data/DataSource.h"
#include "data/Installation.h"
#include "data/SqliteConnection.h"
#include "formats/MailStore.h"
#include "menu/RegisterForms.h"
#include "platform/Locale.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "widgets/RichTextBox.h"

#include "BenchFolder.h"
#include "RatioReporter.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTest>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

namespace {

int companies = 100000;
constexpr int ContactsPerCompany = 3;
constexpr int MergeContacts = 1000; // contacts with the keyword "vip"
QString folder;

QString databasePath() {
    return BenchFolder::database(folder);
}

using BenchFolder::exec;

int activeCompanies() {
    return companies - companies / 20;
}

bool databaseReady() {
    return BenchFolder::counts(folder, "SELECT COUNT(*) FROM TABLE03") ==
           QList<int>{companies * ContactsPerCompany};
}

void makeFolder() {
    if (databaseReady())
        return;
    BenchFolder::install(folder);
    sqlite3* db = BenchFolder::open(folder);
    exec(db, "BEGIN");
    sqlite3_stmt* company = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT03, TEXT04, TEXT05, TEXT18, "
                       "TEXT20) VALUES (?, ?, 'PO Box 1', 'Springfield', '12345', ?, ?)",
                       -1, &company, nullptr);
    sqlite3_stmt* contact = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TABLE03 (NUMBER01, TEXT01, TEXT02, TEXT03, TEXT05, TEXT11, "
                       "MEMO02, DATE03) VALUES (?, 'Ms', ?, ?, ?, ?, ?, '2024-01-01')",
                       -1, &contact, nullptr);
    static const char* const first[] = {"Ann", "Bob", "Carla", "Dan", "Eve", "Frank", "Gina"};
    static const char* const keywords[] = {"Golf; newsletter", "Tennis",    "Birthday: March 15",
                                           "wine tasting",     "mini-golf", "Sailing"};
    QRandomGenerator random(11);
    int vip = 0;
    for (int i = 1; i <= companies; ++i) {
        const QByteArray name = "Company " + QByteArray::number(i);
        const QByteArray person = "Sales Person " + QByteArray::number(i % 50);
        sqlite3_bind_int(company, 1, i);
        sqlite3_bind_text(company, 2, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(company, 3, person.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(company, 4, i % 20 == 19 ? "Archive" : "Company", -1, SQLITE_STATIC);
        sqlite3_step(company);
        sqlite3_reset(company);
        for (int c = 0; c < ContactsPerCompany; ++c) {
            const QByteArray given = first[random.bounded(7)];
            const QByteArray last = "Smith" + QByteArray::number(random.bounded(100000));
            const QByteArray full = given + ' ' + last;
            const QByteArray mail = given.toLower() + '.' + last.toLower() + "@example.test";
            QByteArray words = keywords[random.bounded(6)];
            if (i % 20 != 19 && vip < MergeContacts && (i + c) % 90 == 0) {
                words += "; VIP";
                ++vip;
            }
            sqlite3_bind_int(contact, 1, i);
            sqlite3_bind_text(contact, 2, given.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(contact, 3, last.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(contact, 4, mail.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(contact, 5, full.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(contact, 6, words.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(contact);
            sqlite3_reset(contact);
        }
    }
    sqlite3_finalize(company);
    sqlite3_finalize(contact);
    exec(db, "COMMIT");
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
}

// The query the window runs, as plain sqlite3 would run it, reading the
// full names the selector lists.
int plainQuery(const char* where) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray sql =
        QByteArray("SELECT TABLE01.AUTONUMBER, TABLE01.TEXT01, TABLE03.TEXT11 FROM "
                   "TABLE01 INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = "
                   "TABLE03.NUMBER01 WHERE ") +
        where + " ORDER BY TABLE03.TEXT02";
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, sql.constData(), -1, &query, nullptr);
    QStringList names;
    while (sqlite3_step(query) == SQLITE_ROW)
        names.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(query, 2)),
                                       sqlite3_column_bytes(query, 2)));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return int(names.size());
}

void closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    SqliteConnection::closeShared(databasePath());
    SqliteConnection::closeShared(QDir(folder).filePath("User.mdb"));
}

FormContactsAll* openWindow() {
    auto* form = qobject_cast<FormContactsAll*>(Forms::show("FormContactsAll"));
    if (!QTest::qWaitForWindowExposed(form))
        qFatal("the all-contacts window was not shown");
    return form;
}

void PlainAllContacts(benchmark::State& state) {
    for (auto _ : state)
        if (plainQuery("TABLE01.TEXT20 = 'Company'") != activeCompanies() * ContactsPerCompany)
            state.SkipWithError("wrong row count");
}

void OpenAllContacts(benchmark::State& state) {
    for (auto _ : state) {
        FormContactsAll* form = openWindow();
        if (form->data()->rowCount() != activeCompanies() * ContactsPerCompany) {
            state.SkipWithError("the window does not list every active contact");
            break;
        }
        state.PauseTiming();
        closeWindows();
        state.ResumeTiming();
    }
}

void PlainKeyword(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            plainQuery("TABLE03.MEMO02 LIKE '%golf%' AND TABLE01.TEXT20 = 'Company'"));
}

void KeywordFilter(benchmark::State& state) {
    FormContactsAll* form = openWindow();
    auto* filter = form->findChild<QLineEdit*>("TextFilter");
    auto* go = form->findChild<QPushButton*>("CommandGo");
    for (auto _ : state) {
        filter->setText("golf");
        go->click();
        if (form->data()->rowCount() == 0) {
            state.SkipWithError("the filter found nobody");
            break;
        }
    }
    closeWindows();
}

// One template merged to the 1,000 contacts with the keyword "vip".
void MergeToAll(benchmark::State& state, const char* createButton) {
    for (auto _ : state) {
        state.PauseTiming();
        FormContactsAll* form = openWindow();
        form->findChild<QLineEdit*>("TextFilter")->setText("vip");
        form->findChild<QPushButton*>("CommandGo")->click();
        form->findChild<QPushButton*>("CommandMailMerge")->click();
        form->findChild<QPushButton*>(createButton)->click();
        auto* editor = qobject_cast<FormMailMerge*>(Forms::loaded("FormMailMerge"));
        editor->findChild<QLineEdit*>("TextSubject")->setText("Spring offer");
        editor->document()->setText("Dear friend,\nour prices fall this spring.\nKind regards");
        editor->CommandDone_Click();
        const int listed = form->data()->rowCount();
        if (listed != plainQuery("TABLE03.MEMO02 LIKE '%vip%' AND TABLE01.TEXT20 = 'Company'")) {
            state.SkipWithError(qPrintable(QString("%1 contacts listed").arg(listed)));
            break;
        }
        state.counters["contacts"] = listed;
        state.ResumeTiming();
        form->CommandMergeAll_Click();
        state.PauseTiming();
        closeWindows();
        sqlite3* db = nullptr;
        sqlite3_open(databasePath().toUtf8().constData(), &db);
        exec(db, "DELETE FROM TABLE09");
        sqlite3_close(db);
        QDir(QDir(folder).filePath("Outlook")).removeRecursively();
        state.ResumeTiming();
    }
}

void MergeLetters(benchmark::State& state) {
    MergeToAll(state, "CommandCreateLetter");
}

void MergeEMails(benchmark::State& state) {
    MergeToAll(state, "CommandCreateEMail");
}

} // namespace

BENCHMARK(PlainAllContacts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(OpenAllContacts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PlainKeyword)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(KeywordFilter)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MergeLetters)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(MergeEMails)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    std::vector<char*> args = BenchFolder::options(argc, argv, {{"--companies=", &companies}});
    folder = BenchFolder::path("tessaly-bench-contactsall");
    qputenv("TESSALY_HOME", folder.toUtf8());
    QApplication app(argc, argv);
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    MsgBox::installTestHook(); // the merge's closing message would stop the run
    Desktop::record();         // the merged letters are not opened
    makeFolder();
    QDir::setCurrent(folder);
    registerForms();
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (const double ratio = reporter.ratio("OpenAllContacts", "PlainAllContacts"))
        printf("\nOpen all contacts / plain query: %.2fx (%d companies, %d contacts)\n", ratio,
               companies, companies * ContactsPerCompany);
    if (const double ratio = reporter.ratio("KeywordFilter", "PlainKeyword"))
        printf("Keyword filter / plain query: %.2fx\n", ratio);
    for (const char* merge : {"MergeLetters", "MergeEMails"})
        if (const double seconds = reporter.seconds(merge))
            printf("%s: %.0f ms for the contacts with the keyword VIP\n", merge, 1000 * seconds);
    for (const MsgBox::Shown& shown : MsgBox::shown())
        printf("message shown: %s\n", qPrintable(shown.text));
    benchmark::Shutdown();
    return 0;
}
