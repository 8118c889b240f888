#include "XlsxWriter.h"

#include "CellText.h"
#include "Sheet.h"
#include "Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include <xlsxwriter.h>

#include <vector>

namespace {

constexpr int MaxStringLength = 32767; // what a cell holds

// One lxw_format per distinct CellFormat; libxlsxwriter owns them.
class FormatCache {
public:
    explicit FormatCache(lxw_workbook* workbook)
        : m_workbook(workbook) {}

    lxw_format* operator()(const CellFormat& format) {
        // A sheet uses a handful of formats: comparing with those seen last
        // is cheaper than spelling out a key for each cell.
        for (const auto& [seen, written] : m_recent) {
            if (seen == format)
                return written;
        }
        const QString key = format.key();
        lxw_format* cached = m_formats.value(key);
        if (!cached)
            cached = add(format);
        m_formats.insert(key, cached);
        if (m_recent.size() >= RecentFormats)
            m_recent.erase(m_recent.begin());
        m_recent.emplace_back(format, cached);
        return cached;
    }

private:
    static constexpr size_t RecentFormats = 16;

    lxw_format* add(const CellFormat& format) {
        lxw_format* f = workbook_add_format(m_workbook);
        // Calibri 11 is the workbook's own font: naming it again would add a
        // second, equal font to the file.
        const CellFormat plain;
        if (format.fontName != plain.fontName)
            format_set_font_name(f, format.fontName.toUtf8().constData());
        if (format.fontSize != plain.fontSize)
            format_set_font_size(f, format.fontSize);
        if (format.bold)
            format_set_bold(f);
        if (format.italic)
            format_set_italic(f);
        if (format.numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) != 0)
            format_set_num_format(f, format.numberFormat.toUtf8().constData());
        if (const uint8_t h = horizontal(format.horizontal); h != LXW_ALIGN_NONE)
            format_set_align(f, h);
        if (const uint8_t v = vertical(format.vertical); v != LXW_ALIGN_NONE)
            format_set_align(f, v);
        if (format.wrapText)
            format_set_text_wrap(f);
        if (format.rotation != 0)
            format_set_rotation(f, int16_t(format.rotation));
        if (format.indentLevel > 0)
            format_set_indent(f, uint8_t(format.indentLevel));
        if (format.shrinkToFit)
            format_set_shrink(f);
        return f;
    }

    static uint8_t horizontal(HorizontalAlignment alignment) {
        switch (alignment) {
        case HorizontalAlignment::Left:
            return LXW_ALIGN_LEFT;
        case HorizontalAlignment::Center:
            return LXW_ALIGN_CENTER;
        case HorizontalAlignment::Right:
            return LXW_ALIGN_RIGHT;
        case HorizontalAlignment::Fill:
            return LXW_ALIGN_FILL;
        case HorizontalAlignment::Justify:
            return LXW_ALIGN_JUSTIFY;
        case HorizontalAlignment::CenterAcrossSelection:
            return LXW_ALIGN_CENTER_ACROSS;
        case HorizontalAlignment::Distributed:
            return LXW_ALIGN_DISTRIBUTED;
        case HorizontalAlignment::General:
            break;
        }
        return LXW_ALIGN_NONE;
    }

    static uint8_t vertical(VerticalAlignment alignment) {
        switch (alignment) {
        case VerticalAlignment::Top:
            return LXW_ALIGN_VERTICAL_TOP;
        case VerticalAlignment::Center:
            return LXW_ALIGN_VERTICAL_CENTER;
        case VerticalAlignment::Justify:
            return LXW_ALIGN_VERTICAL_JUSTIFY;
        case VerticalAlignment::Distributed:
            return LXW_ALIGN_VERTICAL_DISTRIBUTED;
        case VerticalAlignment::Bottom:
            break;
        }
        return LXW_ALIGN_NONE;
    }

    lxw_workbook* m_workbook;
    QHash<QString, lxw_format*> m_formats;
    std::vector<std::pair<CellFormat, lxw_format*>> m_recent;
};

lxw_datetime lxwDateTime(const QDateTime& value) {
    const QDate d = value.date();
    const QTime t = value.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
}

QString sheetName(const QString& name, QSet<QString>& used) {
    QString valid = name;
    for (const QChar bad : {u'[', u']', u':', u'*', u'?', u'/', u'\\'})
        valid.replace(bad, u'_');
    valid = valid.left(LXW_SHEETNAME_MAX).trimmed();
    if (valid.isEmpty())
        valid = QStringLiteral("Sheet");
    QString unique = valid;
    for (int n = 2; used.contains(unique.toLower()); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        unique = valid.left(LXW_SHEETNAME_MAX - suffix.size()) + suffix;
    }
    used.insert(unique.toLower());
    return unique;
}

