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

    virtual QStringList sheetNames() const = 0;
    // Sheet names are matched without regard to letter case.
    virtual std::optional<Worksheet> sheet(const QString& name, QString* error) = 0;

protected:
    int sheetIndex(const QString& name) const;
};
