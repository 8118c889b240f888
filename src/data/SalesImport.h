#pragma once

#include <QString>
#include <optional>

// The user's own workbook of sales copied into the table SALES of User.mdb:
// every row and column of the named worksheet, the first row naming the
// columns. The new figures are built beside the old ones and take their
// place in one transaction, so a wrong sheet or column name or a damaged
// file leaves the figures imported before as they were.
namespace SalesImport {

struct Settings {
    QString path;          // the workbook (.xls or .xlsx)
    QString sheet;         // its worksheet, with or without a trailing "$"
    QString accountColumn; // the account-number column
    QString dateColumn;    // the date column
};

// The table the figures go to, and the index made on its account column.
inline const QString Table = QStringLiteral("SALES");

// Imports into the database `database` (a bare name resolves in the program
// folder); the number of rows imported, or nothing with the reason in `error`.
std::optional<int> run(const QString& database, const Settings& settings, QString* error);

// The company's sales rows, newest first: the rows whose account column
// holds `accountNumber` as text (a company without one: the rows without
// one), as a SELECT of the dialect with both names bracketed.
QString companySource(const QString& accountColumn, const QString& dateColumn,
                      const QString& accountNumber);

} // namespace SalesImport
