#include "Sheet.h"

#include "CellText.h"
#include "Worksheet.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace {

// Text is measured at 96 dots per inch whatever the screen, as the
// spreadsheet program's widths (7 pixels to a character) assume.
const QPaintDevice* measuringDevice() {
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        i.setDotsPerMeterX(3780);
        i.setDotsPerMeterY(3780);
        return i;
    }();
    return &image;
}

QFont fontOf(const CellFormat& format) {
    QFont font(format.fontName);
    font.setPointSizeF(format.fontSize > 0 ? format.fontSize : 11);
    font.setBold(format.bold);
    font.setItalic(format.italic);
    return font;
}

// Metrics made once per font for a whole fitting.
class FontMetrics {
public:
    const QFontMetricsF& operator()(const CellFormat& format) {
        const QString key = QStringLiteral("%1|%2|%3|%4")
                                .arg(format.fontName)
                                .arg(format.fontSize)
                                .arg(int(format.bold))
                                .arg(int(format.italic));
        auto it = m_metrics.find(key);
        if (it == m_metrics.end())
            it = m_metrics.emplace(key, QFontMetricsF(fontOf(format), measuringDevice())).first;
        return it->second;
    }

private:
    std::map<QString, QFontMetricsF> m_metrics;
};

constexpr double PixelsPerCharacter = 7;
constexpr double CellPadding = 5; // pixels a column has beyond its characters

int columnPixels(double characters) {
    if (characters < 1)
        return int(characters * (PixelsPerCharacter + CellPadding) + 0.5);
    return int(characters * PixelsPerCharacter + 0.5) + int(CellPadding);
}

QRegularExpression wildcardPattern(const QString& what, LookAt lookAt, bool matchCase) {
    QString pattern;
    for (qsizetype i = 0; i < what.size(); ++i) {
        const QChar c = what.at(i);
        if (c == u'~' && i + 1 < what.size())
            pattern += QRegularExpression::escape(QString(what.at(++i)));
        else if (c == u'*')
            pattern += QStringLiteral(".*");
        else if (c == u'?')
            pattern += u'.';
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    if (lookAt == LookAt::Whole)
        pattern = QStringLiteral("\\A(?:") + pattern + QStringLiteral(")\\z");
    QRegularExpression::PatternOptions options = QRegularExpression::DotMatchesEverythingOption;
    if (!matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    return QRegularExpression(pattern, options);
}

// Every non-empty match replaced; an empty match replaces nothing.
QString replaceMatches(const QString& text, const QRegularExpression& pattern,
                       const QString& replacement, bool* changed) {
    QString result;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedLength() == 0)
            continue;
        result += text.mid(done, m.capturedStart() - done);
        result += replacement;
        done = m.capturedEnd();
        *changed = true;
    }
    result += text.mid(done);
    return result;
}

// Pasted text split into rows of cells, handed over one row at a time. A
// cell wholly enclosed in double quotes is unquoted ("" is one quote) and
// may hold TABs and line breaks.
void splitPastedText(const QString& text, const std::function<void(const QStringList&)>& take) {
    QStringList row;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isBreak = [&](qsizetype at) {
        return at >= n || text.at(at) == u'\t' || text.at(at) == u'\r' || text.at(at) == u'\n';
    };
    while (true) {
        QString field;
        bool quoted = false;
        if (i < n && text.at(i) == u'"') {
            QString inner;
            qsizetype j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text.at(j) == u'"') {
                    if (j + 1 < n && text.at(j + 1) == u'"') {
                        inner += u'"';
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                inner += text.at(j++);
            }
            if (closed && isBreak(j + 1)) {
                field = inner;
                i = j + 1;
                quoted = true;
            }
        }
        if (!quoted) {
            const qsizetype start = i;
            while (!isBreak(i))
                ++i;
            field = text.mid(start, i - start);
        }
        row.append(field);
        if (i >= n) {
            break;
        } else if (text.at(i) == u'\t') {
            ++i;
        } else {
            i += text.at(i) == u'\r' && i + 1 < n && text.at(i + 1) == u'\n' ? 2 : 1;
            take(row);
            row.clear();
            if (i >= n)
                return; // a final line break ends the last row, it adds none
        }
    }
    take(row);
}

} // namespace

// How row numbers change when rows are inserted or deleted: the sorted
// rows before which one row each is inserted (a row may be named more than
// once), or the sorted rows deleted.
struct Sheet::RowShift {
    QList<int> inserted;
    QList<int> deleted;

    static int countUpTo(const QList<int>& rows, int row, bool inclusive) {
        const auto end = inclusive ? std::upper_bound(rows.cbegin(), rows.cend(), row)
                                   : std::lower_bound(rows.cbegin(), rows.cend(), row);
        return int(end - rows.cbegin());
    }
    bool isDeleted(int row) const {
        return std::binary_search(deleted.cbegin(), deleted.cend(), row);
    }
    // A row's new number; -1 for a deleted row.
    int map(int row) const {
        if (!inserted.isEmpty())
            return row + countUpTo(inserted, row, true);
        return isDeleted(row) ? -1 : row - countUpTo(deleted, row, false);
    }
    // The first and last row of an area: a deleted first row gives the next
    // row left, a deleted last row the one before.
    int mapFirst(int row) const {
        return inserted.isEmpty() ? row - countUpTo(deleted, row, false) : map(row);
    }
    int mapLast(int row) const {
        return inserted.isEmpty() ? row - countUpTo(deleted, row, true) : map(row);
    }
    // The new rows' numbers, in order.
    QList<int> insertedRows() const {
        QList<int> rows;
        for (qsizetype i = 0; i < inserted.size(); ++i)
            rows.append(inserted.at(i) + int(i));
        return rows;
    }
};

