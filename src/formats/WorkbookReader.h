#pragma once

#include "Worksheet.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Reads the cell values of a spreadsheet file: .xlsx (Office Open XML) or
// the older .xls (BIFF). The format is told by the file's content, not its
// name. Formulas give their last computed value; dates come as QDate or
// QDateTime where the cell is formatted as a date.
class WorkbookReader {
public:
    virtual ~WorkbookReader() = default;

    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error);

    // What reading one workbook may cost; a workbook beyond is refused as too
    // large. A worksheet is held as a full grid, so its span (last row times
    // last column) counts, not only the cells it lists. A sheet of this many
    // cells with a format each takes about half a gigabyte to read.
    static constexpr qint64 MaxCells = 2'000'000;

    virtual QStringList sheetNames() const = 0;
    // Sheet names are matched without regard to letter case.
    virtual std::optional<Worksheet> sheet(const QString& name, QString* error) = 0;

protected:
    int sheetIndex(const QString& name) const;
    // "... cannot be read: it is too large (<why>)."
    static QString tooLarge(const QString& path, const QString& why);
};
