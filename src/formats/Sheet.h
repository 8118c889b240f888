#pragma once

#include "CellFormat.h"
#include "CellRange.h"
#include "CellValue.h"
#include "SheetRange.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QVariant>
#include <algorithm>
#include <atomic>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct Worksheet;

// The spreadsheet program's constants, so calls read as they did in macros.
enum class InsertShift { Down = -4121, ToRight = -4161 };
enum class DeleteShift { Up = -4162, ToLeft = -4159 };
enum class LookAt { Whole = 1, Part = 2 };
enum class SpecialCellType { LastCell = 11 };
enum class ConsolidationFunction {
    Average = -4106,
    Count = -4112,
    CountNums = -4113,
    Max = -4136,
    Min = -4139,
    Product = -4149,
    Sum = -4157,
};

// One worksheet held in memory: cells with values or formulas, the formats
// of cells, rows, columns and the sheet, the layout (widths, heights, hidden
// columns and rows, frozen panes, the filter) and the selection. Rows and
// columns count from 0.
//
// Formats follow the spreadsheet program: a cell shows its own format, or
// its row's, or its column's, or the sheet's. A change on whole rows or
// columns first gives a format of their own to the cells where those rows
// cross formatted columns (or rows), so whatever was set last wins there too.
class Sheet {
public:
    // A cell's own format, read-only: cells formatted alike share one copy,
    // so a long list formatted as a whole holds each format once.
    class SharedFormat {
    public:
        SharedFormat() = default;
        SharedFormat(const SharedFormat& other) noexcept
            : m_block(other.m_block) {
            if (m_block)
                m_block->ref.fetch_add(1, std::memory_order_relaxed);
        }
        SharedFormat(SharedFormat&& other) noexcept
            : m_block(std::exchange(other.m_block, nullptr)) {}
        SharedFormat& operator=(SharedFormat other) noexcept {
            std::swap(m_block, other.m_block);
            return *this;
        }
        ~SharedFormat() {
            if (m_block && m_block->ref.fetch_sub(1, std::memory_order_acq_rel) == 1)
                delete m_block;
        }
        explicit operator bool() const { return m_block != nullptr; }
        const CellFormat& operator*() const { return m_block->format; }
        const CellFormat* operator->() const { return &m_block->format; }
        const CellFormat* get() const { return m_block ? &m_block->format : nullptr; }

    private:
        friend class Sheet;
        // One pointer per cell: the count lives with the format.
        struct Block {
            std::atomic<int> ref;
            CellFormat format;
        };
        explicit SharedFormat(const CellFormat& format)
            : m_block(new Block{{1}, format}) {}
        Block* m_block = nullptr;
    };

    struct Cell {
        CellValue value; // the value, or a formula ("=...") and what it last gave
        SharedFormat format;
        bool hasContent() const { return !value.isNull() || value.hasFormula(); }
    };
    // The cells of one row by column, in column order in one block: a list
    // of many rows costs its cells, not a tree node for each.
    class Row {
        using Entry = std::pair<int, Cell>;
        using Cells = std::vector<Entry>;

        template <class Base, class Value> class Iterator {
        public:
            using iterator_category = std::forward_iterator_tag;
            using value_type = Cell;
            using difference_type = std::ptrdiff_t;
            using pointer = Value*;
            using reference = Value&;
            Iterator() = default;
            explicit Iterator(Base at)
                : m_at(at) {}
            int key() const { return m_at->first; }
            Value& value() const { return m_at->second; }
            Value& operator*() const { return m_at->second; }
            Value* operator->() const { return &m_at->second; }
            Iterator& operator++() {
                ++m_at;
                return *this;
            }
            Iterator operator++(int) {
                Iterator before = *this;
                ++m_at;
                return before;
            }
            // An iterator and a const one compare, as they do for QMap.
            template <class B, class V> bool operator==(const Iterator<B, V>& other) const {
                return m_at == other.base();
            }
            template <class B, class V> bool operator!=(const Iterator<B, V>& other) const {
                return m_at != other.base();
            }
            Base base() const { return m_at; }

        private:
            Base m_at{};
        };

