#pragma once

#include "CellFormat.h"
#include "CellRange.h"

#include <QList>
#include <QString>
#include <QVariant>

class Sheet;
enum class InsertShift;
enum class DeleteShift;
enum class LookAt;
enum class SpecialCellType;
enum class ConsolidationFunction;

// A range of one sheet, the object the windows call the spreadsheet's
// Range members on: Selection, ActiveCell, Range("A1:E1"), Rows("1:2"),
// Columns("P:P"), Cells. A handle, cheap to copy; one made from a reference
// that does not parse (or without a sheet) is invalid and does nothing.
class SheetRange {
public:
    SheetRange() = default;
    SheetRange(Sheet* sheet, const CellRange& address)
        : m_sheet(sheet)
        , m_address(address) {}

    bool isValid() const { return m_sheet != nullptr; }
    Sheet* sheet() const { return m_sheet; }
    const CellRange& address() const { return m_address; }
    int row() const { return m_address.firstRow(); }
    int column() const { return m_address.firstColumn(); }

    SheetRange entireRow() const;
    SheetRange entireColumn() const;
    SheetRange specialCells(SpecialCellType type) const;
    // Find(What): the next matching cell after the active cell; invalid when none.
    SheetRange find(const QString& what) const;

    void select() const;
    void activate() const;

    // Of the first cell.
    QVariant value() const;
    QString formula() const;
    QString text() const;
    CellFormat format() const;
    // Into every cell of the range.
    void setValue(const QVariant& value) const;
    void setFormula(const QString& formula) const;
    void setFormulaR1C1(const QVariant& value) const;
    void clearContents() const;

    void setFontName(const QString& name) const;
    void setFontSize(double points) const;
    void setBold(bool bold) const;
    void setItalic(bool italic) const;
    void setHorizontalAlignment(HorizontalAlignment alignment) const;
    void setVerticalAlignment(VerticalAlignment alignment) const;
    void setWrapText(bool wrap) const;
    void setOrientation(int orientation) const; // TextOrientation or degrees
    void setAddIndent(bool add) const;
    void setIndentLevel(int level) const;
    void setShrinkToFit(bool shrink) const;
    void setMergeCells(bool merge) const;
    void setNumberFormat(const QString& code) const;

    double columnWidth() const;
    void setColumnWidth(double characters) const;
    void setRowHeight(double points) const;
    void setHidden(bool hidden) const; // EntireColumn.Hidden, EntireRow.Hidden
    void autoFitColumns() const;       // Columns.AutoFit
    void autoFitRows() const;          // Rows.AutoFit
    bool autoFilter() const;

    bool insert(InsertShift shift) const;
    bool remove(DeleteShift shift) const; // Delete
    int replace(const QString& what, const QString& replacement, LookAt lookAt,
                bool matchCase = false) const;
    bool subtotal(int groupBy, ConsolidationFunction function, const QList<int>& totalList,
                  bool replace = true, bool summaryBelow = true) const;

private:
    Sheet* m_sheet = nullptr;
    CellRange m_address;
};
