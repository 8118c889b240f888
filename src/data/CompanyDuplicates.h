#pragma once

#include "CompanyMatch.h"

#include <QList>
#include <QString>
#include <optional>

class SqliteConnection;

// The companies of the database as duplicate matching sees them, active and
// archived alike.
namespace CompanyDuplicates {

struct Stored {
    qint64 key = 0;
    CompanyMatch::Company company;
    QString status; // "Company" or "Archive"
};

// Every company row, in name order; nothing, with the reason, on a failed read.
std::optional<QList<Stored>> read(SqliteConnection& connection, QString* error);

// The stored companies that are likely the same as `company`, strongest
// match first, then by name; `except` (a row's own key) is left out.
std::optional<QList<Stored>> matchesOf(SqliteConnection& connection,
                                       const CompanyMatch::Company& company, qint64 except,
                                       QString* error);

// The groups of likely duplicates, largest first (see CompanyMatch).
std::optional<QList<QList<Stored>>> groups(SqliteConnection& connection, QString* error);

} // namespace CompanyDuplicates