void writeValue(lxw_worksheet* ws, int row, int column, const Sheet::Cell& cell,
                const CellFormat& cellFormat, FormatCache& formats) {
    const lxw_row_t r = lxw_row_t(row);
    const lxw_col_t c = lxw_col_t(column);
    lxw_format* format = formats(cellFormat);
    if (cell.value.hasFormula()) {
        const QByteArray formula = cell.value.formula().toUtf8();
        if (cell.value.isText())
            worksheet_write_formula_str(ws, r, c, formula.constData(), format,
                                        cell.value.textUtf8().constData());
        else if (!cell.value.isNull())
            worksheet_write_formula_num(ws, r, c, formula.constData(), format,
                                        cell.value.toVariant().toDouble());
        else
            worksheet_write_formula(ws, r, c, formula.constData(), format);
        return;
    }
    if (cell.value.isText()) {
        if (cell.value.textSize() == 0)
            worksheet_write_blank(ws, r, c, format);
        else if (cell.value.textSize() <= MaxStringLength)
            worksheet_write_string(ws, r, c, cell.value.textUtf8().constData(), format);
        else
            worksheet_write_string(
                ws, r, c,
                cell.value.toVariant().toString().left(MaxStringLength).toUtf8().constData(),
                format);
        return;
    }
    const QVariant value = cell.value.toVariant();
    switch (value.typeId()) {
    case QMetaType::Bool:
        worksheet_write_boolean(ws, r, c, value.toBool(), format);
        return;
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        // The wall-clock date and time as they stand, without a time zone's
        // look-up for each cell.
        const QDateTime when =
            value.typeId() == QMetaType::QDate
                ? QDateTime(value.toDate(), QTime(0, 0), Qt::UTC)
                : QDateTime(value.toDateTime().date(), value.toDateTime().time(), Qt::UTC);
        if (when.date().year() < 1900) {
            worksheet_write_string(ws, r, c, CellText::entryText(value).toUtf8().constData(),
                                   format);
            return;
        }
        CellFormat dated = cellFormat;
        if (!CellText::isDateFormat(dated.numberFormat))
            dated.numberFormat = QStringLiteral("m/d/yyyy");
        lxw_datetime dateTime = lxwDateTime(when);
        worksheet_write_datetime(ws, r, c, &dateTime, formats(dated));
        return;
    }
    default: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            worksheet_write_string(ws, r, c, "#NUM!", format);
        else
            worksheet_write_number(ws, r, c, number, format);
        return;
    }
    }
}

void writeColumns(lxw_worksheet* ws, const Sheet& sheet, FormatCache& formats) {
    struct Setting {
        double width;
        bool hidden;
        CellFormat format;
        bool operator==(const Setting&) const = default;
    };
    auto setting = [&](int column) {
        return Setting{sheet.columnWidth(column), sheet.isColumnHidden(column),
                       sheet.columnFormats().value(column, sheet.defaultFormat())};
    };
    const Setting standard{Sheet::StandardColumnWidth, false, CellFormat()};
    int last = -1;
    for (auto it = sheet.columnWidths().keyBegin(); it != sheet.columnWidths().keyEnd(); ++it)
        last = std::max(last, *it);
    for (auto it = sheet.columnFormats().keyBegin(); it != sheet.columnFormats().keyEnd(); ++it)
        last = std::max(last, *it);
    for (int column : sheet.hiddenColumns())
        last = std::max(last, column);
    // Columns without settings of their own show the sheet's format; a run to
    // the last column carries it when it is not the plain one.
    if (!sheet.defaultFormat().isDefault())
        last = CellRange::MaxColumns - 1;

    for (int first = 0; first <= last;) {
        const Setting current = setting(first);
        int end = first;
        while (end < last && setting(end + 1) == current)
            ++end;
        if (!(current == standard)) {
            lxw_row_col_options options = {};
            options.hidden = current.hidden;
            worksheet_set_column_opt(ws, lxw_col_t(first), lxw_col_t(end), current.width,
                                     current.format.isDefault() ? nullptr : formats(current.format),
                                     &options);
        }
        first = end + 1;
    }
}

