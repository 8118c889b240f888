#include "BlankCompanies.h"

#include "SqliteConnection.h"
#include "SqliteStatement.h"
#include "Transaction.h"

#include <QElapsedTimer>
#include <sqlite3.h>

namespace {

// Tables whose rows belong to a company by its key in NUMBER01.
const char* const OwnedTables[] = {"TABLE03", "TABLE05", "TABLE06",
                                   "TABLE08", "TABLE09", "TABLE10"};

QString ownsSomething() {
    QStringList parts;
    for (const char* table : OwnedTables)
        parts << QStringLiteral("EXISTS (SELECT 1 FROM \"%1\" WHERE \"NUMBER01\" = ?1)")
                     .arg(QLatin1String(table));
    return QStringLiteral("SELECT ") + parts.join(QStringLiteral(" OR "));
}

} // namespace

BlankCompanies::BlankCompanies(std::shared_ptr<SqliteConnection> connection)
    : m_connection(std::move(connection)) {}

bool BlankCompanies::step(int budgetMs, QString* error) {
    if (m_done)
        return true;
    QElapsedTimer slice;
    slice.start();
    Transaction transaction(*m_connection);
    if (!transaction.begin(error))
        return false;
    qint64 after = m_after;
    int removed = 0, kept = 0;
    bool finished = false;
    while (!finished && slice.elapsed() < budgetMs) {
        SqliteStatement next = m_connection->cached(
            QStringLiteral("SELECT \"AUTONUMBER\" FROM \"TABLE01\" WHERE (\"TEXT01\" IS NULL OR "
                           "\"TEXT01\" = '') AND \"AUTONUMBER\" > ? ORDER BY \"AUTONUMBER\" "
                           "LIMIT 1"),
            error);
        if (!next.isValid())
            return false;
        next.bindInt(1, after);
        const int rc = next.step();
        if (rc == SQLITE_DONE) {
            finished = true;
            break;
        }
        if (rc != SQLITE_ROW) {
            if (error)
                *error = m_connection->lastError();
            return false;
        }
        after = next.intValue(0);
        next = SqliteStatement();
        SqliteStatement owns = m_connection->cached(ownsSomething(), error);
        if (!owns.isValid())
            return false;
        owns.bindInt(1, after);
        if (owns.step() != SQLITE_ROW) {
            if (error)
                *error = m_connection->lastError();
            return false;
        }
        const bool owning = owns.intValue(0) != 0;
        owns = SqliteStatement();
        if (owning) {
            ++kept;
            continue;
        }
        SqliteStatement erase = m_connection->cached(
            QStringLiteral("DELETE FROM \"TABLE01\" WHERE \"AUTONUMBER\" = ?"), error);
        if (!erase.isValid())
            return false;
        erase.bindInt(1, after);
        if (erase.step() != SQLITE_DONE) {
            if (error)
                *error = m_connection->lastError();
            return false;
        }
        ++removed;
    }
    if (removed > 0)
        m_connection->noteWrite();
    if (!transaction.commit(error))
        return false;
    m_after = after;
    m_removed += removed;
    m_kept += kept;
    m_done = finished;
    return true;
}
