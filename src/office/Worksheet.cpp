#include "Worksheet.h"

void Worksheet::setCell(int row, int column, const QVariant& value) {
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
