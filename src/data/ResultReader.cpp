#include "ResultReader.h"

#include "Database.h"
#include "DocumentIndex.h"
#include "SqlParser.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"

#include <QRegularExpression>
#include <QStringList>
#include <sqlite3.h>

namespace {

// A record source that is a bare table name: "TABLE02", "[COMPETITION$]".
std::optional<QString> tableName(const QString& source) {
    static const QRegularExpression bare(QStringLiteral("^\\w+$"),
                                         QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression bracketed(QStringLiteral("^\\[([^\\]]+)\\]$"));
    if (bare.match(source).hasMatch() && !sql::isReservedWord(source))
        return source;
    if (const auto m = bracketed.match(source); m.hasMatch())
        return m.captured(1);
    return std::nullopt;
}

bool hasOuterJoin(const sql::TableRefPtr& ref) {
    if (ref->kind != sql::TableRef::Kind::Join)
        return false;
    return ref->joinType != QLatin1String("INNER") || hasOuterJoin(ref->left) ||
           hasOuterJoin(ref->right);
}

bool hasOuterJoin(const sql::Select& select) {
    for (const auto& ref : select.from)
        if (hasOuterJoin(ref))
            return true;
    return false;
}

} // namespace

std::optional<ResultReader::Result> ResultReader::read(const QString& recordSource,
                                                       const QString& name, QString* error) {
    QString text = recordSource.trimmed();
    if (text.isEmpty()) {
        *error = QStringLiteral("The data source %1 has no record source.").arg(name);
        return std::nullopt;
    }
    if (const auto table = tableName(text))
        text = QStringLiteral("SELECT * FROM [%1]").arg(*table);
    const auto statement = sql::SqlParser::parse(text, error);
    if (!statement)
        return std::nullopt;
    if (statement->kind != sql::Statement::Kind::Select || !statement->select.into.isEmpty()) {
        *error = QStringLiteral("The record source of %1 must be a table name or a SELECT query.")
                     .arg(name);
        return std::nullopt;
    }
    return read(statement->select, error);
}

std::optional<ResultReader::Result> ResultReader::read(const sql::Select& select, QString* error) {
    auto translator = Database::translator(m_connection);
    translator.setUseDocumentIndexes(true);
    const auto translated = translator.translateSelect(select, error);
    if (!translated)
        return std::nullopt;
    for (const QString& table : translated->indexedTables)
        if (!DocumentIndex::update(*m_connection, table, error))
            return std::nullopt;
    Result result;
    result.tables = originTables(*translated);
    result.fromSql = translated->fromSql;
    result.selectList = translated->selectList();
    result.keyed = translated->keyed() && !hasOuterJoin(select) && !result.tables.empty();
    if (result.keyed && !readKeys(*translated, result, error))
        return std::nullopt;
    if (!result.keyed && !readRows(*translated, result, error))
        return std::nullopt;
    result.fields = fieldsOf(*translated, result);
    return result;
}

std::vector<OriginTable> ResultReader::originTables(const sql::TranslatedSelect& translated) const {
    std::vector<OriginTable> tables;
    for (const sql::SourceTable& s : translated.sources)
        tables.push_back({s.table, s.qualifier, m_connection->keyColumn(s.table)});
    return tables;
}

bool ResultReader::readKeys(const sql::TranslatedSelect& translated, Result& result,
                            QString* error) {
    QStringList keyExpressions;
    for (const OriginTable& t : result.tables)
        keyExpressions.append(t.keyExpression());
    const QString keyList = keyExpressions.join(QStringLiteral(", "));
    QString rowsSql = QStringLiteral(" FROM ") + translated.fromSql;
    if (!translated.whereSql.isEmpty())
        rowsSql += QStringLiteral(" WHERE ") + translated.whereSql;
    // Without an order of its own a result lists rows in the order they
    // were stored, whatever index the engine happens to read.
    rowsSql += QStringLiteral(" ORDER BY ") +
               (translated.orderSql.isEmpty() ? keyList : translated.orderSql);
    if (translated.top)
        rowsSql += QStringLiteral(" LIMIT %1").arg(*translated.top);
    const QString keySql = QStringLiteral("SELECT ") + keyList + rowsSql;

    QString unkeyable;
    m_probe = m_connection->prepare(QStringLiteral("SELECT ") + keyList + QStringLiteral(", ") +
                                        translated.selectList() + QStringLiteral(" FROM ") +
                                        translated.fromSql,
                                    &unkeyable);
    SqliteStatement keyQuery =
        m_probe.isValid() ? m_connection->prepare(keySql, &unkeyable) : SqliteStatement();
    if (!m_probe.isValid() || !keyQuery.isValid()) {
        // Views and the like have no keys to hold: read the rows instead.
        result.keyed = false;
        m_probe = SqliteStatement();
        return true;
    }
    m_fieldOffset = int(result.tables.size());
    result.rowsSql = rowsSql;
    result.keyset = Keyset(int(result.tables.size()));
    if (result.keyset.appendRowsOf(keyQuery) != SQLITE_DONE) {
        *error = m_connection->lastError();
        return false;
    }
    return true;
}

bool ResultReader::readRows(const sql::TranslatedSelect& translated, Result& result,
                            QString* error) {
    m_probe = m_connection->prepare(translated.sql(), error);
    if (!m_probe.isValid())
        return false;
    m_fieldOffset = 0;
    int rc;
    while ((rc = m_probe.step()) == SQLITE_ROW) {
        std::vector<QVariant> row;
        row.reserve(size_t(m_probe.columnCount()));
        for (int c = 0; c < m_probe.columnCount(); ++c)
            row.push_back(m_probe.value(c));
        result.snapshot.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        *error = m_connection->lastError();
        return false;
    }
    return true;
}

std::vector<Field> ResultReader::fieldsOf(const sql::TranslatedSelect& translated,
                                          const Result& result) const {
    const std::vector<OriginTable>& tables = result.tables;
    std::vector<Field> fields;
    for (size_t i = 0; i < translated.columns.size(); ++i) {
        const int c = m_fieldOffset + int(i);
        Field field;
        field.name = translated.columns[i].name;
        field.sql = translated.columns[i].sql;
        field.column = m_probe.originColumn(c);
        const QString origin = m_probe.originTable(c);
        if (!field.column.isEmpty()) {
            field.kind = FieldFormat::kindOf(m_probe.declaredType(c), field.column);
            // A column named through its alias belongs to that alias's row:
            // in a join of a table with itself both rows come from one table.
            const QString& qualifier = translated.columns[i].qualifier;
            for (size_t t = 0; t < tables.size() && field.source < 0; ++t)
                if (!qualifier.isEmpty() &&
                    tables[t].qualifier.compare(qualifier, Qt::CaseInsensitive) == 0 &&
                    tables[t].table.compare(origin, Qt::CaseInsensitive) == 0)
                    field.source = int(t);
            for (size_t t = 0; t < tables.size() && field.source < 0; ++t)
                if (tables[t].table.compare(origin, Qt::CaseInsensitive) == 0)
                    field.source = int(t);
            field.updatable = result.keyed && field.source >= 0 &&
                              field.column.compare(tables[size_t(field.source)].keyColumn,
                                                   Qt::CaseInsensitive) != 0;
        }
        fields.push_back(field);
    }
    return fields;
}