namespace {

// The A1 references of a formula after rows moved; a reference to a deleted
// row is lost (#REF!). Texts in quotes are left alone.
QString moveReferences(const QString& formula, const Sheet::RowShift& shift) {
    static const QRegularExpression reference(QStringLiteral(
        "(?<![A-Za-z0-9_.!$])(\\$?[A-Za-z]{1,3}\\$?)([0-9]+)(?::(\\$?[A-Za-z]{1,3}\\$?)([0-9]+))?"
        "(?![A-Za-z0-9_(])"));
    QStringList parts = formula.split(u'"');
    for (qsizetype p = 0; p < parts.size(); p += 2) {
        QString& part = parts[p];
        QString result;
        qsizetype done = 0;
        QRegularExpressionMatchIterator it = reference.globalMatch(part);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (CellRange::columnIndex(QString(m.captured(1)).remove(u'$')) < 0)
                continue;
            result += part.mid(done, m.capturedStart() - done);
            done = m.capturedEnd();
            const int first = m.captured(2).toInt() - 1;
            const bool isRange = m.capturedLength(3) > 0;
            const int last = isRange ? m.captured(4).toInt() - 1 : first;
            const int newFirst = shift.mapFirst(first);
            const int newLast = shift.mapLast(last);
            if (newLast < newFirst || (!isRange && shift.isDeleted(first))) {
                result += QStringLiteral("#REF!");
                continue;
            }
            result += m.captured(1) + QString::number(newFirst + 1);
            if (isRange)
                result += u':' + m.captured(3) + QString::number(newLast + 1);
        }
        result += part.mid(done);
        part = result;
    }
    return parts.join(u'"');
}

// The rows of a rectangle after rows moved; nullopt when all of them went.
std::optional<CellRange> movedRange(const CellRange& range, const Sheet::RowShift& shift) {
    if (range.isWholeColumns())
        return range;
    const int first = shift.mapFirst(range.firstRow());
    const int last = shift.mapLast(range.lastRow());
    if (last < first)
        return std::nullopt;
    return CellRange::cells(first, range.firstColumn(), last, range.lastColumn());
}

struct SubtotalKind {
    int number;
    const char* label;
};

SubtotalKind subtotalKind(ConsolidationFunction function) {
    switch (function) {
    case ConsolidationFunction::Average:
        return {1, "Average"};
    case ConsolidationFunction::CountNums:
        return {2, "Count"};
    case ConsolidationFunction::Count:
        return {3, "Count"};
    case ConsolidationFunction::Max:
        return {4, "Max"};
    case ConsolidationFunction::Min:
        return {5, "Min"};
    case ConsolidationFunction::Product:
        return {6, "Product"};
    case ConsolidationFunction::Sum:
        break;
    }
    return {9, "Total"};
}

bool isSubtotalFormula(const QString& formula) {
    static const QRegularExpression subtotal(QStringLiteral("^=\\s*SUBTOTAL\\s*\\("),
                                             QRegularExpression::CaseInsensitiveOption);
    return subtotal.match(formula).hasMatch();
}

bool isNumeric(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return true;
    default:
        return false;
    }
}

double numericValue(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate)
        return CellText::serial(QDateTime(value.toDate(), QTime(0, 0)));
    if (value.typeId() == QMetaType::QDateTime)
        return CellText::serial(value.toDateTime());
    return value.toDouble();
}

} // namespace

Sheet::Sheet(const QString& name)
    : m_name(name) {}

// ---- ranges ----

SheetRange Sheet::range(const QString& reference) {
    const auto parsed = CellRange::parse(reference);
    return parsed ? SheetRange(this, *parsed) : SheetRange();
}

SheetRange Sheet::range(const SheetRange& first, const SheetRange& last) {
    if (!first.isValid() || !last.isValid())
        return {};
    return SheetRange(this, CellRange::spanning(first.address(), last.address()));
}

SheetRange Sheet::rows(const QString& reference) {
    return range(reference.contains(u':') ? reference : reference + u':' + reference);
}

SheetRange Sheet::columns(const QString& reference) {
    return range(reference.contains(u':') ? reference : reference + u':' + reference);
}

SheetRange Sheet::cells() {
    return SheetRange(this, CellRange::all());
}

SheetRange Sheet::cell(int row, int column) {
    return SheetRange(this, CellRange::cell(row, column));
}

SheetRange Sheet::selection() {
    return SheetRange(this, m_selection);
}

SheetRange Sheet::activeCell() {
    return SheetRange(this, CellRange::cell(m_activeRow, m_activeColumn));
}

// ---- cells ----

Sheet::Cell& Sheet::cellAt(int row, int column) {
    return m_rows[row][column];
}

const Sheet::Cell* Sheet::findCell(int row, int column) const {
    const auto r = m_rows.constFind(row);
    if (r == m_rows.constEnd())
        return nullptr;
    const auto c = r->constFind(column);
    return c == r->constEnd() ? nullptr : &*c;
}

void Sheet::removeIfEmpty(int row, int column) {
    auto r = m_rows.find(row);
    if (r == m_rows.end())
        return;
    auto c = r->find(column);
    if (c != r->end() && !c->hasContent() && !c->format)
        r->erase(c);
    if (r->isEmpty())
        m_rows.erase(r);
}

QVariant Sheet::value(int row, int column) const {
    const Cell* cell = findCell(row, column);
    return cell ? cell->value.toVariant() : QVariant();
}

QString Sheet::formula(int row, int column) const {
    const Cell* cell = findCell(row, column);
    if (!cell)
        return {};
    return cell->value.hasFormula() ? cell->value.formula()
                                    : CellText::entryText(cell->value.toVariant());
}

QString Sheet::text(int row, int column) const {
    const Cell* cell = findCell(row, column);
    if (!cell || cell->value.isNull())
        return {};
    return CellText::display(cell->value.toVariant(), format(row, column).numberFormat);
}

void Sheet::setCellValue(int row, int column, const QVariant& value, const QString& numberFormat) {
    if (value.isNull() && !findCell(row, column))
        return;
    Cell& cell = cellAt(row, column);
    cell.value = CellValue(value);
    if (!numberFormat.isEmpty()) {
        // The format an entry implies replaces "General", and a date replaces
        // a number format that cannot show it.
        const QString current = format(row, column).numberFormat;
        const bool general = current.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
        if (general || (CellText::isDateFormat(numberFormat) && !CellText::isDateFormat(current)))
            changeFormat(CellRange::cell(row, column),
                         [&](CellFormat& f) { f.numberFormat = numberFormat; });
    }
    removeIfEmpty(row, column);
}

