#pragma once

#include "SqlAst.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace sql {

// Visible columns of a table in declaration order (the hidden row key left
// out), or nothing when there is no such table.
using SchemaLookup = std::function<std::optional<QStringList>(const QString& table)>;

// One table of a FROM clause, in the order the text names them.
struct SourceTable {
    QString table;
    QString qualifier; // alias, or the table's own name
};

struct OutputColumn {
    QString name;      // the field name a data source shows
    QString sql;       // SQLite expression
    QString qualifier; // the table or alias a plain column reference names, else empty
};

struct TranslatedSelect {
    std::vector<OutputColumn> columns;
    std::vector<SourceTable> sources;
    QString fromSql;  // without the word FROM
    QString whereSql; // without the word WHERE; may be empty
    QString groupSql; // GROUP BY ... HAVING ..., may be empty
    QString orderSql; // without the words ORDER BY; may be empty
    bool distinct = false;
    std::optional<qint64> top;
    bool aggregate = false; // uses an aggregate function
    // Document tables whose name or text index the WHERE clause reads: they
    // must be brought up to date before the query runs (DocumentIndex).
    QStringList indexedTables;

    // Rows map one to one onto rows of the source tables, so a cursor can
    // hold their keys and write back.
    bool keyed() const { return !distinct && !aggregate && groupSql.isEmpty(); }
    QString selectList() const;
    QString sql() const; // the whole SELECT
};

// Turns a parsed statement of the desktop dialect into SQLite SQL.
//
// - names are double-quoted ([COMPETITOR'S PRODUCT] -> "COMPETITOR'S PRODUCT");
// - a & b becomes tess_concat(a, b), which treats NULL as empty text;
// - #m/d/yyyy# becomes the ISO text the date columns hold;
// - * expands to the visible columns, so the hidden row key never shows;
// - field names follow the dialect: an alias, the column's name, or
//   "TABLE.COLUMN" where two tables give the same name, Expr1000... otherwise.
// Text comparison and LIKE need no rewriting: the connection's NOCASE
// collation and like() function carry the dialect's rules.
class SqlTranslator {
public:
    explicit SqlTranslator(SchemaLookup schema);

    std::optional<TranslatedSelect> translateSelect(const Select& select, QString* error) const;
    // Any statement but a make-table (SELECT ... INTO), which the caller runs.
    std::optional<QString> translate(const Statement& statement, QString* error) const;

    // Lets a query's WHERE clause find documents by company name and by text
    // through the document indexes (see DocumentIndex); the caller brings
    // the tables in TranslatedSelect::indexedTables up to date first.
    void setUseDocumentIndexes(bool use) { m_useDocumentIndexes = use; }

    // For tables whose new rows take keys the connection chooses: the key
    // column of such a table, empty for any other. An INSERT with a column
    // list that leaves the key out then gets it from tess_newkey(table).
    void setChosenKeys(std::function<QString(const QString& table)> keyColumn) {
        m_chosenKey = std::move(keyColumn);
    }

    static QString quoteName(const QString& name);
    static QString quoteText(const QString& text);

private:
    bool expression(const ExprPtr& e, QString& out) const;
    bool function(const Expr& e, QString& out) const;
    bool whereClause(const ExprPtr& where, QString& out) const; // " WHERE ..." or nothing
    bool from(const TableRefPtr& ref, QString& out, std::vector<SourceTable>& sources) const;
    bool fail(const QString& message) const;
    std::optional<SourceTable> documentSource(const Expr& column, const QString& name) const;
    void byName(const Expr& e, QString& out) const;
    void byText(const Expr& e, QString& out) const;

    SchemaLookup m_schema;
    mutable QString m_error;
    mutable bool m_aggregate = false;
    bool m_useDocumentIndexes = false;
    std::function<QString(const QString& table)> m_chosenKey;
    mutable const std::vector<SourceTable>* m_whereSources = nullptr;
    mutable QStringList m_indexedTables;
};

} // namespace sql
