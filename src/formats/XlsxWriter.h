#pragma once

#include <QString>

class Workbook;

// Writes a workbook to an .xlsx file through libxlsxwriter: every sheet with
// its cells in their formats (dates as dates), column widths and hidden
// columns, row heights and hidden rows, merged areas, the filter and the
// frozen panes. The file is written beside the target and then put in its
// place, so a failed write leaves an existing file as it was.
class XlsxWriter {
public:
    static bool write(const Workbook& workbook, const QString& path, QString* error = nullptr);
};