void Sheet::setValue(int row, int column, const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.size() > 1 && text.startsWith(u'=')) {
            setFormula(row, column, text);
            return;
        }
        enter(row, column, text);
        return;
    }
    case QMetaType::QDate:
        if (!value.toDate().isValid())
            break;
        setCellValue(row, column, value, QStringLiteral("m/d/yyyy"));
        return;
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.toDateTime();
        if (!dateTime.isValid())
            break;
        if (dateTime.time() == QTime(0, 0))
            setCellValue(row, column, dateTime.date(), QStringLiteral("m/d/yyyy"));
        else
            setCellValue(row, column, dateTime, QStringLiteral("m/d/yyyy h:mm"));
        return;
    }
    case QMetaType::Bool:
        setCellValue(row, column, value, {});
        return;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
        setCellValue(row, column, value.toDouble(), {});
        return;
    default:
        if (!value.isNull()) {
            setValue(row, column, value.toString());
            return;
        }
        break;
    }
    setCellValue(row, column, QVariant(), {});
}

void Sheet::setFormula(int row, int column, const QString& formula) {
    if (formula.size() < 2 || !formula.startsWith(u'=')) {
        setValue(row, column, formula);
        return;
    }
    Cell& cell = cellAt(row, column);
    cell.value = CellValue();
    cell.value.setFormula(formula);
    recalculate(row, column);
}

void Sheet::setFormulaR1C1(int row, int column, const QVariant& value) {
    if (value.typeId() != QMetaType::QString || !value.toString().startsWith(u'=')) {
        setValue(row, column, value);
        return;
    }
    static const QRegularExpression reference(
        QStringLiteral(
            "(?<![A-Za-z0-9_.$])R(\\[-?\\d+\\]|\\d+)?C(\\[-?\\d+\\]|\\d+)?(?![A-Za-z0-9_(])"),
        QRegularExpression::CaseInsensitiveOption);
    // A part of a reference: "[n]" counts from this cell, "n" is fixed.
    auto resolve = [](const QString& part, int here, bool* fixed) {
        *fixed = !part.isEmpty() && !part.startsWith(u'[');
        if (part.isEmpty())
            return here;
        if (*fixed)
            return part.toInt() - 1;
        return here + part.mid(1, part.size() - 2).toInt();
    };
    QStringList parts = value.toString().split(u'"');
    for (qsizetype p = 0; p < parts.size(); p += 2) {
        QString& part = parts[p];
        QString result;
        qsizetype done = 0;
        QRegularExpressionMatchIterator it = reference.globalMatch(part);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            bool fixedRow = false, fixedColumn = false;
            const int r = resolve(m.captured(1), row, &fixedRow);
            const int c = resolve(m.captured(2), column, &fixedColumn);
            result += part.mid(done, m.capturedStart() - done);
            done = m.capturedEnd();
            if (r < 0 || c < 0 || r >= CellRange::MaxRows || c >= CellRange::MaxColumns) {
                result += QStringLiteral("#REF!");
                continue;
            }
            result += (fixedColumn ? QStringLiteral("$") : QString()) + CellRange::columnName(c) +
                      (fixedRow ? QStringLiteral("$") : QString()) + QString::number(r + 1);
        }
        result += part.mid(done);
        part = result;
    }
    setFormula(row, column, parts.join(u'"'));
}

void Sheet::recalculate(int row, int column) {
    static const QRegularExpression subtotal(
        QStringLiteral("^=\\s*SUBTOTAL\\s*\\(\\s*(\\d+)\\s*,\\s*([A-Za-z0-9$:]+)\\s*\\)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    auto r = m_rows.find(row);
    if (r == m_rows.end())
        return;
    auto c = r->find(column);
    if (c == r->end() || !c->value.hasFormula())
        return;
    const QString formula = c->value.formula();
    if (formula.contains(QLatin1String("#REF!"))) {
        c->value.setValue(QStringLiteral("#REF!"));
        return;
    }
    const QRegularExpressionMatch m = subtotal.match(formula);
    if (!m.hasMatch())
        return; // kept as read; only what the sheet itself writes is worked out
    const auto area = CellRange::parse(m.captured(2));
    const QVariant result = area ? evaluateSubtotal(m.captured(1).toInt(), *area) : QVariant();
    m_rows[row][column].value.setValue(result);
}

void Sheet::recalculate() {
    QList<std::pair<int, int>> formulas;
    for (auto r = m_rows.cbegin(); r != m_rows.cend(); ++r)
        for (auto c = r->cbegin(); c != r->cend(); ++c)
            if (c->value.hasFormula())
                formulas.append({r.key(), c.key()});
    for (const auto& [row, column] : formulas)
        recalculate(row, column);
}

QVariant Sheet::evaluateSubtotal(int function, const CellRange& range) const {
    double sum = 0, product = 1;
    double smallest = std::numeric_limits<double>::max();
    double largest = std::numeric_limits<double>::lowest();
    int numbers = 0, filled = 0;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.cend() && r.key() <= range.lastRow(); ++r) {
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->cend() && c.key() <= range.lastColumn(); ++c) {
            // Subtotals within the range are not counted twice.
            if (!c->hasContent() || isSubtotalFormula(c->value.formula()))
                continue;
            ++filled;
            const QVariant value = c->value.toVariant();
            if (!isNumeric(value))
                continue;
            const double x = numericValue(value);
            ++numbers;
            sum += x;
            product *= x;
            smallest = std::min(smallest, x);
            largest = std::max(largest, x);
        }
    }
    switch (function % 100) {
    case 1:
        return numbers ? QVariant(sum / numbers) : QVariant(QStringLiteral("#DIV/0!"));
    case 2:
        return double(numbers);
    case 3:
        return double(filled);
    case 4:
        return numbers ? largest : 0.0;
    case 5:
        return numbers ? smallest : 0.0;
    case 6:
        return numbers ? product : 0.0;
    case 9:
        return sum;
    default:
        return {};
    }
}

void Sheet::enter(int row, int column, const QString& text) {
    // Cells formatted as text ("@") take the entry as it is.
    if (format(row, column).numberFormat == QLatin1String("@")) {
        setCellValue(row, column, text.isEmpty() ? QVariant() : QVariant(text), {});
        return;
    }
    const CellText::Entry entry = CellText::recognise(text);
    setCellValue(row, column, entry.value, entry.numberFormat);
}

