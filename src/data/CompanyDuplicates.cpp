#include "CompanyDuplicates.h"

#include "SqliteConnection.h"
#include "SqliteStatement.h"

#include <sqlite3.h>

#include <algorithm>

namespace CompanyDuplicates {

std::optional<QList<Stored>> read(SqliteConnection& connection, QString* error) {
    SqliteStatement statement =
        connection.prepare(QStringLiteral("SELECT AUTONUMBER, TEXT01, TEXT08, TEXT10, TEXT20 FROM "
                                          "TABLE01 ORDER BY TEXT01 COLLATE NOCASE, AUTONUMBER"),
                           error);
    if (!statement.isValid())
        return std::nullopt;
    QList<Stored> list;
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        Stored stored;
        stored.key = statement.intValue(0);
        stored.company = {statement.value(1).toString(), statement.value(2).toString(),
                          statement.value(3).toString()};
        stored.status = statement.value(4).toString();
        list.append(stored);
    }
    if (rc != SQLITE_DONE) {
        if (error)
            *error = connection.lastError();
        return std::nullopt;
    }
    return list;
}

std::optional<QList<Stored>> matchesOf(SqliteConnection& connection,
                                       const CompanyMatch::Company& company, qint64 except,
                                       QString* error) {
    const auto all = read(connection, error);
    if (!all)
        return std::nullopt;
    QList<std::pair<CompanyMatch::Strength, Stored>> found;
    const QString key = CompanyMatch::key(company.name);
    if (key.isEmpty())
        return QList<Stored>();
    for (const Stored& stored : *all) {
        if (stored.key == except || CompanyMatch::key(stored.company.name) != key)
            continue;
        const CompanyMatch::Strength strength = CompanyMatch::compare(company, stored.company);
        if (CompanyMatch::isDuplicate(strength))
            found.append({strength, stored});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<Stored> matches;
    for (const auto& [strength, stored] : found)
        matches.append(stored);
    return matches;
}

std::optional<QList<QList<Stored>>> groups(SqliteConnection& connection, QString* error) {
    const auto all = read(connection, error);
    if (!all)
        return std::nullopt;
    QList<CompanyMatch::Company> companies;
    companies.reserve(all->size());
    for (const Stored& stored : *all)
        companies.append(stored.company);
    QList<QList<Stored>> result;
    for (const QList<int>& group : CompanyMatch::duplicateGroups(companies)) {
        QList<Stored> members;
        for (int index : group)
            members.append(all->at(index));
        result.append(members);
    }
    return result;
}

} // namespace CompanyDuplicates
