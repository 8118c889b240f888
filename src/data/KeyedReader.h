#pragma once

#include "OriginTable.h"
#include "PageCache.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <vector>

class Keyset;
class SqliteConnection;
class SqliteStatement;

// Reads values of a keyed result's rows by their keys. A statement selects
// the rows of the FROM clause whose keys are among a chunk of the keyset's,
// so a row that has gone from its table since the refresh simply does not
// come; the key tuple each result row starts with tells which row it is.
class KeyedReader {
public:
    // `rowsSql` lists the rows in the keyset's order (" FROM ... WHERE ...
    // ORDER BY ..."), as the refresh read them; empty when unknown.
    KeyedReader(SqliteConnection& connection, const Keyset& keyset,
                const std::vector<OriginTable>& tables, const QString& fromSql,
                const QString& rowsSql = QString())
        : m_connection(connection)
        , m_keyset(keyset)
        , m_tables(tables)
        , m_fromSql(fromSql)
        , m_rowsSql(rowsSql) {}

    // The rows of one page, every expression of `selectList` for each; the
    // error is set only when the rows cannot be read.
    bool readPage(int index, const QString& selectList, PageCache::Page& into,
                  QString* error) const;
    // One expression for every row still in its tables: in one pass in the
    // keyset's order while the rows are as the refresh found them, else in
    // chunks of rows by their keys.
    bool readColumn(const QString& expression,
                    const std::function<void(int row, const QVariant& value)>& take,
                    QString* error) const;

private:
    // The one pass; false when the rows no longer come as the keyset lists
    // them (a row added, gone or moved), and nothing is taken then.
    bool readColumnInOrder(const QString& expression, std::vector<QVariant>& values) const;
    // SELECT keys, selectList ... WHERE each key IN (chunk placeholders)
    QString queryText(const QString& selectList, int chunk) const;
    // The keys of rows first .. first + count - 1; NULL for the rest of the chunk.
    void bindKeys(SqliteStatement& statement, int first, int count, int chunk) const;

    SqliteConnection& m_connection;
    const Keyset& m_keyset;
    const std::vector<OriginTable>& m_tables;
    const QString& m_fromSql;
    QString m_rowsSql;
};