// The rows with settings of their own (format, height, hidden), in order.
QList<int> rowsWithSettings(const Sheet& sheet) {
    QSet<int> rows;
    for (auto it = sheet.rowFormats().keyBegin(); it != sheet.rowFormats().keyEnd(); ++it)
        rows.insert(*it);
    for (auto it = sheet.rowHeights().keyBegin(); it != sheet.rowHeights().keyEnd(); ++it)
        rows.insert(*it);
    for (int row : sheet.hiddenRows())
        rows.insert(row);
    QList<int> sorted(rows.cbegin(), rows.cend());
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void writeRowSettings(lxw_worksheet* ws, const Sheet& sheet, int row, FormatCache& formats) {
    const auto own = sheet.rowFormats().constFind(row);
    lxw_row_col_options options = {};
    options.hidden = sheet.isRowHidden(row);
    worksheet_set_row_opt(ws, lxw_row_t(row), sheet.rowHeights().value(row, LXW_DEF_ROW_HEIGHT),
                          own == sheet.rowFormats().constEnd() ? nullptr : formats(*own), &options);
}

void writeCells(lxw_worksheet* ws, const Sheet& sheet, const Sheet::Row& cells, int row,
                FormatCache& formats) {
    CellFormat shown;
    for (auto c = cells.cbegin(); c != cells.cend(); ++c) {
        // A cell's own format is read in place; others are looked up.
        if (!c->format)
            shown = sheet.format(row, c.key());
        const CellFormat& format = c->format ? *c->format : shown;
        if (c->hasContent()) {
            writeValue(ws, row, c.key(), *c, format, formats);
            continue;
        }
        // A cell that only repeats its row's, column's or the sheet's
        // format need not be written.
        const auto own = sheet.rowFormats().constFind(row);
        const CellFormat inherited =
            own != sheet.rowFormats().constEnd()
                ? *own
                : sheet.columnFormats().value(c.key(), sheet.defaultFormat());
        if (!(format == inherited))
            worksheet_write_blank(ws, lxw_row_t(row), lxw_col_t(c.key()), formats(format));
    }
}

// Rows go out in order, each with its settings before its cells, as the
// constant-memory mode (which writes each row as soon as the next begins)
// needs.
void writeSheet(lxw_worksheet* ws, const Sheet& sheet, FormatCache& formats) {
    writeColumns(ws, sheet, formats);
    for (const CellRange& merged : sheet.mergedRanges())
        worksheet_merge_range(ws, lxw_row_t(merged.firstRow()), lxw_col_t(merged.firstColumn()),
                              lxw_row_t(merged.lastRow()), lxw_col_t(merged.lastColumn()), "",
                              formats(sheet.format(merged.firstRow(), merged.firstColumn())));
    const QList<int> settings = rowsWithSettings(sheet);
    auto setting = settings.cbegin();
    for (auto r = sheet.cellRows().cbegin(); r != sheet.cellRows().cend(); ++r) {
        for (; setting != settings.cend() && *setting <= r.key(); ++setting)
            writeRowSettings(ws, sheet, *setting, formats);
        writeCells(ws, sheet, *r, r.key(), formats);
    }
    for (; setting != settings.cend(); ++setting)
        writeRowSettings(ws, sheet, *setting, formats);
    if (const auto filter = sheet.autoFilterRange())
        worksheet_autofilter(ws, lxw_row_t(filter->firstRow()), lxw_col_t(filter->firstColumn()),
                             lxw_row_t(filter->lastRow()), lxw_col_t(filter->lastColumn()));
    if (sheet.frozenRows() > 0 || sheet.frozenColumns() > 0)
        worksheet_freeze_panes(ws, lxw_row_t(sheet.frozenRows()), lxw_col_t(sheet.frozenColumns()));
    worksheet_set_selection(ws, lxw_row_t(sheet.activeRow()), lxw_col_t(sheet.activeColumn()),
                            lxw_row_t(sheet.activeRow()), lxw_col_t(sheet.activeColumn()));
}

} // namespace

bool XlsxWriter::write(const Workbook& workbook, const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    const QFileInfo target(path);
    QTemporaryFile temporary(target.absolutePath() + QStringLiteral("/.") +
                             target.completeBaseName() + QStringLiteral("-XXXXXX.xlsx"));
    if (!temporary.open())
        return fail(temporary.errorString());
    temporary.close();

    lxw_workbook_options options = {};
    // Rows are written out as they come and not held in memory, unless a
    // merged area (written across rows at once) needs the whole sheet.
    bool merged = false;
    for (int i = 0; i < workbook.sheetCount(); ++i)
        merged |= !workbook.sheet(i)->mergedRanges().isEmpty();
    options.constant_memory = merged ? LXW_FALSE : LXW_TRUE;
    lxw_workbook* book =
        workbook_new_opt(QFile::encodeName(temporary.fileName()).constData(), &options);
    if (!book)
        return fail(QStringLiteral("the file cannot be created."));
    FormatCache formats(book);
    QSet<QString> names;
    for (int i = 0; i < workbook.sheetCount(); ++i) {
        const Sheet* sheet = workbook.sheet(i);
        lxw_worksheet* ws =
            workbook_add_worksheet(book, sheetName(sheet->name(), names).toUtf8().constData());
        if (!ws) {
            workbook_close(book);
            return fail(QStringLiteral("the sheet name '%1' is not allowed.").arg(sheet->name()));
        }
        writeSheet(ws, *sheet, formats);
        if (sheet == workbook.activeSheet())
            worksheet_activate(ws);
    }
    const lxw_error result = workbook_close(book);
    if (result != LXW_NO_ERROR)
        return fail(QString::fromUtf8(lxw_strerror(result)));
    // A temporary file is private to its owner; the workbook is an ordinary file.
    QFile::setPermissions(temporary.fileName(), target.exists()
                                                    ? target.permissions()
                                                    : QFile::ReadOwner | QFile::WriteOwner |
                                                          QFile::ReadGroup | QFile::ReadOther);
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(target.absoluteFilePath()).constData()) != 0)
        return fail(QStringLiteral("the file cannot be replaced (is it open elsewhere?)."));
    return true;
}
