#include "KeyedReader.h"

#include "Keyset.h"
#include "SqliteConnection.h"

#include <QHash>
#include <QStringList>
#include <sqlite3.h>

namespace {

constexpr int ColumnChunk = 500;

QString placeholders(int count) {
    QStringList marks;
    marks.reserve(count);
    for (int i = 0; i < count; ++i)
        marks.append(QStringLiteral("?"));
    return marks.join(u',');
}

// Rows first .. first + count - 1 of a keyset by the key of their first
// table; the other tables' keys tell apart rows that share it.
class RowsByKey {
public:
    RowsByKey(const Keyset& keyset, int first, int count)
        : m_keyset(keyset)
        , m_first(first) {
        m_offsets.reserve(count);
        for (int i = 0; i < count; ++i)
            m_offsets.insert(keyset.key(first + i, 0), i);
    }

    // The offset from `first` of the row a result row starts with the keys
    // of; -1 when it is none of them.
    int offsetOf(const SqliteStatement& statement) const {
        const qint64 key = keyAt(statement, 0);
        for (auto it = m_offsets.constFind(key); it != m_offsets.cend() && it.key() == key; ++it) {
            bool same = true;
            for (int j = 1; j < m_keyset.width() && same; ++j)
                same = m_keyset.key(m_first + it.value(), j) == keyAt(statement, j);
            if (same)
                return it.value();
        }
        return -1;
    }

private:
    static qint64 keyAt(const SqliteStatement& statement, int table) {
        return statement.isNull(table) ? Keyset::NullKey : statement.intValue(table);
    }

    const Keyset& m_keyset;
    int m_first;
    QMultiHash<qint64, int> m_offsets;
};

} // namespace

QString KeyedReader::queryText(const QString& selectList, int chunk) const {
    QStringList keys, conditions;
    for (const OriginTable& t : m_tables) {
        const QString key = t.keyExpression();
        keys.append(key);
        conditions.append(key + QStringLiteral(" IN (") + placeholders(chunk) + u')');
    }
    return QStringLiteral("SELECT ") + keys.join(QStringLiteral(", ")) + QStringLiteral(", ") +
           selectList + QStringLiteral(" FROM ") + m_fromSql + QStringLiteral(" WHERE ") +
           conditions.join(QStringLiteral(" AND "));
}

void KeyedReader::bindKeys(SqliteStatement& statement, int first, int count, int chunk) const {
    const int w = m_keyset.width();
    for (int j = 0; j < w; ++j)
        for (int i = 0; i < chunk; ++i) {
            const int index = j * chunk + i + 1;
            const qint64 key = i < count ? m_keyset.key(first + i, j) : Keyset::NullKey;
            if (key == Keyset::NullKey)
                statement.bindNull(index);
            else
                statement.bindInt(index, key);
        }
}

bool KeyedReader::readPage(int index, const QString& selectList, PageCache::Page& into,
                           QString* error) const {
    const int first = index * PageCache::PageSize;
    const int count = std::min(PageCache::PageSize, m_keyset.rowCount() - first);
    const int w = m_keyset.width();
    SqliteStatement statement =
        m_connection.cached(queryText(selectList, PageCache::PageSize), error);
    if (!statement.isValid())
        return false;
    bindKeys(statement, first, count, PageCache::PageSize);

    into.rows.assign(size_t(count), std::vector<QVariant>());
    into.present.assign(size_t(count), false);
    const RowsByKey rowsByKey(m_keyset, first, count);
    const int fields = statement.columnCount() - w;
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        const int i = rowsByKey.offsetOf(statement);
        if (i < 0)
            continue;
        std::vector<QVariant>& row = into.rows[size_t(i)];
        row.reserve(size_t(fields));
        for (int f = 0; f < fields; ++f)
            row.push_back(statement.value(w + f));
        into.present[size_t(i)] = true;
    }
    if (rc != SQLITE_DONE) {
        *error = m_connection.lastError();
        return false;
    }
    return true;
}

bool KeyedReader::readColumnInOrder(const QString& expression,
                                    std::vector<QVariant>& values) const {
    if (m_rowsSql.isEmpty())
        return false;
    QStringList keys;
    for (const OriginTable& t : m_tables)
        keys.append(t.keyExpression());
    QString ignored;
    SqliteStatement statement =
        m_connection.prepare(QStringLiteral("SELECT ") + keys.join(QStringLiteral(", ")) +
                                 QStringLiteral(", ") + expression + m_rowsSql,
                             &ignored);
    if (!statement.isValid())
        return false;
    const int w = m_keyset.width();
    const int rows = m_keyset.rowCount();
    values.clear();
    values.reserve(size_t(rows));
    int row = 0;
    while (statement.step() == SQLITE_ROW) {
        if (row >= rows)
            return false;
        for (int j = 0; j < w; ++j) {
            const qint64 key = statement.isNull(j) ? Keyset::NullKey : statement.intValue(j);
            if (key != m_keyset.key(row, j))
                return false;
        }
        values.push_back(statement.value(w));
        ++row;
    }
    return row == rows;
}

bool KeyedReader::readColumn(const QString& expression,
                             const std::function<void(int row, const QVariant& value)>& take,
                             QString* error) const {
    if (std::vector<QVariant> values; readColumnInOrder(expression, values)) {
        for (int row = 0; row < int(values.size()); ++row)
            take(row, values[size_t(row)]);
        return true;
    }
    SqliteStatement statement = m_connection.prepare(queryText(expression, ColumnChunk), error);
    if (!statement.isValid())
        return false;
    const int w = m_keyset.width();
    const int rows = m_keyset.rowCount();
    for (int first = 0; first < rows; first += ColumnChunk) {
        const int count = std::min(ColumnChunk, rows - first);
        statement.reset();
        bindKeys(statement, first, count, ColumnChunk);
        const RowsByKey rowsByKey(m_keyset, first, count);
        while (statement.step() == SQLITE_ROW)
            if (const int offset = rowsByKey.offsetOf(statement); offset >= 0)
                take(first + offset, statement.value(w));
    }
    return true;
}