void Sheet::paste(const QString& text, int row, int column) {
    // A column of a list repeats its values (cities, regions, sales
    // persons): the cells of one value share one copy of its text. A column
    // whose values are mostly different (names, numbers) is left alone.
    struct Repeated {
        QHash<QString, CellValue> values;
        bool off = false;
    };
    constexpr qsizetype MaxShared = 1000;
    constexpr qsizetype MaxSharedLength = 64;
    QList<Repeated> repeated;
    int width = 1;
    int r = 0;
    splitPastedText(text, [&](const QStringList& cells) {
        width = std::max(width, int(cells.size()));
        if (repeated.size() < cells.size())
            repeated.resize(cells.size());
        // A new row takes its cells at once, not growing by halves.
        if (row + r < CellRange::MaxRows && !m_rows.contains(row + r))
            m_rows[row + r].reserve(cells.size());
        for (int c = 0; c < cells.size(); ++c) {
            if (row + r >= CellRange::MaxRows || column + c >= CellRange::MaxColumns)
                continue;
            const QString& cell = cells.at(c);
            Repeated& seen = repeated[c];
            if (seen.off || cell.isEmpty() || cell.size() > MaxSharedLength ||
                format(row + r, column + c).numberFormat == QLatin1String("@")) {
                enter(row + r, column + c, cell);
                continue;
            }
            if (const auto same = seen.values.constFind(cell); same != seen.values.cend()) {
                cellAt(row + r, column + c).value = *same;
                continue;
            }
            const CellText::Entry entry = CellText::recognise(cell);
            setCellValue(row + r, column + c, entry.value, entry.numberFormat);
            if (entry.value.typeId() != QMetaType::QString || !entry.numberFormat.isEmpty())
                continue; // numbers and dates are held in place: nothing to share
            if (seen.values.size() < MaxShared) {
                if (const Cell* entered = findCell(row + r, column + c))
                    seen.values.insert(cell, entered->value);
            } else {
                seen.off = true;
                seen.values.clear();
            }
        }
        if (const auto made = m_rows.find(row + r); made != m_rows.end() && made->isEmpty())
            m_rows.erase(made); // a row of empty cells holds none
        ++r;
    });
    m_selection = CellRange::cells(row, column, row + std::max(1, r) - 1, column + width - 1);
    m_activeRow = row;
    m_activeColumn = column;
}

void Sheet::clearContents(const CellRange& range) {
    QList<std::pair<int, int>> cleared;
    for (auto r = m_rows.begin(); r != m_rows.end() && r.key() <= range.lastRow(); ++r) {
        if (r.key() < range.firstRow())
            continue;
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->end() && c.key() <= range.lastColumn(); ++c) {
            c->value.clear();
            cleared.append({r.key(), c.key()});
        }
    }
    for (const auto& [row, column] : cleared)
        removeIfEmpty(row, column);
}

CellRange Sheet::usedRange() const {
    int top = -1, left = CellRange::MaxColumns, bottom = 0, right = 0;
    for (auto r = m_rows.cbegin(); r != m_rows.cend(); ++r) {
        if (r->isEmpty())
            continue;
        if (top < 0)
            top = r.key();
        bottom = r.key();
        left = std::min(left, r->firstKey());
        right = std::max(right, r->lastKey());
    }
    return top < 0 ? CellRange() : CellRange::cells(top, left, bottom, right);
}

std::optional<CellRange> Sheet::contentRange() const {
    int top = -1, left = CellRange::MaxColumns, bottom = 0, right = 0;
    for (auto r = m_rows.cbegin(); r != m_rows.cend(); ++r) {
        for (auto c = r->cbegin(); c != r->cend(); ++c) {
            if (!c->hasContent())
                continue;
            if (top < 0)
                top = r.key();
            bottom = r.key();
            left = std::min(left, c.key());
            right = std::max(right, c.key());
        }
    }
    if (top < 0)
        return std::nullopt;
    return CellRange::cells(top, left, bottom, right);
}

CellRange Sheet::specialCells(const CellRange& range, SpecialCellType type) const {
    Q_UNUSED(range);
    switch (type) {
    case SpecialCellType::LastCell:
        break;
    }
    const CellRange used = usedRange();
    return CellRange::cell(used.lastRow(), used.lastColumn());
}

CellRange Sheet::currentRegion(int row, int column) const {
    auto rowHasContent = [&](int r, int first, int last) {
        const auto it = m_rows.constFind(r);
        if (it == m_rows.constEnd())
            return false;
        for (auto c = it->lowerBound(first); c != it->cend() && c.key() <= last; ++c)
            if (c->hasContent())
                return true;
        return false;
    };
    auto columnHasContent = [&](int c, int first, int last) {
        for (auto r = m_rows.lowerBound(first); r != m_rows.cend() && r.key() <= last; ++r) {
            const auto it = r->constFind(c);
            if (it != r->cend() && it->hasContent())
                return true;
        }
        return false;
    };
    int top = row, bottom = row, left = column, right = column;
    for (bool grew = true; grew;) {
        const int wideLeft = std::max(0, left - 1);
        const int wideRight = std::min(CellRange::MaxColumns - 1, right + 1);
        const int before = top + bottom + left + right;
        while (top > 0 && rowHasContent(top - 1, wideLeft, wideRight))
            --top;
        while (bottom + 1 < CellRange::MaxRows && rowHasContent(bottom + 1, wideLeft, wideRight))
            ++bottom;
        const int highTop = std::max(0, top - 1);
        const int highBottom = std::min(CellRange::MaxRows - 1, bottom + 1);
        while (left > 0 && columnHasContent(left - 1, highTop, highBottom))
            --left;
        while (right + 1 < CellRange::MaxColumns &&
               columnHasContent(right + 1, highTop, highBottom))
            ++right;
        grew = top + bottom + left + right != before;
    }
    return CellRange::cells(top, left, bottom, right);
}

int Sheet::lastContentRow(int firstColumn, int lastColumn, int from) const {
    for (auto r = m_rows.cend(); r != m_rows.cbegin();) {
        --r;
        if (r.key() < from)
            break;
        for (auto c = r->lowerBound(firstColumn); c != r->cend() && c.key() <= lastColumn; ++c)
            if (c->hasContent())
                return r.key();
    }
    return from;
}

// ---- formats ----

CellFormat Sheet::format(int row, int column) const {
    if (const Cell* cell = findCell(row, column); cell && cell->format)
        return *cell->format;
    if (const auto r = m_rowFormats.constFind(row); r != m_rowFormats.constEnd())
        return *r;
    if (const auto c = m_columnFormats.constFind(column); c != m_columnFormats.constEnd())
        return *c;
    return m_defaultFormat;
}