        // The first cell at or right of `column`. Cells mostly arrive left
        // to right: the end is the usual place.
        template <class Vector, class Result> static Result position(Vector& cells, int column) {
            if (cells.empty() || cells.back().first < column)
                return cells.end();
            return std::lower_bound(cells.begin(), cells.end(), column,
                                    [](const Entry& e, int c) { return e.first < c; });
        }
        static Cells::iterator position(Cells& cells, int column) {
            return position<Cells, Cells::iterator>(cells, column);
        }
        static Cells::const_iterator position(const Cells& cells, int column) {
            return position<const Cells, Cells::const_iterator>(cells, column);
        }

    public:
        using iterator = Iterator<Cells::iterator, Cell>;
        using const_iterator = Iterator<Cells::const_iterator, const Cell>;

        iterator begin() { return iterator(m_cells.begin()); }
        iterator end() { return iterator(m_cells.end()); }
        const_iterator begin() const { return cbegin(); }
        const_iterator end() const { return cend(); }
        const_iterator cbegin() const { return const_iterator(m_cells.cbegin()); }
        const_iterator cend() const { return const_iterator(m_cells.cend()); }
        const_iterator constEnd() const { return cend(); }

        // The first cell at or right of `column`.
        iterator lowerBound(int column) { return iterator(position(m_cells, column)); }
        const_iterator lowerBound(int column) const {
            return const_iterator(position(m_cells, column));
        }
        iterator find(int column) {
            const auto at = position(m_cells, column);
            return iterator(at != m_cells.end() && at->first == column ? at : m_cells.end());
        }
        const_iterator constFind(int column) const {
            const auto at = position(m_cells, column);
            return const_iterator(at != m_cells.cend() && at->first == column ? at
                                                                              : m_cells.cend());
        }
        const_iterator find(int column) const { return constFind(column); }
        bool contains(int column) const { return constFind(column) != cend(); }
        iterator erase(iterator at) { return iterator(m_cells.erase(at.base())); }
        // The cell of `column`, made empty when there is none.
        Cell& operator[](int column) {
            auto at = position(m_cells, column);
            if (at == m_cells.end() || at->first != column)
                at = m_cells.insert(at, Entry(column, Cell()));
            return at->second;
        }
        void reserve(qsizetype cells) { m_cells.reserve(size_t(cells)); }
        bool isEmpty() const { return m_cells.empty(); }
        qsizetype size() const { return qsizetype(m_cells.size()); }
        int firstKey() const { return m_cells.front().first; }
        int lastKey() const { return m_cells.back().first; }

    private:
        Cells m_cells;
    };

    static constexpr double StandardColumnWidth = 8.43; // characters
    static constexpr double StandardRowHeight = 15;     // points

