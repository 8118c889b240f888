#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// The cells of one worksheet as values: QString, double, bool, QDate or
// QDateTime; an empty cell is a null QVariant. Row and column 0 are A1.
struct Worksheet {
    QString name;
    QList<QList<QVariant>> rows; // every row has columnCount() cells

    int rowCount() const { return int(rows.size()); }
    int columnCount() const { return rows.isEmpty() ? 0 : int(rows.first().size()); }
    QVariant cell(int row, int column) const {
        if (row < 0 || row >= rows.size() || column < 0 || column >= rows.at(row).size())
            return {};
        return rows.at(row).at(column);
    }
    // Sets a cell, growing the grid as needed.
    void setCell(int row, int column, const QVariant& value);
};