void Sheet::setColumnFormat(int column, const CellFormat& format) {
    m_columnFormats.insert(column, format);
}

void Sheet::setCellFormat(int row, int column, const CellFormat& format) {
    cellAt(row, column).format = share(format);
}

Sheet::SharedFormat Sheet::share(const CellFormat& format) {
    for (const auto& recent : m_recentFormats) {
        if (*recent == format)
            return recent;
    }
    constexpr size_t Recent = 16;
    if (m_recentFormats.size() >= Recent)
        m_recentFormats.erase(m_recentFormats.begin());
    m_recentFormats.push_back(SharedFormat(format));
    return m_recentFormats.back();
}

void Sheet::changeFormat(const CellRange& range, const std::function<void(CellFormat&)>& change) {
    // Cells that shared a format before share the changed one: each format
    // is changed once (the old ones are held until the end, so that no
    // address is taken again while it serves as a key).
    QHash<const CellFormat*, std::pair<SharedFormat, SharedFormat>> changed;
    auto changeOwn = [&](Cell& cell) {
        const SharedFormat old = cell.format;
        auto it = changed.find(old.get());
        if (it == changed.end()) {
            CellFormat f = *old;
            change(f);
            it = changed.insert(old.get(), {old, share(f)});
        }
        cell.format = it->second;
    };
    auto changeOwnFormats = [&](int firstColumn, int lastColumn, int firstRow, int lastRow) {
        for (auto r = m_rows.lowerBound(firstRow); r != m_rows.end() && r.key() <= lastRow; ++r)
            for (auto c = r->lowerBound(firstColumn); c != r->end() && c.key() <= lastColumn; ++c)
                if (c->format)
                    changeOwn(*c);
    };
    auto giveOwnFormat = [&](int row, int column) {
        if (findCell(row, column) && findCell(row, column)->format)
            return;
        const CellFormat inherited = format(row, column);
        cellAt(row, column).format = share(inherited);
    };

    if (range.isWholeSheet()) {
        change(m_defaultFormat);
        for (CellFormat& f : m_rowFormats)
            change(f);
        for (CellFormat& f : m_columnFormats)
            change(f);
        changeOwnFormats(0, CellRange::MaxColumns - 1, 0, CellRange::MaxRows - 1);
        return;
    }
    if (range.isWholeRows()) {
        const QList<int> formattedColumns = m_columnFormats.keys();
        for (int row = range.firstRow(); row <= range.lastRow(); ++row) {
            for (int column : formattedColumns)
                giveOwnFormat(row, column);
            auto own = m_rowFormats.find(row);
            if (own == m_rowFormats.end())
                own = m_rowFormats.insert(row, m_defaultFormat);
            change(*own);
        }
        changeOwnFormats(0, CellRange::MaxColumns - 1, range.firstRow(), range.lastRow());
        return;
    }
    if (range.isWholeColumns()) {
        const QList<int> formattedRows = m_rowFormats.keys();
        for (int column = range.firstColumn(); column <= range.lastColumn(); ++column) {
            for (int row : formattedRows)
                giveOwnFormat(row, column);
            auto own = m_columnFormats.find(column);
            if (own == m_columnFormats.end())
                own = m_columnFormats.insert(column, m_defaultFormat);
            change(*own);
        }
        changeOwnFormats(range.firstColumn(), range.lastColumn(), 0, CellRange::MaxRows - 1);
        return;
    }
    for (int row = range.firstRow(); row <= range.lastRow(); ++row) {
        Row& cells = m_rows[row];
        const auto rowFormat = m_rowFormats.constFind(row);
        for (int column = range.firstColumn(); column <= range.lastColumn(); ++column) {
            Cell& cell = cells[column];
            if (!cell.format) {
                // What the cell showed: its row's, its column's or the sheet's format.
                const auto columnFormat = m_columnFormats.constFind(column);
                cell.format = share(rowFormat != m_rowFormats.constEnd()         ? *rowFormat
                                    : columnFormat != m_columnFormats.constEnd() ? *columnFormat
                                                                                 : m_defaultFormat);
            }
            changeOwn(cell);
        }
    }
}

void Sheet::setMerged(const CellRange& range, bool merged) {
    m_merged.removeIf([&](const CellRange& m) { return m.intersected(range).has_value(); });
    if (!merged || range.isSingleCell() || range.isWholeRows() || range.isWholeColumns())
        return;
    m_merged.append(range);
    QList<std::pair<int, int>> others;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.end() && r.key() <= range.lastRow(); ++r)
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->end() && c.key() <= range.lastColumn(); ++c)
            if (r.key() != range.firstRow() || c.key() != range.firstColumn())
                others.append({r.key(), c.key()});
    for (const auto& [row, column] : others)
        setCellValue(row, column, QVariant(), {});
}

// ---- layout ----

double Sheet::columnWidth(int column) const {
    return m_columnWidths.value(column, StandardColumnWidth);
}

double Sheet::rowHeight(int row) const {
    return m_rowHeights.value(row, StandardRowHeight);
}

void Sheet::setColumnWidth(const CellRange& range, double characters) {
    const double width = std::clamp(characters, 0.0, 255.0);
    for (int c = range.firstColumn(); c <= range.lastColumn(); ++c)
        m_columnWidths.insert(c, width);
}

void Sheet::setRowHeight(const CellRange& range, double points) {
    const double height = std::clamp(points, 0.0, 409.0);
    if (range.isWholeColumns()) {
        // Every row: only those in use are worth keeping.
        for (auto r = m_rows.cbegin(); r != m_rows.cend(); ++r)
            m_rowHeights.insert(r.key(), height);
        return;
    }
    for (int r = range.firstRow(); r <= range.lastRow(); ++r)
        m_rowHeights.insert(r, height);
}

void Sheet::setHidden(const CellRange& range, bool hidden) {
    if (range.isWholeSheet())
        return;
    if (range.isWholeColumns()) {
        for (int c = range.firstColumn(); c <= range.lastColumn(); ++c)
            hidden ? void(m_hiddenColumns.insert(c)) : void(m_hiddenColumns.remove(c));
    } else if (range.isWholeRows()) {
        for (int r = range.firstRow(); r <= range.lastRow(); ++r)
            hidden ? void(m_hiddenRows.insert(r)) : void(m_hiddenRows.remove(r));
    }
}

