#pragma once

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class SqliteConnection;

// The first half of a spreadsheet report: a fixed query run against a
// database and its whole result turned into one block of text (the report
// data text) that the spreadsheet's paste splits into cells.
//
// The text: a line of column titles (the query's column names, in SELECT
// order), then one line per row in the query's order; TAB between cells, CR
// between lines. Dates are written m/d/yyyy (with the time after them where
// there is one) whatever the user's locale, numbers plainly, so that the
// paste recognises them the same way everywhere. A value holding a TAB, a
// line break or a leading double quote is enclosed in double quotes (inner
// quotes doubled), which the paste takes as one cell.
namespace ReportData {

enum class Report { CompActivities, Companies, Contacts, Projects, Sales };

// The query of a report over TESSALY.mdb, in the dialect of the windows.
QString recordSource(Report report);
// The sales report's query over User.mdb: every column of SALES, newest
// first by the named date column, which is quoted as a name.
QString salesRecordSource(const QString& dateColumn);

// One value as a cell of the text.
QString cellText(const QVariant& value);

// Runs the query of the dialect and gives the report data text; nothing,
// with the database's message, when the query cannot run.
std::optional<QString> capture(const std::shared_ptr<SqliteConnection>& connection,
                               const QString& query, QString* error = nullptr);
// The same on a database named as the windows name it ("TESSALY.mdb",
// resolved in the program folder) or by path.
std::optional<QString> capture(const QString& database, const QString& query,
                               QString* error = nullptr);

// Captures and puts the text on the clipboard in one piece (cleared first).
bool captureToClipboard(const QString& database, const QString& query, QString* error = nullptr);

} // namespace ReportData
