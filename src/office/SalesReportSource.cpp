#include "SalesReportSource.h"

#include "ReportData.h"
#include "data/Database.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"

#include <sqlite3.h>

namespace SalesReportSource {

namespace {

const QString UserDatabase = QStringLiteral("User.mdb");

std::shared_ptr<SqliteConnection> userDatabase(QString* error) {
    return SqliteConnection::shared(Database::resolve(UserDatabase), error);
}

} // namespace

QString dateColumn(QString* error) {
    const auto connection = userDatabase(error);
    if (!connection)
        return {};
    SqliteStatement query = connection->prepare(
        QStringLiteral("SELECT TEXT08 FROM TABLE02 ORDER BY ROWKEY LIMIT 1"), error);
    if (query.isValid() && query.step() == SQLITE_ROW)
        return query.value(0).toString().trimmed();
    return {};
}

bool imported() {
    const auto connection = userDatabase(nullptr);
    return connection && connection->tableExists(QStringLiteral("SALES"));
}

Status captureToClipboard(const QString& dateColumn, QString* error) {
    if (!imported())
        return Status::NotImported;
    if (dateColumn.trimmed().isEmpty())
        return Status::NoDateColumn;
    if (!ReportData::captureToClipboard(UserDatabase,
                                        ReportData::salesRecordSource(dateColumn.trimmed()), error))
        return Status::Failed;
    return Status::Captured;
}

} // namespace SalesReportSource
