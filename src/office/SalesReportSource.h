#pragma once

#include <QString>

// Where the sales report's data comes from: the table SALES of User.mdb,
// made by the sales import, sorted by the date column named in the import
// settings (User.mdb TABLE02.TEXT08).
namespace SalesReportSource {

enum class Status {
    Captured,     // the report data text is on the clipboard
    NotImported,  // User.mdb has no SALES table yet
    NoDateColumn, // the import settings name no date column
    Failed,       // the query could not run (a wrong date column name, say)
};

// The date column named in the sales import settings; empty when none is.
QString dateColumn(QString* error = nullptr);

// Whether sales figures have been imported (User.mdb holds SALES).
bool imported();

// Captures the sales report's data onto the clipboard, sorted by
// `dateColumn`, newest first. `error` gets the database's message on Failed.
Status captureToClipboard(const QString& dateColumn, QString* error = nullptr);

} // namespace SalesReportSource