void Sheet::autoFitColumns(const CellRange& range) {
    // The widest text of a column is among its longest: only the longest
    // few of each column are measured, so a long list costs a count of
    // characters per cell rather than a layout of each text.
    struct Candidate {
        qsizetype length;
        int row;
    };
    constexpr size_t Measured = 16;
    QMap<int, std::vector<Candidate>> longest;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.cend() && r.key() <= range.lastRow(); ++r) {
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->cend() && c.key() <= range.lastColumn(); ++c) {
            if (!c->hasContent())
                continue;
            // Wrapped text takes the lines its column's width gives it: it
            // never widens the column.
            if (c->format ? c->format->wrapText : format(r.key(), c.key()).wrapText)
                continue;
            qsizetype length;
            if (!c->value.hasFormula() && c->value.isText()) {
                length = c->value.textSize();
            } else {
                length = text(r.key(), c.key()).size();
            }
            if (length == 0)
                continue;
            std::vector<Candidate>& list = longest[c.key()];
            if (list.size() < Measured) {
                list.push_back({length, r.key()});
            } else {
                auto shortest = std::min_element(
                    list.begin(), list.end(),
                    [](const Candidate& a, const Candidate& b) { return a.length < b.length; });
                if (shortest->length < length)
                    *shortest = {length, r.key()};
            }
        }
    }
    FontMetrics fontMetrics;
    QMap<int, double> widest; // pixels
    for (auto column = longest.cbegin(); column != longest.cend(); ++column) {
        for (const Candidate& candidate : column.value()) {
            const int row = candidate.row;
            const bool spansColumns = std::any_of(m_merged.cbegin(), m_merged.cend(), [&](auto& m) {
                return m.columnCount() > 1 && m.contains(row, column.key());
            });
            if (spansColumns)
                continue;
            const CellFormat f = format(row, column.key());
            const QString shown = text(row, column.key());
            const QFontMetricsF& metrics = fontMetrics(f);
            double pixels = 0;
            for (const QString& line : shown.split(u'\n'))
                pixels = std::max(pixels, metrics.horizontalAdvance(line));
            pixels += f.indentLevel * 3 * PixelsPerCharacter;
            widest[column.key()] = std::max(widest.value(column.key()), pixels);
        }
    }
    for (auto it = widest.cbegin(); it != widest.cend(); ++it) {
        // A little room either side, as the spreadsheet program leaves.
        const double characters = std::ceil((it.value() + 8) / PixelsPerCharacter * 100) / 100;
        m_columnWidths.insert(it.key(), std::min(characters, 255.0));
    }
}

void Sheet::autoFitRows(const CellRange& range) {
    for (auto h = m_rowHeights.begin(); h != m_rowHeights.end();) {
        if (h.key() >= range.firstRow() && h.key() <= range.lastRow() && !m_rows.contains(h.key()))
            h = m_rowHeights.erase(h);
        else
            ++h;
    }
    FontMetrics fontMetrics;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.cend() && r.key() <= range.lastRow(); ++r) {
        double points = 0;
        for (auto c = r->cbegin(); c != r->cend(); ++c) {
            if (!c->hasContent())
                continue;
            const CellFormat f = format(r.key(), c.key());
            const QFontMetricsF& metrics = fontMetrics(f);
            int lines = 1;
            if (f.wrapText) {
                const QFont font = fontOf(f);
                QString shown = text(r.key(), c.key());
                shown.replace(u'\n', QChar::LineSeparator);
                QTextLayout layout(shown, font, measuringDevice());
                QTextOption option;
                option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
                layout.setTextOption(option);
                const double width =
                    std::max(1, columnPixels(columnWidth(c.key())) - int(CellPadding));
                lines = 0;
                layout.beginLayout();
                for (QTextLine line = layout.createLine(); line.isValid();
                     line = layout.createLine()) {
                    line.setLineWidth(width);
                    ++lines;
                }
                layout.endLayout();
                lines = std::max(lines, 1);
            }
            // Points are 3/4 of a pixel at 96 dpi; two pixels of margin.
            const double pixels = std::ceil(lines * metrics.lineSpacing()) + 2;
            points = std::max(points, pixels * 0.75);
        }
        if (points > 0)
            m_rowHeights.insert(r.key(), std::min(points, 409.0));
        else
            m_rowHeights.remove(r.key());
    }
}

bool Sheet::autoFilter(const CellRange& range) {
    if (m_autoFilter) {
        m_autoFilter.reset();
        return false;
    }
    CellRange target = range;
    if (range.isSingleCell()) {
        target = currentRegion(range.firstRow(), range.firstColumn());
    } else if (range.rowCount() == 1) {
        int first = range.firstColumn(), last = range.lastColumn();
        if (range.isWholeRows()) {
            const auto content = contentRange();
            if (!content)
                return false;
            first = content->firstColumn();
            last = content->lastColumn();
        }
        target = CellRange::cells(range.firstRow(), first,
                                  lastContentRow(first, last, range.firstRow()), last);
    } else if (range.isWholeRows() || range.isWholeColumns()) {
        const auto content = contentRange();
        const auto within = content ? range.intersected(*content) : std::nullopt;
        if (!within)
            return false;
        target = *within;
    }
    m_autoFilter = target;
    return true;
}

void Sheet::freezePanes(int row, int column) {
    m_frozenRows = std::clamp(row, 0, CellRange::MaxRows - 1);
    m_frozenColumns = std::clamp(column, 0, CellRange::MaxColumns - 1);
}

void Sheet::setSplit(int row, int column) {
    m_splitRow = std::max(0, row);
    m_splitColumn = std::max(0, column);
}

// ---- rows ----

bool Sheet::insert(const CellRange& range, InsertShift shift) {
    Q_UNUSED(shift); // whole rows always go down
    if (!range.isWholeRows() || range.isWholeColumns())
        return false;
    insertRows(range.firstRow(), range.rowCount());
    return true;
}

bool Sheet::remove(const CellRange& range, DeleteShift shift) {
    Q_UNUSED(shift);
    if (!range.isWholeRows() || range.isWholeColumns())
        return false;
    deleteRows(range.firstRow(), range.rowCount());
    return true;
}

