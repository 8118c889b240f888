#pragma once

#include "Field.h"
#include "Keyset.h"
#include "OriginTable.h"
#include "SqliteStatement.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

class SqliteConnection;
namespace sql {
struct Select;
struct TranslatedSelect;
} // namespace sql

// Runs a record source (a table name or a SELECT of the dialect) for a
// refresh. Where its rows map one to
// one onto rows of its tables, only their keys are read, in order (keyed);
// otherwise (DISTINCT, GROUP BY, aggregates, outer joins, views) every row's
// values, read-only. Each field learns the table and column it writes to.
class ResultReader {
public:
    struct Result {
        bool keyed = false;
        std::vector<Field> fields;
        std::vector<OriginTable> tables;
        QString fromSql;
        QString selectList;
        QString rowsSql; // keyed: " FROM ... ORDER BY ...", in keyset order
        Keyset keyset;   // keyed
        std::vector<std::vector<QVariant>> snapshot; // otherwise
    };

    explicit ResultReader(std::shared_ptr<SqliteConnection> connection)
        : m_connection(std::move(connection)) {}

    // `name` is the data source's, for the messages.
    std::optional<Result> read(const QString& recordSource, const QString& name, QString* error);

private:
    std::optional<Result> read(const sql::Select& select, QString* error);
    std::vector<OriginTable> originTables(const sql::TranslatedSelect& translated) const;
    // False on a failed read; a result whose keys cannot be held (a view)
    // is left unkeyed.
    bool readKeys(const sql::TranslatedSelect& translated, Result& result, QString* error);
    bool readRows(const sql::TranslatedSelect& translated, Result& result, QString* error);
    std::vector<Field> fieldsOf(const sql::TranslatedSelect& translated,
                                const Result& result) const;

    std::shared_ptr<SqliteConnection> m_connection;
    SqliteStatement m_probe; // the result's columns, which tell each field's origin
    int m_fieldOffset = 0;   // the first column of the fields in m_probe
};
