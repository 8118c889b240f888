#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>
#include <utility>

// Stores a finished document as one row of the main database, at once and in
// one transaction: the row is there (or nothing is) when store() returns.
// The document editor files letters, telefaxes and e-mails in the
// correspondence table TABLE09 and call reports in TABLE08 this way.
class DocumentFiler {
public:
    using Values = QList<std::pair<QString, QVariant>>; // column, value

    // Inserts a row into `table` for the company with the key `company` (its
    // NUMBER01), or rewrites the row with the key `replace` when it still
    // exists. The row's key, or nullopt with the reason. A document is never
    // filed under no company: when the company no longer exists nothing is
    // stored and *companyMissing is set.
    static std::optional<qint64> store(const QString& table, qint64 company, const Values& values,
                                       std::optional<qint64> replace, QString* error,
                                       bool* companyMissing = nullptr);
};
