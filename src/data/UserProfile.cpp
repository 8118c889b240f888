#include "UserProfile.h"

#include "Database.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <sqlite3.h>

namespace {
const char* const Columns = "TEXT11, TEXT12, TEXT13, TEXT14, TEXT15, TEXT16";
}

UserProfile UserProfile::load(QString* error) {
    UserProfile profile;
    auto connection =
        SqliteConnection::shared(Database::resolve(QStringLiteral("User.mdb")), error);
    if (!connection)
        return profile;
    SqliteStatement query =
        connection->prepare(QStringLiteral("SELECT %1 FROM TABLE02 ORDER BY ROWKEY LIMIT 1")
                                .arg(QLatin1String(Columns)),
                            error);
    if (query.isValid() && query.step() == SQLITE_ROW) {
        profile.name = query.value(0).toString();
        profile.company = query.value(1).toString();
        profile.email = query.value(2).toString();
        profile.smtpServer = query.value(3).toString();
        profile.smtpUser = query.value(4).toString();
        profile.smtpPassword = query.value(5).toString();
    }
    return profile;
}

bool UserProfile::save(QString* error) const {
    auto connection =
        SqliteConnection::shared(Database::resolve(QStringLiteral("User.mdb")), error);
    if (!connection)
        return false;
    Transaction transaction(*connection);
    if (!transaction.begin(error))
        return false;
    SqliteStatement update = connection->prepare(
        QStringLiteral("UPDATE TABLE02 SET TEXT11 = ?, TEXT12 = ?, TEXT13 = ?, TEXT14 = ?, "
                       "TEXT15 = ?, TEXT16 = ? WHERE ROWKEY = (SELECT MIN(ROWKEY) FROM TABLE02)"),
        error);
    if (!update.isValid())
        return false;
    const QString values[] = {name, company, email, smtpServer, smtpUser, smtpPassword};
    for (int i = 0; i < 6; ++i)
        update.bind(i + 1, values[i]);
    if (update.step() != SQLITE_DONE) {
        if (error)
            *error = connection->lastError();
        return false;
    }
    update = SqliteStatement();
    return transaction.commit(error);
}
