#include "Worksheet.h"

#include "CellRange.h"

void Worksheet::setCell(int row, int column, const QVariant& value) {
    // No sheet is larger than A1:XFD1048576; a position beyond is damage.
    if (row < 0 || column < 0 || row >= CellRange::MaxRows || column >= CellRange::MaxColumns)
        return;
    int columns = columnCount();
    if (column >= columns) {
        columns = column + 1;
        for (QList<QVariant>& r : rows)
            r.resize(columns);
    }
    while (rows.size() <= row)
        rows.append(QList<QVariant>(columns));
    rows[row][column] = value;
}

CellFormat Worksheet::format(int row, int column) const {
    if (const auto own = cellFormats.constFind({row, column}); own != cellFormats.constEnd())
        return *own;
    if (const auto r = rowFormats.constFind(row); r != rowFormats.constEnd())
        return *r;
    if (const auto c = columnFormats.constFind(column); c != columnFormats.constEnd())
        return *c;
    return defaultFormat;
}
