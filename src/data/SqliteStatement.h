#pragma once

#include <QString>
#include <QVariant>

struct sqlite3_stmt;

// A prepared SQLite statement: binds QVariants, steps, and reads columns back
// as QVariants (qlonglong, double, QString, QByteArray, or null). Owns the
// statement unless it came from a connection's cache, where it is only reset.
class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(sqlite3_stmt* statement, bool owned);
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&& other) noexcept;
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    bool isValid() const { return m_statement != nullptr; }
    sqlite3_stmt* handle() const { return m_statement; }

    void bind(int index, const QVariant& value); // index from 1
    void bindNull(int index);
    void bindInt(int index, qint64 value);
    void clearBindings();

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    void reset();

    int columnCount() const;
    QString columnName(int column) const;
    QVariant value(int column) const;
    qint64 intValue(int column) const;
    bool isNull(int column) const;
    // Where a result column comes from, when it is a plain column reference.
    QString originTable(int column) const;
    QString originColumn(int column) const;
    QString declaredType(int column) const;

private:
    void release();

    sqlite3_stmt* m_statement = nullptr;
    bool m_owned = false;
};
