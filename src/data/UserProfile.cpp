#include "UserProfile.h"

#include "Database.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QStringList>
#include <array>
#include <sqlite3.h>

namespace {
constexpr int ColumnCount = 13; // TEXT11 .. TEXT23

QString columnName(int i) {
    return QStringLiteral("TEXT%1").arg(11 + i);
}

QString columnList() {
    QStringList names;
    for (int i = 0; i < ColumnCount; ++i)
        names.append(columnName(i));
    return names.join(QStringLiteral(", "));
}

// The profile's values in the order of its columns.
std::array<QString*, ColumnCount> valuesOf(UserProfile& p) {
    return {&p.name,         &p.company,          &p.email,      &p.smtpServer, &p.smtpUser,
            &p.smtpPassword, &p.streetAddress,    &p.postalCode, &p.city,       &p.telephone,
            &p.telefax,      &p.registeredOffice, &p.bankDetails};
}
} // namespace

UserProfile UserProfile::load(QString* error) {
    UserProfile profile;
    auto connection =
        SqliteConnection::shared(Database::resolve(QStringLiteral("User.mdb")), error);
    if (!connection)
        return profile;
    SqliteStatement query = connection->prepare(
        QStringLiteral("SELECT %1 FROM TABLE02 ORDER BY ROWKEY LIMIT 1").arg(columnList()), error);
    if (query.isValid() && query.step() == SQLITE_ROW) {
        const auto values = valuesOf(profile);
        for (int i = 0; i < ColumnCount; ++i)
            *values[size_t(i)] = query.value(i).toString();
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
    QStringList assignments;
    for (int i = 0; i < ColumnCount; ++i)
        assignments.append(columnName(i) + QStringLiteral(" = ?"));
    SqliteStatement update = connection->prepare(
        QStringLiteral("UPDATE TABLE02 SET %1 WHERE ROWKEY = (SELECT MIN(ROWKEY) FROM TABLE02)")
            .arg(assignments.join(QStringLiteral(", "))),
        error);
    if (!update.isValid())
        return false;
    UserProfile copy = *this;
    const auto values = valuesOf(copy);
    for (int i = 0; i < ColumnCount; ++i)
        update.bind(i + 1, *values[size_t(i)]);
    if (update.step() != SQLITE_DONE) {
        if (error)
            *error = connection->lastError();
        return false;
    }
    update = SqliteStatement();
    return transaction.commit(error);
}
