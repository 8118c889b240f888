#pragma once

#include "data/Installation.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

#include <initializer_list>
#include <sqlite3.h>
#include <sys/resource.h>
#include <utility>
#include <vector>

// What the benchmarks share: a program folder made once in $TMPDIR and
// reused while its database holds what the run asks for, plain SQL on it,
// the size options on the command line and the peak memory.
namespace BenchFolder {

inline QString path(const char* name) {
    return QDir(qEnvironmentVariable("TMPDIR", "/tmp")).filePath(QLatin1String(name));
}

inline QString database(const QString& folder) {
    return QDir(folder).filePath("TESSALY.mdb");
}

inline void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK)
        qFatal("%s: %s", sql, message);
}

inline sqlite3* open(const QString& folder) {
    sqlite3* db = nullptr;
    if (sqlite3_open(database(folder).toUtf8().constData(), &db) != SQLITE_OK)
        qFatal("%s: %s", qPrintable(database(folder)), sqlite3_errmsg(db));
    return db;
}

// The numbers of the one row `sql` gives on the folder's database; empty
// when the folder has no databases yet.
inline QList<int> counts(const QString& folder, const char* sql) {
    if (!QFile::exists(database(folder)) || !QFile::exists(QDir(folder).filePath("User.mdb")))
        return {};
    sqlite3* db = open(folder);
    sqlite3_stmt* statement = nullptr;
    QList<int> numbers;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            numbers.append(sqlite3_column_int(statement, i));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return numbers;
}

// A new program folder with its empty databases, as the first start makes it.
inline void install(const QString& folder) {
    QDir(folder).removeRecursively();
    QDir().mkpath(folder);
    QString error;
    if (!Installation::run(folder, &error))
        qFatal("%s", qPrintable(error));
    QFile::rename(QDir(folder).filePath("Temp.mdb"), database(folder));
}

// Takes the options --name=N (the names given with their "--" and "=") out
// of the command line into their numbers; the rest is the benchmark
// library's.
inline std::vector<char*> options(int argc, char** argv,
                                  std::initializer_list<std::pair<const char*, int*>> sizes) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        bool taken = false;
        for (const auto& [name, value] : sizes) {
            if (arg.startsWith(name)) {
                *value = arg.mid(qsizetype(qstrlen(name))).toInt();
                taken = true;
            }
        }
        if (!taken)
            rest.push_back(argv[i]);
    }
    return rest;
}

inline long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace BenchFolder
