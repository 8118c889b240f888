#include "CellRange.h"

#include <algorithm>

namespace {

// One side of a reference: a cell ("B7"), a column ("B") or a row ("7"),
// each part optionally fixed with '$'. -1 for the part that is not there.
struct Corner {
    int row = -1;
    int column = -1;
};

std::optional<Corner> parseCorner(QStringView text) {
    Corner corner;
    qsizetype i = 0;
    if (i < text.size() && text.at(i) == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < text.size() && text.at(i).isLetter())
        ++i;
    if (i > lettersStart) {
        corner.column = CellRange::columnIndex(text.mid(lettersStart, i - lettersStart));
        if (corner.column < 0)
            return std::nullopt;
    }
    if (i < text.size() && text.at(i) == u'$') {
        if (i == lettersStart)
            return std::nullopt; // "$$1"
        ++i;
    }
    if (i < text.size()) {
        bool ok = false;
        const int number = text.mid(i).toInt(&ok);
        if (!ok || number < 1 || number > CellRange::MaxRows)
            return std::nullopt;
        for (qsizetype d = i; d < text.size(); ++d)
            if (!text.at(d).isDigit())
                return std::nullopt;
        corner.row = number - 1;
    }
    if (corner.row < 0 && corner.column < 0)
        return std::nullopt;
    return corner;
}

} // namespace

CellRange::CellRange(int firstRow, int firstColumn, int lastRow, int lastColumn)
    : m_firstRow(std::clamp(std::min(firstRow, lastRow), 0, MaxRows - 1))
    , m_firstColumn(std::clamp(std::min(firstColumn, lastColumn), 0, MaxColumns - 1))
    , m_lastRow(std::clamp(std::max(firstRow, lastRow), 0, MaxRows - 1))
    , m_lastColumn(std::clamp(std::max(firstColumn, lastColumn), 0, MaxColumns - 1)) {}

CellRange CellRange::cell(int row, int column) {
    return CellRange(row, column, row, column);
}

CellRange CellRange::cells(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    return CellRange(firstRow, firstColumn, lastRow, lastColumn);
}

CellRange CellRange::rows(int first, int last) {
    return CellRange(first, 0, last, MaxColumns - 1);
}

CellRange CellRange::columns(int first, int last) {
    return CellRange(0, first, MaxRows - 1, last);
}

CellRange CellRange::all() {
    return CellRange(0, 0, MaxRows - 1, MaxColumns - 1);
}

CellRange CellRange::spanning(const CellRange& a, const CellRange& b) {
    return CellRange(std::min(a.m_firstRow, b.m_firstRow),
                     std::min(a.m_firstColumn, b.m_firstColumn), std::max(a.m_lastRow, b.m_lastRow),
                     std::max(a.m_lastColumn, b.m_lastColumn));
}

std::optional<CellRange> CellRange::parse(QStringView reference) {
    QStringView text = reference.trimmed();
    // A sheet name in front ("Sheet1!A1") does not change the rectangle.
    if (const qsizetype bang = text.lastIndexOf(u'!'); bang >= 0)
        text = text.mid(bang + 1);
    const qsizetype colon = text.indexOf(u':');
    const QStringView left = colon < 0 ? text : text.left(colon);
    const QStringView right = colon < 0 ? text : text.mid(colon + 1);
    const auto first = parseCorner(left);
    const auto last = parseCorner(right);
    if (!first || !last)
        return std::nullopt;
    const bool firstIsCell = first->row >= 0 && first->column >= 0;
    const bool lastIsCell = last->row >= 0 && last->column >= 0;
    if (firstIsCell && lastIsCell)
        return cells(first->row, first->column, last->row, last->column);
    if (colon < 0)
        return std::nullopt; // "A" or "7" alone name no cells
    if (first->column < 0 && last->column < 0)
        return rows(first->row, last->row);
    if (first->row < 0 && last->row < 0)
        return columns(first->column, last->column);
    return std::nullopt;
}

bool CellRange::isWholeRows() const {
    return m_firstColumn == 0 && m_lastColumn == MaxColumns - 1;
}

bool CellRange::isWholeColumns() const {
    return m_firstRow == 0 && m_lastRow == MaxRows - 1;
}

bool CellRange::contains(int row, int column) const {
    return row >= m_firstRow && row <= m_lastRow && column >= m_firstColumn &&
           column <= m_lastColumn;
}

std::optional<CellRange> CellRange::intersected(const CellRange& other) const {
    const int top = std::max(m_firstRow, other.m_firstRow);
    const int left = std::max(m_firstColumn, other.m_firstColumn);
    const int bottom = std::min(m_lastRow, other.m_lastRow);
    const int right = std::min(m_lastColumn, other.m_lastColumn);
    if (top > bottom || left > right)
        return std::nullopt;
    return CellRange(top, left, bottom, right);
}

QString CellRange::address() const {
    if (isWholeRows() && !isWholeColumns())
        return QStringLiteral("%1:%2").arg(m_firstRow + 1).arg(m_lastRow + 1);
    if (isWholeColumns() && !isWholeRows())
        return columnName(m_firstColumn) + u':' + columnName(m_lastColumn);
    const QString first = cellAddress(m_firstRow, m_firstColumn);
    if (isSingleCell())
        return first;
    return first + u':' + cellAddress(m_lastRow, m_lastColumn);
}

QString CellRange::columnName(int column) {
    QString name;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

int CellRange::columnIndex(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return -1;
    int column = 0;
    for (const QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return -1;
        column = column * 26 + (u - u'A' + 1);
    }
    return column <= MaxColumns ? column - 1 : -1;
}

QString CellRange::cellAddress(int row, int column) {
    return columnName(column) + QString::number(row + 1);
}