void Sheet::moveRows(const RowShift& shift) {
    auto remap = [&](auto& map) {
        std::remove_reference_t<decltype(map)> moved;
        for (auto it = map.begin(); it != map.end(); ++it) {
            const int row = shift.map(it.key());
            if (row >= 0 && row < CellRange::MaxRows)
                moved[row] = std::move(it.value());
        }
        map = std::move(moved);
    };
    remap(m_rows);
    remap(m_rowFormats);
    remap(m_rowHeights);
    QSet<int> hidden;
    for (int row : std::as_const(m_hiddenRows))
        if (const int moved = shift.map(row); moved >= 0 && moved < CellRange::MaxRows)
            hidden.insert(moved);
    m_hiddenRows = hidden;

    for (auto r = m_rows.begin(); r != m_rows.end(); ++r)
        for (auto c = r->begin(); c != r->end(); ++c)
            if (c->value.hasFormula())
                c->value.setFormula(moveReferences(c->value.formula(), shift));
    if (m_autoFilter)
        m_autoFilter = movedRange(*m_autoFilter, shift);
    QList<CellRange> merged;
    for (const CellRange& m : std::as_const(m_merged))
        if (const auto moved = movedRange(m, shift); moved && !moved->isSingleCell())
            merged.append(*moved);
    m_merged = merged;
    // The frozen rows grow and shrink with the rows among them.
    m_frozenRows += RowShift::countUpTo(shift.inserted, m_frozenRows, false) -
                    RowShift::countUpTo(shift.deleted, m_frozenRows, false);
}

void Sheet::insertRows(const QList<int>& before) {
    RowShift shift;
    for (int row : before)
        if (row >= 0 && row < CellRange::MaxRows)
            shift.inserted.append(row);
    std::sort(shift.inserted.begin(), shift.inserted.end());
    if (shift.inserted.isEmpty())
        return;
    moveRows(shift);
    // New rows look like the row above them, without its contents.
    for (int row : shift.insertedRows()) {
        if (row == 0 || row >= CellRange::MaxRows)
            continue;
        if (const auto above = m_rowFormats.constFind(row - 1); above != m_rowFormats.constEnd())
            m_rowFormats.insert(row, *above);
        QList<std::pair<int, SharedFormat>> formats;
        if (const auto cells = m_rows.constFind(row - 1); cells != m_rows.constEnd())
            for (auto c = cells->cbegin(); c != cells->cend(); ++c)
                if (c->format)
                    formats.append({c.key(), c->format});
        for (const auto& [column, format] : formats)
            cellAt(row, column).format = format;
    }
}

void Sheet::insertRows(int row, int count) {
    if (count > 0)
        insertRows(QList<int>(count, row));
}

void Sheet::deleteRows(const QList<int>& rows) {
    RowShift shift;
    for (int row : rows)
        if (row >= 0 && row < CellRange::MaxRows)
            shift.deleted.append(row);
    std::sort(shift.deleted.begin(), shift.deleted.end());
    shift.deleted.erase(std::unique(shift.deleted.begin(), shift.deleted.end()),
                        shift.deleted.end());
    if (shift.deleted.isEmpty())
        return;
    moveRows(shift);
    recalculate();
}

void Sheet::deleteRows(int row, int count) {
    QList<int> rows;
    for (int r = row; r < row + count && r < CellRange::MaxRows; ++r)
        rows.append(r);
    deleteRows(rows);
}

int Sheet::replace(const CellRange& range, const QString& what, const QString& replacement,
                   LookAt lookAt, bool matchCase) {
    if (what.isEmpty())
        return 0;
    const QRegularExpression pattern = wildcardPattern(what, lookAt, matchCase);
    QList<std::pair<int, int>> targets;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.cend() && r.key() <= range.lastRow(); ++r)
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->cend() && c.key() <= range.lastColumn(); ++c)
            if (c->hasContent())
                targets.append({r.key(), c.key()});
    int changedCells = 0;
    for (const auto& [row, column] : targets) {
        bool changed = false;
        const QString result = replaceMatches(formula(row, column), pattern, replacement, &changed);
        if (!changed)
            continue;
        // The result is entered again, as if typed: it may become a number,
        // a date, a formula, or nothing.
        ++changedCells;
        setValue(row, column, result);
    }
    return changedCells;
}

std::optional<CellRange> Sheet::find(const CellRange& range, const QString& what, int afterRow,
                                     int afterColumn) const {
    if (what.isEmpty())
        return std::nullopt;
    const QRegularExpression pattern = wildcardPattern(what, LookAt::Part, false);
    std::optional<CellRange> first;
    for (auto r = m_rows.lowerBound(range.firstRow());
         r != m_rows.cend() && r.key() <= range.lastRow(); ++r) {
        for (auto c = r->lowerBound(range.firstColumn());
             c != r->cend() && c.key() <= range.lastColumn(); ++c) {
            if (!c->hasContent())
                continue;
            if (!pattern.match(text(r.key(), c.key())).hasMatch() &&
                !pattern.match(formula(r.key(), c.key())).hasMatch())
                continue;
            const CellRange found = CellRange::cell(r.key(), c.key());
            if (r.key() > afterRow || (r.key() == afterRow && c.key() > afterColumn))
                return found;
            if (!first)
                first = found;
        }
    }
    return first;
}

