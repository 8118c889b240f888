#include "Keyset.h"

#include "SqliteStatement.h"

#include <cstring>
#include <sqlite3.h>

QByteArray Keyset::bookmark(int row) const {
    return QByteArray(reinterpret_cast<const char*>(m_keys.data() + size_t(row) * size_t(m_width)),
                      qsizetype(sizeof(qint64)) * m_width);
}

int Keyset::rowOf(const QByteArray& bookmark) const {
    if (m_rowIndex.isEmpty() && m_rowCount > 0) {
        m_rowIndex.reserve(m_rowCount);
        for (int row = 0; row < m_rowCount; ++row)
            m_rowIndex.insert(this->bookmark(row), row);
    }
    return m_rowIndex.value(bookmark, -1);
}

QByteArray Keyset::bookmarkOf(const SqliteStatement& statement, int width) {
    QByteArray tuple(qsizetype(sizeof(qint64)) * width, Qt::Uninitialized);
    for (int j = 0; j < width; ++j) {
        const qint64 key = statement.isNull(j) ? NullKey : statement.intValue(j);
        std::memcpy(tuple.data() + sizeof(qint64) * size_t(j), &key, sizeof(key));
    }
    return tuple;
}

void Keyset::append(const std::vector<qint64>& keys) {
    m_keys.insert(m_keys.end(), keys.begin(), keys.end());
    const int added = m_rowCount++;
    if (!m_rowIndex.isEmpty())
        m_rowIndex.insert(bookmark(added), added);
}

int Keyset::appendRowsOf(SqliteStatement& statement) {
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        for (int j = 0; j < m_width; ++j)
            m_keys.push_back(statement.isNull(j) ? NullKey : statement.intValue(j));
        ++m_rowCount;
    }
    m_rowIndex.clear();
    return rc;
}

void Keyset::remove(int row) {
    const auto begin = m_keys.begin() + qsizetype(row) * m_width;
    m_keys.erase(begin, begin + m_width);
    --m_rowCount;
    m_rowIndex.clear();
}
