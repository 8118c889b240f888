#include "SheetRange.h"

#include "Sheet.h"

#include <algorithm>

SheetRange SheetRange::entireRow() const {
    return m_sheet ? SheetRange(m_sheet, m_address.entireRows()) : SheetRange();
}

SheetRange SheetRange::entireColumn() const {
    return m_sheet ? SheetRange(m_sheet, m_address.entireColumns()) : SheetRange();
}

SheetRange SheetRange::specialCells(SpecialCellType type) const {
    return m_sheet ? SheetRange(m_sheet, m_sheet->specialCells(m_address, type)) : SheetRange();
}

SheetRange SheetRange::find(const QString& what) const {
    if (!m_sheet)
        return {};
    const auto found =
        m_sheet->find(m_address, what, m_sheet->activeRow(), m_sheet->activeColumn());
    return found ? SheetRange(m_sheet, *found) : SheetRange();
}

void SheetRange::select() const {
    if (m_sheet)
        m_sheet->select(m_address);
}

void SheetRange::activate() const {
    if (m_sheet)
        m_sheet->activate(row(), column());
}

QVariant SheetRange::value() const {
    return m_sheet ? m_sheet->value(row(), column()) : QVariant();
}

QString SheetRange::formula() const {
    return m_sheet ? m_sheet->formula(row(), column()) : QString();
}

QString SheetRange::text() const {
    return m_sheet ? m_sheet->text(row(), column()) : QString();
}

CellFormat SheetRange::format() const {
    return m_sheet ? m_sheet->format(row(), column()) : CellFormat();
}

void SheetRange::setValue(const QVariant& value) const {
    if (!m_sheet)
        return;
    for (int r = m_address.firstRow(); r <= m_address.lastRow(); ++r)
        for (int c = m_address.firstColumn(); c <= m_address.lastColumn(); ++c)
            m_sheet->setValue(r, c, value);
}

void SheetRange::setFormula(const QString& formula) const {
    if (!m_sheet)
        return;
    for (int r = m_address.firstRow(); r <= m_address.lastRow(); ++r)
        for (int c = m_address.firstColumn(); c <= m_address.lastColumn(); ++c)
            m_sheet->setFormula(r, c, formula);
}

void SheetRange::setFormulaR1C1(const QVariant& value) const {
    if (!m_sheet)
        return;
    for (int r = m_address.firstRow(); r <= m_address.lastRow(); ++r)
        for (int c = m_address.firstColumn(); c <= m_address.lastColumn(); ++c)
            m_sheet->setFormulaR1C1(r, c, value);
}

void SheetRange::clearContents() const {
    if (m_sheet)
        m_sheet->clearContents(m_address);
}

void SheetRange::setFontName(const QString& name) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.fontName = name; });
}

void SheetRange::setFontSize(double points) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.fontSize = points; });
}

void SheetRange::setBold(bool bold) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.bold = bold; });
}

void SheetRange::setItalic(bool italic) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.italic = italic; });
}

void SheetRange::setHorizontalAlignment(HorizontalAlignment alignment) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.horizontal = alignment; });
}

void SheetRange::setVerticalAlignment(VerticalAlignment alignment) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.vertical = alignment; });
}

void SheetRange::setWrapText(bool wrap) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.wrapText = wrap; });
}

void SheetRange::setOrientation(int orientation) const {
    const int rotation = CellFormat::rotationFromOrientation(orientation);
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.rotation = rotation; });
}

void SheetRange::setAddIndent(bool add) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.addIndent = add; });
}

void SheetRange::setIndentLevel(int level) const {
    if (!m_sheet)
        return;
    m_sheet->changeFormat(m_address, [&](CellFormat& f) {
        f.indentLevel = std::clamp(level, 0, 15);
        // An indent needs a side to count from; left unless one is chosen.
        if (f.indentLevel > 0 && f.horizontal != HorizontalAlignment::Right &&
            f.horizontal != HorizontalAlignment::Distributed)
            f.horizontal = HorizontalAlignment::Left;
    });
}

void SheetRange::setShrinkToFit(bool shrink) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.shrinkToFit = shrink; });
}

void SheetRange::setMergeCells(bool merge) const {
    if (m_sheet)
        m_sheet->setMerged(m_address, merge);
}

void SheetRange::setNumberFormat(const QString& code) const {
    if (m_sheet)
        m_sheet->changeFormat(m_address, [&](CellFormat& f) { f.numberFormat = code; });
}

double SheetRange::columnWidth() const {
    return m_sheet ? m_sheet->columnWidth(column()) : Sheet::StandardColumnWidth;
}

void SheetRange::setColumnWidth(double characters) const {
    if (m_sheet)
        m_sheet->setColumnWidth(m_address, characters);
}

void SheetRange::setRowHeight(double points) const {
    if (m_sheet)
        m_sheet->setRowHeight(m_address, points);
}

void SheetRange::setHidden(bool hidden) const {
    if (m_sheet)
        m_sheet->setHidden(m_address, hidden);
}

void SheetRange::autoFitColumns() const {
    if (m_sheet)
        m_sheet->autoFitColumns(m_address);
}

void SheetRange::autoFitRows() const {
    if (m_sheet)
        m_sheet->autoFitRows(m_address);
}

bool SheetRange::autoFilter() const {
    return m_sheet && m_sheet->autoFilter(m_address);
}

bool SheetRange::insert(InsertShift shift) const {
    return m_sheet && m_sheet->insert(m_address, shift);
}

bool SheetRange::remove(DeleteShift shift) const {
    return m_sheet && m_sheet->remove(m_address, shift);
}

int SheetRange::replace(const QString& what, const QString& replacement, LookAt lookAt,
                        bool matchCase) const {
    return m_sheet ? m_sheet->replace(m_address, what, replacement, lookAt, matchCase) : 0;
}

bool SheetRange::subtotal(int groupBy, ConsolidationFunction function, const QList<int>& totalList,
                          bool replace, bool summaryBelow) const {
    return m_sheet &&
           m_sheet->subtotal(m_address, groupBy, function, totalList, replace, summaryBelow);
}
