#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// A rectangle of cells as the windows name it: "A1", "A1:E1", "$A$1",
// "1:2" (whole rows), "H:H" or "A:D" (whole columns), or every cell of the
// sheet. Rows and columns count from 0; the first row and column of a range
// are never after the last. A rectangle that spans every column is whole
// rows and one that spans every row whole columns, whichever way it was made.
class CellRange {
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    CellRange() = default; // A1
    static CellRange cell(int row, int column);
    static CellRange cells(int firstRow, int firstColumn, int lastRow, int lastColumn);
    static CellRange rows(int first, int last);
    static CellRange columns(int first, int last);
    static CellRange all();
    // Range(cell, cell): the smallest rectangle holding both.
    static CellRange spanning(const CellRange& a, const CellRange& b);
    static std::optional<CellRange> parse(QStringView reference);

    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    int rowCount() const { return m_lastRow - m_firstRow + 1; }
    int columnCount() const { return m_lastColumn - m_firstColumn + 1; }

    bool isWholeRows() const;
    bool isWholeColumns() const;
    bool isWholeSheet() const { return isWholeRows() && isWholeColumns(); }
    bool isSingleCell() const { return rowCount() == 1 && columnCount() == 1; }

    bool contains(int row, int column) const;
    std::optional<CellRange> intersected(const CellRange& other) const;
    CellRange entireRows() const { return rows(m_firstRow, m_lastRow); }
    CellRange entireColumns() const { return columns(m_firstColumn, m_lastColumn); }

    // "A1", "A1:E5", "1:2", "H:H".
    QString address() const;

    // 0 -> "A", 27 -> "AB"; and back, -1 when the text is not a column name.
    static QString columnName(int column);
    static int columnIndex(QStringView letters);
    static QString cellAddress(int row, int column);

    bool operator==(const CellRange&) const = default;

private:
    CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn);

    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_lastRow = 0;
    int m_lastColumn = 0;
};
