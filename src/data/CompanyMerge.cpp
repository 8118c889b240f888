#include "CompanyMerge.h"

#include "SqliteConnection.h"
#include "SqliteStatement.h"
#include "Transaction.h"

#include <sqlite3.h>

namespace CompanyMerge {

namespace {

// Tables whose rows belong to a company by its key in NUMBER01. Action
// steps belong to projects and move with them.
const char* const OwnedTables[] = {"TABLE03", "TABLE05", "TABLE06",
                                   "TABLE08", "TABLE09", "TABLE10"};
// Documents the browsers also find by the company's name in TEXT01.
const char* const NamedTables[] = {"TABLE08", "TABLE09"};

std::function<void(int)>& writeHook() {
    static std::function<void(int)> hook;
    return hook;
}

class Runner {
public:
    Runner(SqliteConnection& connection, QString* error)
        : m_connection(connection)
        , m_error(error) {}

    // Runs one statement with its values; the rows it changed, or -1.
    int run(const QString& sql, const QVariantList& values) {
        SqliteStatement statement = m_connection.prepare(sql, m_error);
        if (!statement.isValid())
            return -1;
        for (int i = 0; i < values.size(); ++i)
            statement.bind(i + 1, values.at(i));
        if (statement.step() != SQLITE_DONE) {
            if (m_error)
                *m_error = m_connection.lastError();
            return -1;
        }
        const int changed = sqlite3_changes(m_connection.handle());
        if (writeHook())
            writeHook()(++m_writes);
        return changed;
    }

    // The name of company `key`, or nothing when there is no such row.
    std::optional<QString> name(qint64 key) {
        SqliteStatement statement = m_connection.prepare(
            QStringLiteral("SELECT COALESCE(TEXT01, '') FROM TABLE01 WHERE AUTONUMBER = ?"),
            m_error);
        if (!statement.isValid())
            return std::nullopt;
        statement.bind(1, key);
        if (statement.step() != SQLITE_ROW)
            return std::nullopt;
        return statement.value(0).toString();
    }

private:
    SqliteConnection& m_connection;
    QString* m_error;
    int m_writes = 0;
};

} // namespace

void setWriteHook(std::function<void(int)> hook) {
    writeHook() = std::move(hook);
}

bool merge(SqliteConnection& connection, qint64 keep, const QList<qint64>& others, Result* result,
           QString* error) {
    Result done;
    Transaction transaction(connection);
    if (!transaction.begin(error))
        return false;
    Runner runner(connection, error);
    const auto keptName = runner.name(keep);
    if (!keptName) {
        if (error && error->isEmpty())
            *error = QStringLiteral("The company to keep is no longer in the database.");
        return false;
    }
    const auto columns = connection.visibleColumns(QStringLiteral("TABLE01"));
    if (!columns) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    const QString key = connection.keyColumn(QStringLiteral("TABLE01"));

    QList<qint64> seen;
    for (const qint64 other : others) {
        if (other == keep || seen.contains(other))
            continue;
        seen.append(other);
        const auto otherName = runner.name(other);
        if (!otherName)
            continue;
        for (const char* table : OwnedTables) {
            const int moved =
                runner.run(QStringLiteral("UPDATE \"%1\" SET NUMBER01 = ? WHERE NUMBER01 = ?")
                               .arg(QLatin1String(table)),
                           {keep, other});
            if (moved < 0)
                return false;
            done.moved += moved;
        }
        if (*otherName != *keptName && !otherName->isEmpty()) {
            for (const char* table : NamedTables) {
                const int renamed =
                    runner.run(QStringLiteral("UPDATE \"%1\" SET TEXT01 = ? WHERE TEXT01 = ? AND "
                                              "(NUMBER01 IS NULL OR NUMBER01 <> ?)")
                                   .arg(QLatin1String(table)),
                               {*keptName, *otherName, keep});
                if (renamed < 0)
                    return false;
                done.moved += renamed;
                // Rows that moved by key keep their name in step with their owner.
                if (runner.run(QStringLiteral("UPDATE \"%1\" SET TEXT01 = ? WHERE TEXT01 = ?")
                                   .arg(QLatin1String(table)),
                               {*keptName, *otherName}) < 0)
                    return false;
            }
            if (runner.run(QStringLiteral("UPDATE TABLE10 SET TEXT07 = ? WHERE NUMBER01 = ? AND "
                                          "TEXT07 = ?"),
                           {*keptName, keep, *otherName}) < 0)
                return false;
        }
        for (const QString& column : *columns) {
            if (column.compare(key, Qt::CaseInsensitive) == 0)
                continue;
            const QString quoted = u'"' + column + u'"';
            const int filled = runner.run(
                QStringLiteral("UPDATE TABLE01 SET %1 = (SELECT o.%1 FROM TABLE01 o WHERE "
                               "o.\"%2\" = ?1) WHERE \"%2\" = ?2 AND (%1 IS NULL OR %1 = '') AND "
                               "EXISTS (SELECT 1 FROM TABLE01 o WHERE o.\"%2\" = ?1 AND o.%1 IS "
                               "NOT NULL AND o.%1 <> '')")
                    .arg(quoted, key),
                {other, keep});
            if (filled < 0)
                return false;
            done.filled += filled;
        }
        const int removed =
            runner.run(QStringLiteral("DELETE FROM TABLE01 WHERE \"%1\" = ?").arg(key), {other});
        if (removed < 0)
            return false;
        done.removed += removed;
    }
    if (!transaction.commit(error))
        return false;
    connection.noteWrite();
    if (result)
        *result = done;
    return true;
}

} // namespace CompanyMerge
