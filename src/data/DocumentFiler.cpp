#include "DocumentFiler.h"

#include "Columns.h"
#include "Database.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QStringList>
#include <sqlite3.h>

namespace {

// Binds the values to the "?" placeholders in order and runs the statement.
bool run(SqliteConnection& connection, const QString& sql, const QVariantList& values,
         QString* error) {
    SqliteStatement statement = connection.prepare(sql, error);
    if (!statement.isValid())
        return false;
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values.at(i));
    if (statement.step() != SQLITE_DONE) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    return true;
}

} // namespace

std::optional<qint64> DocumentFiler::store(const QString& table, qint64 company,
                                           const Values& values, std::optional<qint64> replace,
                                           QString* error, bool* companyMissing) {
    if (companyMissing)
        *companyMissing = false;
    QStringList columns, placeholders;
    QVariantList bound;
    for (const auto& [column, value] :
         Values{{DocumentColumn::Company, QVariant(company)}} + values) {
        columns.append(sql::SqlTranslator::quoteName(column));
        placeholders.append(QStringLiteral("?"));
        bound.append(value);
    }
    const auto connection =
        SqliteConnection::shared(Database::resolve(QStringLiteral("TESSALY.mdb")), error);
    if (!connection)
        return std::nullopt;
    const QString name = sql::SqlTranslator::quoteName(table);
    Transaction transaction(*connection);
    if (!transaction.begin(error))
        return std::nullopt;
    // The company is looked up in the same transaction as the row is written.
    int found = SQLITE_ERROR;
    {
        SqliteStatement exists =
            connection->prepare(QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?")
                                    .arg(sql::SqlTranslator::quoteName(QStringLiteral("TABLE01")),
                                         sql::SqlTranslator::quoteName(CompanyColumn::Key)),
                                error);
        if (!exists.isValid())
            return std::nullopt;
        exists.bindInt(1, company);
        found = exists.step();
        exists.reset();
    }
    if (found == SQLITE_DONE) {
        if (companyMissing)
            *companyMissing = true;
        if (error)
            *error = QStringLiteral("The company of the document no longer exists.");
        return std::nullopt;
    }
    if (found != SQLITE_ROW) {
        if (error)
            *error = connection->lastError();
        return std::nullopt;
    }
    qint64 key = 0;
    bool stored = false;
    if (replace) {
        if (!run(*connection,
                 QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                     .arg(name, columns.join(QStringLiteral(" = ?, ")),
                          sql::SqlTranslator::quoteName(connection->keyColumn(table))),
                 bound + QVariantList{*replace}, error))
            return std::nullopt;
        stored = sqlite3_changes(connection->handle()) > 0;
        key = *replace;
    }
    if (!stored) {
        if (const auto newKey = connection->newKey(table)) {
            columns.append(sql::SqlTranslator::quoteName(connection->keyColumn(table)));
            placeholders.append(QStringLiteral("?"));
            bound.append(*newKey);
        }
        if (!run(*connection,
                 QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                     .arg(name, columns.join(QStringLiteral(", ")),
                          placeholders.join(QStringLiteral(", "))),
                 bound, error))
            return std::nullopt;
        key = sqlite3_last_insert_rowid(connection->handle());
    }
    if (!transaction.commit(error))
        return std::nullopt;
    return key;
}
