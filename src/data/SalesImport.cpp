#include "SalesImport.h"

#include "Database.h"
#include "SheetSource.h"
#include "SqlQuote.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"
#include "SqliteStatement.h"
#include "Transaction.h"

#include <sqlite3.h>

namespace SalesImport {

namespace {

// Where the new figures are built before they replace the old.
const QString Staging = QStringLiteral("SALES_IMPORT");

QString headerText(const QVariant& value) {
    return value.toString().trimmed();
}

// Whether the first row of the sheet names `column` (letter case aside).
bool hasColumn(const SheetTable& sheet, const QString& column) {
    for (int c = 0; c < sheet.columnCount(); ++c)
        if (headerText(sheet.cell(0, c)).compare(column.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

std::optional<int> run(const QString& database, const Settings& settings, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<int> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    QString sheetName = settings.sheet.trimmed();
    if (sheetName.endsWith(u'$'))
        sheetName.chop(1);
    const QString account = settings.accountColumn.trimmed();
    const QString date = settings.dateColumn.trimmed();
    if (settings.path.trimmed().isEmpty() || sheetName.isEmpty() || account.isEmpty() ||
        date.isEmpty())
        return fail(QStringLiteral("The workbook, the sheet name, the account column and the "
                                   "date column must all be named."));

    // The workbook is read whole before the database is touched.
    QString message;
    const auto sheet = SheetSource::read(settings.path, sheetName, &message);
    if (!sheet)
        return fail(message);
    if (sheet->rowCount() == 0)
        return fail(QStringLiteral("The worksheet '%1' is empty: its first row must hold the "
                                   "column names.")
                        .arg(sheetName));
    for (const QString& column : {account, date})
        if (!hasColumn(*sheet, column))
            return fail(QStringLiteral("The worksheet '%1' has no column named '%2' in its "
                                       "first row.")
                            .arg(sheet->name, column));

    const auto connection = SqliteConnection::shared(Database::resolve(database), &message);
    if (!connection)
        return fail(message);
    Transaction transaction(*connection);
    if (!transaction.begin(&message))
        return fail(message);
    const QString staging = sql::SqlTranslator::quoteName(Staging);
    const QString table = sql::SqlTranslator::quoteName(Table);
    if (!connection->execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(staging), &message))
        return fail(message);
    if (!Database::makeTable(*connection, Staging, *sheet, &message))
        return fail(message);
    if (!connection->execute(QStringLiteral("DROP TABLE IF EXISTS %1").arg(table), &message) ||
        !connection->execute(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(staging, table),
                             &message) ||
        !connection->execute(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                                 .arg(sql::SqlTranslator::quoteName(Table + "_ACCOUNT"), table,
                                      sql::SqlTranslator::quoteName(account)),
                             &message))
        return fail(message);
    int imported = 0;
    {
        SqliteStatement count =
            connection->prepare(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table), &message);
        if (!count.isValid() || count.step() != SQLITE_ROW)
            return fail(message);
        imported = count.value(0).toInt();
    }
    if (!transaction.commit(&message))
        return fail(message);
    connection->noteWrite();
    return imported;
}

QString companySource(const QString& accountColumn, const QString& dateColumn,
                      const QString& accountNumber) {
    const QString account = QStringLiteral("[SALES].") + SqlQuote::name(accountColumn.trimmed());
    const QString order = QStringLiteral("[SALES].") + SqlQuote::name(dateColumn.trimmed());
    if (accountNumber.isEmpty())
        return QStringLiteral("SELECT * FROM SALES WHERE ((") + account +
               QStringLiteral(" IS NULL OR ") + account + QStringLiteral(" = '')) ORDER BY ") +
               order + QStringLiteral(" DESC");
    return QStringLiteral("SELECT * FROM SALES WHERE (((") + account + QStringLiteral(") =  '") +
           SqlQuote::text(accountNumber) + QStringLiteral("' )) ORDER BY ") + order +
           QStringLiteral(" DESC");
}

} // namespace SalesImport
