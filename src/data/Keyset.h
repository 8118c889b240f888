#pragma once

#include <QByteArray>
#include <QHash>
#include <limits>
#include <vector>

class SqliteStatement;

// The rows of a keyed result, in order: for each row the key of its row in
// every table of the FROM clause (NullKey where a table has none, as for a
// new row that exists in one table only). A row's bookmark is its key tuple,
// so it names the same row after a delete or a refresh that keeps the row.
class Keyset {
public:
    static constexpr qint64 NullKey = std::numeric_limits<qint64>::min();

    Keyset() = default;
    explicit Keyset(int width)
        : m_width(width) {}

    int width() const { return m_width; }
    int rowCount() const { return m_rowCount; }
    qint64 key(int row, int table) const {
        return m_keys[size_t(row) * size_t(m_width) + size_t(table)];
    }

    QByteArray bookmark(int row) const;
    int rowOf(const QByteArray& bookmark) const; // -1 when no row has it
    // The key tuple at the start of a result row, in the form bookmarks take.
    static QByteArray bookmarkOf(const SqliteStatement& statement, int width);

    // Adds a row at the end; `keys` holds one key per table.
    void append(const std::vector<qint64>& keys);
    // Reads the rows a statement lists: its first width() columns are the keys.
    // Returns the statement's last step result (SQLITE_DONE when all went well).
    int appendRowsOf(SqliteStatement& statement);
    void remove(int row);

private:
    int m_width = 0;
    int m_rowCount = 0;
    std::vector<qint64> m_keys; // width() keys per row
    // Bookmark -> row, built at the first look-up and kept up to date by
    // append(); a delete moves every later row, so it is built again.
    mutable QHash<QByteArray, int> m_rowIndex;
};