    explicit Sheet(const QString& name = QStringLiteral("Sheet1"));

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }

    // ---- ranges, as the windows name them ----
    SheetRange range(const QString& reference);
    SheetRange range(const SheetRange& first, const SheetRange& last);
    SheetRange rows(const QString& reference);    // "1:2", or "3"
    SheetRange columns(const QString& reference); // "A:D", or "H"
    SheetRange cells();
    SheetRange cell(int row, int column);
    SheetRange selection();
    SheetRange activeCell();

    // ---- values ----
    QVariant value(int row, int column) const;
    // The formula, or the value as it would be typed.
    QString formula(int row, int column) const;
    // The value as its number format shows it.
    QString text(int row, int column) const;
    // Texts are taken as typed entries: "=..." is a formula, numbers and
    // dates are recognised (see CellText). A date in a cell formatted
    // "General" gives the cell a date format.
    void setValue(int row, int column, const QVariant& value);
    void setFormula(int row, int column, const QString& formula);
    // FormulaR1C1: a formula's R1C1 references ("R[-1]C", "R2C3") become A1
    // references seen from this cell; any other value is set as by setValue.
    void setFormulaR1C1(int row, int column, const QVariant& value);
    // Works out again what formulas the sheet writes itself (SUBTOTAL) give;
    // other formulas keep the value they were read with.
    void recalculate();
    // A typed or pasted entry: recognised as a number or date (see CellText),
    // otherwise text; never a formula.
    void enter(int row, int column, const QString& text);
    // Report data text: TAB between cells, CR (or CRLF, LF) between rows; a
    // cell enclosed in double quotes may hold TABs and line breaks. The
    // pasted block becomes the selection.
    void paste(const QString& text, int row, int column);
    void clearContents(const CellRange& range);

    const QMap<int, Row>& cellRows() const { return m_rows; }
    // Cells with a value, a formula or a format of their own (A1 when none).
    CellRange usedRange() const;
    // Cells with a value or formula only; nullopt for a sheet without any.
    std::optional<CellRange> contentRange() const;
    CellRange specialCells(const CellRange& range, SpecialCellType type) const;

    // ---- formats ----
    CellFormat format(int row, int column) const;
    void changeFormat(const CellRange& range, const std::function<void(CellFormat&)>& change);
    const CellFormat& defaultFormat() const { return m_defaultFormat; }
    const QMap<int, CellFormat>& rowFormats() const { return m_rowFormats; }
    const QMap<int, CellFormat>& columnFormats() const { return m_columnFormats; }
    void setDefaultFormat(const CellFormat& format) { m_defaultFormat = format; }
    void setRowFormat(int row, const CellFormat& format) { m_rowFormats.insert(row, format); }
    void setColumnFormat(int column, const CellFormat& format);
    void setCellFormat(int row, int column, const CellFormat& format);

    // Merged areas are kept and written; the cells other than the first lose
    // their values, as they do in the spreadsheet program.
    void setMerged(const CellRange& range, bool merged);
    const QList<CellRange>& mergedRanges() const { return m_merged; }

    // ---- layout ----
    double columnWidth(int column) const;
    double rowHeight(int row) const; // StandardRowHeight when not set
    void setColumnWidth(const CellRange& range, double characters);
    void setRowHeight(const CellRange& range, double points);
    const QMap<int, double>& columnWidths() const { return m_columnWidths; }
    const QMap<int, double>& rowHeights() const { return m_rowHeights; }
    void setHidden(const CellRange& range, bool hidden); // entire rows or columns
    bool isColumnHidden(int column) const { return m_hiddenColumns.contains(column); }
    bool isRowHidden(int row) const { return m_hiddenRows.contains(row); }
    const QSet<int>& hiddenColumns() const { return m_hiddenColumns; }
    const QSet<int>& hiddenRows() const { return m_hiddenRows; }
    // Widths from the shown texts of the range's cells at their fonts;
    // cells that wrap their text leave their column's width as it is.
    void autoFitColumns(const CellRange& range);
    // Heights of the range's rows from the lines of their cells' texts, wrapped
    // at the column widths where the cell wraps text.
    void autoFitRows(const CellRange& range);

    // Switches the filter: on a single row it covers from that row down to
    // the last row with content (the used columns for whole rows), on a
    // single cell the block of content around it, otherwise the range.
    // Switching it on where one is already set removes it. True when a
    // filter is on afterwards.
    bool autoFilter(const CellRange& range);
    std::optional<CellRange> autoFilterRange() const { return m_autoFilter; }
    void setAutoFilterRange(const std::optional<CellRange>& range) { m_autoFilter = range; }

    // Rows above `row` and columns left of `column` stay in view; 0, 0 unfreezes.
    void freezePanes(int row, int column);
    int frozenRows() const { return m_frozenRows; }
    int frozenColumns() const { return m_frozenColumns; }
    // The window's split position, used by the next freeze when set.
    void setSplit(int row, int column);
    int splitRow() const { return m_splitRow; }
    int splitColumn() const { return m_splitColumn; }

    // ---- rows ----
    // Whole rows only (other shapes give false). Inserted rows take the
    // formats of the row above; cells, formats, heights, the filter, merged
    // areas, frozen rows and formula references move with their rows.
    bool insert(const CellRange& range, InsertShift shift = InsertShift::Down);
    bool remove(const CellRange& range, DeleteShift shift = DeleteShift::Up);
    void insertRows(int row, int count);
    void deleteRows(int row, int count);

    // The spreadsheet's wildcards: * any run, ? one character, ~ takes the
    // next character as it is. Replaces in texts, in formulas and in the
    // typed form of numbers and dates; returns how many cells changed.
    int replace(const CellRange& range, const QString& what, const QString& replacement,
                LookAt lookAt = LookAt::Part, bool matchCase = false);
    // The next cell after (row, column), row by row and wrapping around,
    // whose shown text or formula holds `what` (wildcards allowed), any case.
    std::optional<CellRange> find(const CellRange& range, const QString& what, int afterRow,
                                  int afterColumn) const;

    // Subtotals over the list in the range (its block of content around a
    // single cell), whose first row holds the titles. Group-by and total
    // columns count from 1 within the list. After each run of equal values
    // in the group-by column (before it when summaryBelow is false) a row
    // with "<value> Count" (Total, Average ...) in that column and
    // =SUBTOTAL(...) over the group in each total column other than the
    // group-by column; at the end the Grand row. With `replace` the rows of
    // earlier subtotals (those holding =SUBTOTAL formulas) go first.
    bool subtotal(const CellRange& range, int groupBy, ConsolidationFunction function,
                  const QList<int>& totalList, bool replace = true, bool summaryBelow = true);

    // ---- selection ----
    void select(const CellRange& range);
    void activate(int row, int column); // selects the cell unless it is in the selection
    CellRange selectedRange() const { return m_selection; }
    int activeRow() const { return m_activeRow; }
    int activeColumn() const { return m_activeColumn; }

    // Prints the cells with content as a table on the default printer (or
    // the test hook's PDF file, see PrintWindow), titled with the sheet's
    // name unless a title is given.
    // The shown cells as an HTML table with their fonts and alignment, for
    // printing; nothing for an empty sheet.
    std::optional<QString> printableTable(int* visibleColumns = nullptr) const;

    // The cells from A1 to the last one with content as a text file takes
    // them: dates as their format shows them, numbers plainly.
    QList<QStringList> displayRows() const;

    static std::unique_ptr<Sheet> fromWorksheet(const Worksheet& worksheet);

    // How rows move when some are inserted or deleted (Sheet.cpp).
    struct RowShift;

