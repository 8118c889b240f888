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

    static QStringList mainDatabaseStatements();
    static QStringList userDatabaseStatements();

    // Creates the tables and the initial rows in an empty database.
    static bool createMainDatabase(SqliteConnection& connection, QString* error);
    static bool createUserDatabase(SqliteConnection& connection, QString* error);
    // Adds the settings columns that a User.mdb of an earlier version lacks.
    static bool upgradeUserDatabase(SqliteConnection& connection, QString* error);

    // DATEnn columns hold dates; NUMBERnn, AUTONUMBER and ROWKEY whole numbers.
    static bool isDateColumn(const QString& column);
    static bool isNumberColumn(const QString& column);
};
