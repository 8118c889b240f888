#pragma once

#include <QString>
#include <QStringList>

class SqliteConnection;

// The tables of the two database files.
//
// Column names are generic (TEXTnn, NUMBERnn, DATEnn, MEMOnn, AUTONUMBER) and
// their meaning is fixed per table. Types: TEXT and MEMO columns are
// TEXT COLLATE NOCASE, NUMBER columns INTEGER, DATE columns TEXT holding ISO
// 8601. Every table has an integer primary key: AUTONUMBER where the table
// has one, otherwise the hidden ROWKEY. Keys are AUTOINCREMENT, so a key is
// never handed out twice: rows point at their owner by key value alone, and a
// reused key would give a new company the rows of a removed one.
//
// Memo columns come last in each table, so that scans and sorts over the
// short columns do not read the long texts. There are no indexes on text
// columns: the connection's NOCASE collation is wider than SQLite's own, and
// an index sorted by one would mislead the other.
class Schema {
public:
    static constexpr const char* DefaultPassword = "Kelvorin";
    // Kept in the file's user_version; raised whenever a version adds tables
    // or columns. A file of a higher version is refused rather than misread.
    static constexpr int Version = 2; // 2: the document indexes

    enum class Kind { Main, User }; // TESSALY.mdb (and Temp.mdb), User.mdb

    static QStringList mainDatabaseStatements();
    // The tables of the main database, as mainDatabaseStatements creates them.
    static QStringList mainTableNames();
    static QStringList userDatabaseStatements();

    // Creates the tables and the initial rows in an empty database.
    static bool create(SqliteConnection& connection, Kind kind, QString* error);
    static bool createMainDatabase(SqliteConnection& connection, QString* error);
    static bool createUserDatabase(SqliteConnection& connection, QString* error);

    // A file of this kind at all: its core tables are there and it was not
    // written by a newer version.
    static bool recognize(SqliteConnection& connection, Kind kind, QString* error);
    // Adds the tables and columns that a file of an earlier version lacks.
    static bool upgrade(SqliteConnection& connection, Kind kind, QString* error);
    static bool upgradeUserDatabase(SqliteConnection& connection, QString* error);
    // Whole and complete: the integrity check passes and every table, column
    // and the settings row is there.
    static bool verify(SqliteConnection& connection, Kind kind, QString* error);

    // DATEnn columns hold dates; NUMBERnn, AUTONUMBER and ROWKEY whole numbers.
    static bool isDateColumn(const QString& column);
    static bool isNumberColumn(const QString& column);
};