private:
    // The copy of `format` that cells share.
    SharedFormat share(const CellFormat& format);
    Cell& cellAt(int row, int column);
    const Cell* findCell(int row, int column) const;
    void removeIfEmpty(int row, int column);
    void setCellValue(int row, int column, const QVariant& value, const QString& numberFormat);
    CellRange currentRegion(int row, int column) const;
    int lastContentRow(int firstColumn, int lastColumn, int from) const;
    QVariant evaluateSubtotal(int function, const CellRange& range) const;
    void recalculate(int row, int column);
    void moveRows(const RowShift& shift);
    void insertRows(const QList<int>& before); // one row before each, at once
    void deleteRows(const QList<int>& rows);

    QString m_name;
    QMap<int, Row> m_rows;
    CellFormat m_defaultFormat;
    QMap<int, CellFormat> m_rowFormats;
    QMap<int, CellFormat> m_columnFormats;
    QMap<int, double> m_columnWidths;
    QMap<int, double> m_rowHeights;
    QSet<int> m_hiddenColumns;
    QSet<int> m_hiddenRows;
    QList<CellRange> m_merged;
    std::optional<CellRange> m_autoFilter;
    int m_frozenRows = 0;
    int m_frozenColumns = 0;
    int m_splitRow = 0;
    int m_splitColumn = 0;
    CellRange m_selection;
    int m_activeRow = 0;
    int m_activeColumn = 0;
    std::vector<SharedFormat> m_recentFormats; // shared last
};
