#pragma once

// Lets the data layer's make-table import read worksheets of .xlsx and .xls
// workbooks through WorkbookReader. Called once at start.
namespace WorkbookSheets {

void install();

} // namespace WorkbookSheets
