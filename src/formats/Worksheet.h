#pragma once

#include "CellFormat.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <utility>

// The cells of one worksheet as values: QString, double, bool, QDate or
// QDateTime; an empty cell is a null QVariant. Row and column 0 are A1.
//
// An .xlsx also gives what a workbook written by this program needs back:
// formulas, formats and the sheet's layout. An .xls gives values alone.
struct Worksheet {
    using Position = std::pair<int, int>; // row, column

    QString name;
    QList<QList<QVariant>> rows; // every row has columnCount() cells

    // Formulas with their "=", beside the value they last gave in `rows`.
    QMap<Position, QString> formulas;
    // Every cell the file lists has a format; rows and columns may have one
    // for their other cells, and the rest show the sheet's.
    QMap<Position, CellFormat> cellFormats;
    QMap<int, CellFormat> rowFormats;
    QMap<int, CellFormat> columnFormats;
    CellFormat defaultFormat;
    QMap<int, double> columnWidths; // characters, where set
    QSet<int> hiddenColumns;
    QMap<int, double> rowHeights; // points, where set
    QSet<int> hiddenRows;
    int frozenRows = 0;
    int frozenColumns = 0;
    QString autoFilter; // "A1:S20", empty for none
    QStringList mergedRanges;

    int rowCount() const { return int(rows.size()); }
    int columnCount() const { return rows.isEmpty() ? 0 : int(rows.first().size()); }
    QVariant cell(int row, int column) const {
        if (row < 0 || row >= rows.size() || column < 0 || column >= rows.at(row).size())
            return {};
        return rows.at(row).at(column);
    }
    // Sets a cell, growing the grid as needed; positions beyond the largest
    // sheet (A1:XFD1048576) are ignored.
    void setCell(int row, int column, const QVariant& value);

    QString formula(int row, int column) const { return formulas.value({row, column}); }
    // The format the cell shows: its own, its row's, its column's or the sheet's.
    CellFormat format(int row, int column) const;
};