bool Sheet::subtotal(const CellRange& range, int groupBy, ConsolidationFunction function,
                     const QList<int>& totalList, bool replace, bool summaryBelow) {
    CellRange list = range;
    if (range.isSingleCell()) {
        list = currentRegion(range.firstRow(), range.firstColumn());
    } else {
        const auto content = contentRange();
        const auto within = content ? range.intersected(*content) : std::nullopt;
        if (!within)
            return false;
        list = *within;
    }
    if (list.rowCount() < 2 || groupBy < 1 || groupBy > list.columnCount())
        return false;
    const int titles = list.firstRow();
    int bottom = list.lastRow();
    const int groupColumn = list.firstColumn() + groupBy - 1;

    if (replace) {
        QList<int> summaries;
        for (auto r = m_rows.lowerBound(titles + 1); r != m_rows.cend() && r.key() <= bottom; ++r)
            if (std::any_of(r->cbegin(), r->cend(),
                            [](const Cell& c) { return isSubtotalFormula(c.value.formula()); }))
                summaries.append(r.key());
        deleteRows(summaries);
        bottom -= int(summaries.size());
        if (bottom <= titles)
            return false;
    }

    struct Group {
        int first;
        int last;
        QString value;
    };
    QList<Group> groups;
    QString current;
    for (int r = titles + 1; r <= bottom; ++r) {
        const QString key = CellText::entryText(value(r, groupColumn)).toLower();
        if (groups.isEmpty() || key != current)
            groups.append({r, r, text(r, groupColumn)});
        else
            groups.last().last = r;
        current = key;
    }

    const SubtotalKind kind = subtotalKind(function);
    const QString name = QString::fromLatin1(kind.label);
    auto writeSummary = [&](int row, int first, int last, const QString& label) {
        setCellValue(row, groupColumn, label, {});
        for (int total : totalList) {
            const int column = list.firstColumn() + total - 1;
            if (total < 1 || total > list.columnCount() || column == groupColumn)
                continue;
            setFormula(row, column,
                       QStringLiteral("=SUBTOTAL(%1,%2)")
                           .arg(kind.number)
                           .arg(CellRange::cellAddress(first, column) + u':' +
                                CellRange::cellAddress(last, column)));
        }
    };
    // All summary rows go in at once; then each group has moved down by the
    // summary rows before it.
    QList<int> before;
    if (!summaryBelow)
        before.append(titles + 1);
    for (const Group& group : std::as_const(groups))
        before.append(summaryBelow ? group.last + 1 : group.first);
    if (summaryBelow)
        before.append(bottom + 1);
    insertRows(before);
    const int count = int(groups.size());
    for (int k = 0; k < count; ++k) {
        const Group& group = groups.at(k);
        const QString label = group.value + u' ' + name;
        if (summaryBelow)
            writeSummary(group.last + k + 1, group.first + k, group.last + k, label);
        else
            writeSummary(group.first + k + 1, group.first + k + 2, group.last + k + 2, label);
    }
    const QString grand = QStringLiteral("Grand ") + name;
    if (summaryBelow)
        writeSummary(bottom + count + 1, titles + 1, bottom + count, grand);
    else
        writeSummary(titles + 1, titles + 2, bottom + count + 1, grand);
    return true;
}

// ---- selection ----

void Sheet::select(const CellRange& range) {
    m_selection = range;
    m_activeRow = range.firstRow();
    m_activeColumn = range.firstColumn();
}

void Sheet::activate(int row, int column) {
    if (!m_selection.contains(row, column))
        m_selection = CellRange::cell(row, column);
    m_activeRow = row;
    m_activeColumn = column;
}

// ---- output ----

QList<QStringList> Sheet::displayRows() const {
    QList<QStringList> rows;
    const auto content = contentRange();
    if (!content)
        return rows;
    for (int r = 0; r <= content->lastRow(); ++r) {
        QStringList row;
        for (int c = 0; c <= content->lastColumn(); ++c) {
            const QVariant v = value(r, c);
            const bool number = v.typeId() == QMetaType::Double &&
                                !CellText::isDateFormat(format(r, c).numberFormat);
            row.append(number ? CellText::plainNumber(v.toDouble()) : text(r, c));
        }
        rows.append(row);
    }
    return rows;
}

std::optional<QString> Sheet::printableTable(int* visibleColumns) const {
    const auto content = contentRange();
    if (!content)
        return std::nullopt;
    auto alignment = [](const CellFormat& f, const QVariant& value) {
        switch (f.horizontal) {
        case HorizontalAlignment::Left:
            return QStringLiteral("left");
        case HorizontalAlignment::Center:
        case HorizontalAlignment::CenterAcrossSelection:
            return QStringLiteral("center");
        case HorizontalAlignment::Right:
            return QStringLiteral("right");
        case HorizontalAlignment::Justify:
        case HorizontalAlignment::Distributed:
            return QStringLiteral("justify");
        default:
            return isNumeric(value) ? QStringLiteral("right") : QStringLiteral("left");
        }
    };
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
    int columns = 0;
    for (int r = 0; r <= content->lastRow(); ++r) {
        if (isRowHidden(r))
            continue;
        html += QStringLiteral("<tr>");
        columns = 0;
        for (int c = 0; c <= content->lastColumn(); ++c) {
            if (isColumnHidden(c))
                continue;
            ++columns;
            const CellFormat f = format(r, c);
            html += QStringLiteral("<td style=\"font-family:'%1'; font-size:%2pt; "
                                   "font-weight:%3; font-style:%4\" align=\"%5\">%6</td>")
                        .arg(f.fontName.toHtmlEscaped())
                        .arg(f.fontSize)
                        .arg(f.bold ? 700 : 400)
                        .arg(f.italic ? QStringLiteral("italic") : QStringLiteral("normal"))
                        .arg(alignment(f, value(r, c)))
                        .arg(text(r, c).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")));
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    if (visibleColumns)
        *visibleColumns = columns;
    return html;
}

std::unique_ptr<Sheet> Sheet::fromWorksheet(const Worksheet& worksheet) {
    auto sheet = std::make_unique<Sheet>(worksheet.name);
    for (int r = 0; r < worksheet.rowCount(); ++r) {
        for (int c = 0; c < worksheet.rows.at(r).size(); ++c) {
            const QVariant& v = worksheet.rows.at(r).at(c);
            if (!v.isNull())
                sheet->cellAt(r, c).value = CellValue(v);
        }
    }
    for (auto f = worksheet.formulas.cbegin(); f != worksheet.formulas.cend(); ++f)
        sheet->cellAt(f.key().first, f.key().second).value.setFormula(f.value());
    sheet->m_defaultFormat = worksheet.defaultFormat;
    sheet->m_rowFormats = worksheet.rowFormats;
    sheet->m_columnFormats = worksheet.columnFormats;
    for (auto f = worksheet.cellFormats.cbegin(); f != worksheet.cellFormats.cend(); ++f)
        sheet->cellAt(f.key().first, f.key().second).format = sheet->share(f.value());
    sheet->m_columnWidths = worksheet.columnWidths;
    sheet->m_rowHeights = worksheet.rowHeights;
    sheet->m_hiddenColumns = worksheet.hiddenColumns;
    sheet->m_hiddenRows = worksheet.hiddenRows;
    sheet->m_frozenRows = worksheet.frozenRows;
    sheet->m_frozenColumns = worksheet.frozenColumns;
    if (!worksheet.autoFilter.isEmpty())
        sheet->m_autoFilter = CellRange::parse(worksheet.autoFilter);
    for (const QString& merged : worksheet.mergedRanges)
        if (const auto range = CellRange::parse(merged))
            sheet->m_merged.append(*range);
    return sheet;
}
