#include "XlsxReader.h"

#include "CellRange.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <zip.h>

namespace {

// Texts in the file carry characters XML cannot hold (a carriage return,
// other control characters) as _xHHHH_, and an underscore that would be
// read as one as _x005F_.
QString decodeEscapes(const QString& text) {
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text.at(i) == u'_' && i + 6 < text.size() && text.at(i + 1) == u'x' &&
            text.at(i + 6) == u'_') {
            bool ok = false;
            const ushort code = QStringView(text).mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                decoded += QChar(code);
                i += 7;
                continue;
            }
        }
        decoded += text.at(i++);
    }
    return decoded;
}

// Bounds of a part. Real parts unpack to at most some 25 times their packed
// size (cell references differ from cell to cell); 100 leaves room, and
// small parts are never refused for their ratio.
constexpr qint64 MaxExpansion = 100;
constexpr qint64 SmallPart = 1024 * 1024;
constexpr qint64 MaxPartSize = 256 * 1024 * 1024;
// Excel itself keeps fewer than 65,000 formats and fonts.
constexpr int MaxStyles = 65536;

// Resolves a relationship target against the folder of the part that names it.
QString resolveTarget(const QString& base, const QString& target) {
    if (target.startsWith(u'/'))
        return target.mid(1);
    return QDir::cleanPath(base + u'/' + target);
}

} // namespace

XlsxReader::~XlsxReader() {
    if (m_zip)
        zip_discard(m_zip);
}

std::unique_ptr<WorkbookReader> XlsxReader::open(const QString& path, QString* error) {
    std::unique_ptr<XlsxReader> reader(new XlsxReader);
    reader->m_path = path;
    int code = 0;
    reader->m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!reader->m_zip) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: it is damaged or not an "
                                    ".xlsx workbook.")
                         .arg(QDir::toNativeSeparators(path));
        return nullptr;
    }
    if (!reader->readWorkbook(error) || !reader->readSharedStrings(error) ||
        !reader->readStyles(error))
        return nullptr;
    return reader;
}

XlsxReader::Part XlsxReader::part(const QString& name) const {
    Part result;
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray entryName = name.toUtf8();
    if (zip_stat(m_zip, entryName.constData(), ZIP_FL_NOCASE, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return result;
    zip_file_t* file = zip_fopen(m_zip, entryName.constData(), ZIP_FL_NOCASE);
    if (!file)
        return result;
    // The packed size cannot be more than the file holds, whatever the
    // archive says; the unpacked size it declares is not trusted at all.
    qint64 packed = QFileInfo(m_path).size();
    if ((stat.valid & ZIP_STAT_COMP_SIZE) && qint64(stat.comp_size) < packed)
        packed = qint64(stat.comp_size);
    const qint64 limit = std::min(MaxPartSize, std::max(SmallPart, packed * MaxExpansion));
    result.data.reserve(qsizetype(std::min<zip_uint64_t>(stat.size, zip_uint64_t(limit))));
    char chunk[65536];
    zip_int64_t read = 0;
    while ((read = zip_fread(file, chunk, sizeof(chunk))) > 0) {
        if (result.data.size() + read > limit) {
            result.tooLarge =
                limit == MaxPartSize
                    ? QStringLiteral("its part %1 unpacks to more than %L2 MB")
                          .arg(name)
                          .arg(MaxPartSize / (1024 * 1024))
                    : QStringLiteral("its part %1 unpacks to more than %2 times its packed size")
                          .arg(name)
                          .arg(MaxExpansion);
            result.data = QByteArray();
            break;
        }
        result.data.append(chunk, qsizetype(read));
    }
    zip_fclose(file);
    result.found = read >= 0 || !result.tooLarge.isEmpty();
    if (!result.found)
        result.data = QByteArray();
    return result;
}

bool XlsxReader::readWorkbook(QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(m_path), why);
        return false;
    };
    const Part workbook = part(QStringLiteral("xl/workbook.xml"));
    const Part relations = part(QStringLiteral("xl/_rels/workbook.xml.rels"));
    for (const Part* read : {&workbook, &relations})
        if (!read->tooLarge.isEmpty()) {
            if (error)
                *error = tooLarge(m_path, read->tooLarge);
            return false;
        }
    if (!workbook.found || !relations.found)
        return fail(QStringLiteral("its workbook part is missing."));

    QHash<QString, QString> targets;
    QXmlStreamReader rels(relations.data);
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = rels.attributes();
            targets.insert(
                a.value(QLatin1String("Id")).toString(),
                resolveTarget(QStringLiteral("xl"), a.value(QLatin1String("Target")).toString()));
        }
    }

    QXmlStreamReader xml(workbook.data);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("workbookPr")) {
            const auto value = xml.attributes().value(QLatin1String("date1904"));
            m_date1904 = value == QLatin1String("1") || value == QLatin1String("true");
        } else if (xml.name() == QLatin1String("sheet")) {
            QString id;
            for (const QXmlStreamAttribute& a : xml.attributes())
                if (a.name() == QLatin1String("id"))
                    id = a.value().toString();
            m_sheetNames.append(xml.attributes().value(QLatin1String("name")).toString());
            m_sheetTargets.append(targets.value(id));
        }
    }
    if (xml.hasError())
        return fail(xml.errorString());
    return true;
}

bool XlsxReader::readSharedStrings(QString* error) {
    const Part strings = part(QStringLiteral("xl/sharedStrings.xml"));
    if (!strings.tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge(m_path, strings.tooLarge);
        return false;
    }
    QXmlStreamReader xml(strings.data);
    QString current;
    bool inItem = false;
    int phonetic = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("si")) {
                inItem = true;
                current.clear();
            } else if (xml.name() == QLatin1String("rPh")) {
                ++phonetic;
            } else if (xml.name() == QLatin1String("t") && inItem && phonetic == 0) {
                current += decodeEscapes(xml.readElementText());
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("si")) {
                // No sheet can show more texts than it has cells.
                if (m_sharedStrings.size() >= MaxCells) {
                    if (error)
                        *error = tooLarge(
                            m_path, QStringLiteral("it holds more than %L1 texts").arg(MaxCells));
                    return false;
                }
                m_sharedStrings.append(current);
                inItem = false;
            } else if (xml.name() == QLatin1String("rPh")) {
                --phonetic;
            }
        }
    }
    return true;
}

bool XlsxReader::isDateFormat(int id, const QString& code) {
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
        (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Leave out quoted texts, escaped characters and [colour]/[locale] parts.
    QString bare;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, close - i - 1).toLower();
            if (inside == QLatin1String("h") || inside == QLatin1String("hh") ||
                inside == QLatin1String("m") || inside == QLatin1String("mm") ||
                inside == QLatin1String("s") || inside == QLatin1String("ss"))
                bare += u'h';
            i = close < 0 ? code.size() : close;
        } else {
            bare += c.toLower();
        }
    }
    // Only the first section (positive numbers) decides.
    bare = bare.section(u';', 0, 0);
    if (bare == QLatin1String("general"))
        return false;
    return bare.contains(u'd') || bare.contains(u'm') || bare.contains(u'y') ||
           bare.contains(u'h') || bare.contains(u's');
}

QString XlsxReader::builtInNumberFormat(int id) {
    switch (id) {
    case 1:
        return QStringLiteral("0");
    case 2:
        return QStringLiteral("0.00");
    case 3:
        return QStringLiteral("#,##0");
    case 4:
        return QStringLiteral("#,##0.00");
    case 9:
        return QStringLiteral("0%");
    case 10:
        return QStringLiteral("0.00%");
    case 11:
        return QStringLiteral("0.00E+00");
    case 12:
        return QStringLiteral("# ?/?");
    case 13:
        return QStringLiteral("# ?\?/?\?");
    case 14:
        return QStringLiteral("m/d/yyyy");
    case 15:
        return QStringLiteral("d-mmm-yy");
    case 16:
        return QStringLiteral("d-mmm");
    case 17:
        return QStringLiteral("mmm-yy");
    case 18:
        return QStringLiteral("h:mm AM/PM");
    case 19:
        return QStringLiteral("h:mm:ss AM/PM");
    case 20:
        return QStringLiteral("h:mm");
    case 21:
        return QStringLiteral("h:mm:ss");
    case 22:
        return QStringLiteral("m/d/yyyy h:mm");
    case 37:
        return QStringLiteral("#,##0 ;(#,##0)");
    case 38:
        return QStringLiteral("#,##0 ;[Red](#,##0)");
    case 39:
        return QStringLiteral("#,##0.00;(#,##0.00)");
    case 40:
        return QStringLiteral("#,##0.00;[Red](#,##0.00)");
    case 45:
        return QStringLiteral("mm:ss");
    case 46:
        return QStringLiteral("[h]:mm:ss");
    case 47:
        return QStringLiteral("mmss.0");
    case 48:
        return QStringLiteral("##0.0E+0");
    case 49:
        return QStringLiteral("@");
    default:
        return QStringLiteral("General");
    }
}

double XlsxReader::columnWidthInCharacters(double fileWidth) {
    // The file holds whole pixels (7 to a character, 5 of padding) over 7.
    const double pixels = std::round(fileWidth * 7);
    const double characters = pixels < 12 ? pixels / 12 : (pixels - 5) / 7;
    return std::round(characters * 100) / 100;
}

namespace {

bool isTrue(QStringView value) {
    return value == QLatin1String("1") || value == QLatin1String("true");
}

// <b/> alone means bold; <b val="0"/> means not.
bool flag(const QXmlStreamAttributes& attributes) {
    const auto value = attributes.value(QLatin1String("val"));
    return value.isEmpty() || isTrue(value);
}

HorizontalAlignment horizontalAlignment(QStringView name) {
    if (name == QLatin1String("left"))
        return HorizontalAlignment::Left;
    if (name == QLatin1String("center"))
        return HorizontalAlignment::Center;
    if (name == QLatin1String("right"))
        return HorizontalAlignment::Right;
    if (name == QLatin1String("fill"))
        return HorizontalAlignment::Fill;
    if (name == QLatin1String("justify"))
        return HorizontalAlignment::Justify;
    if (name == QLatin1String("centerContinuous"))
        return HorizontalAlignment::CenterAcrossSelection;
    if (name == QLatin1String("distributed"))
        return HorizontalAlignment::Distributed;
    return HorizontalAlignment::General;
}

VerticalAlignment verticalAlignment(QStringView name) {
    if (name == QLatin1String("top"))
        return VerticalAlignment::Top;
    if (name == QLatin1String("center"))
        return VerticalAlignment::Center;
    if (name == QLatin1String("justify"))
        return VerticalAlignment::Justify;
    if (name == QLatin1String("distributed"))
        return VerticalAlignment::Distributed;
    return VerticalAlignment::Bottom;
}

} // namespace

bool XlsxReader::readStyles(QString* error) {
    const Part styles = part(QStringLiteral("xl/styles.xml"));
    if (!styles.tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge(m_path, styles.tooLarge);
        return false;
    }
    QHash<int, QString> customFormats;
    QList<CellFormat> fonts; // only the font fields are used
    QXmlStreamReader xml(styles.data);
    bool inFonts = false, inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (customFormats.size() > MaxStyles || fonts.size() > MaxStyles ||
                m_cellFormats.size() > MaxStyles) {
                if (error)
                    *error = tooLarge(
                        m_path,
                        QStringLiteral("it holds more than %L1 cell styles").arg(MaxStyles));
                return false;
            }
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("numFmt")) {
                customFormats.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                     a.value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == QLatin1String("fonts")) {
                inFonts = true;
            } else if (xml.name() == QLatin1String("font") && inFonts) {
                fonts.append(CellFormat());
            } else if (inFonts && !fonts.isEmpty()) {
                CellFormat& font = fonts.last();
                if (xml.name() == QLatin1String("b"))
                    font.bold = flag(a);
                else if (xml.name() == QLatin1String("i"))
                    font.italic = flag(a);
                else if (xml.name() == QLatin1String("sz"))
                    font.fontSize = a.value(QLatin1String("val")).toDouble();
                else if (xml.name() == QLatin1String("name"))
                    font.fontName = a.value(QLatin1String("val")).toString();
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (xml.name() == QLatin1String("xf") && inCellXfs) {
                const int id = a.value(QLatin1String("numFmtId")).toInt();
                const QString code = customFormats.value(id, builtInNumberFormat(id));
                m_dateStyles.append(isDateFormat(id, customFormats.value(id)));
                CellFormat format = fonts.value(a.value(QLatin1String("fontId")).toInt());
                format.numberFormat = code;
                m_cellFormats.append(format);
            } else if (xml.name() == QLatin1String("alignment") && inCellXfs &&
                       !m_cellFormats.isEmpty()) {
                CellFormat& format = m_cellFormats.last();
                format.horizontal = horizontalAlignment(a.value(QLatin1String("horizontal")));
                format.vertical = verticalAlignment(a.value(QLatin1String("vertical")));
                format.wrapText = isTrue(a.value(QLatin1String("wrapText")));
                format.shrinkToFit = isTrue(a.value(QLatin1String("shrinkToFit")));
                format.indentLevel = a.value(QLatin1String("indent")).toInt();
                format.rotation = a.value(QLatin1String("textRotation")).toInt();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("cellXfs"))
                inCellXfs = false;
            else if (xml.name() == QLatin1String("fonts"))
                inFonts = false;
        }
    }
    return true;
}

CellFormat XlsxReader::cellFormat(int style) const {
    return style >= 0 && style < m_cellFormats.size() ? m_cellFormats.at(style) : CellFormat();
}

QVariant XlsxReader::serialToDate(double serial, bool date1904) {
    QDateTime base;
    if (date1904) {
        base = QDateTime(QDate(1904, 1, 1), QTime(0, 0));
    } else {
        // Serial 60 is 29 February 1900, a day that never was; serials below
        // it count from 31 December 1899.
        base = serial < 61 ? QDateTime(QDate(1899, 12, 31), QTime(0, 0))
                           : QDateTime(QDate(1899, 12, 30), QTime(0, 0));
        if (serial >= 60 && serial < 61)
            serial = 59 + (serial - 60);
    }
    const double days = std::floor(serial);
    const qint64 milliseconds = std::llround((serial - days) * 86400.0) * 1000;
    QDateTime value = base.addDays(qint64(days)).addMSecs(milliseconds);
    if (value.time() == QTime(0, 0))
        return value.date();
    return value;
}

bool XlsxReader::parseCellReference(QStringView reference, int& row, int& column) {
    // A sheet has at most XFD1048576: longer references are damage, and
    // must not overflow into a negative or huge position.
    int parsedColumn = 0;
    qsizetype i = 0;
    while (i < reference.size() && i < 3 && reference.at(i).toUpper() >= u'A' &&
           reference.at(i).toUpper() <= u'Z') {
        parsedColumn = parsedColumn * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
        ++i;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    const int parsedRow = reference.mid(i).toInt(&ok) - 1;
    if (!ok || parsedRow < 0 || parsedRow >= CellRange::MaxRows || parsedColumn < 1 ||
        parsedColumn > CellRange::MaxColumns)
        return false;
    row = parsedRow;
    column = parsedColumn - 1;
    return true;
}

std::optional<Worksheet> XlsxReader::sheet(const QString& name, QString* error) {
    const int index = sheetIndex(name);
    if (index < 0) {
        if (error)
            *error = QStringLiteral("The workbook %1 has no worksheet named '%2'.")
                         .arg(QDir::toNativeSeparators(m_path), name);
        return std::nullopt;
    }
    const Part data = part(m_sheetTargets.at(index));
    if (!data.tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge(m_path, data.tooLarge);
        return std::nullopt;
    }
    if (!data.found) {
        if (error)
            *error = QStringLiteral("The worksheet '%1' of %2 is missing from the file.")
                         .arg(name, QDir::toNativeSeparators(m_path));
        return std::nullopt;
    }

    Worksheet sheet;
    sheet.name = m_sheetNames.at(index);
    sheet.defaultFormat = cellFormat(0);
    QXmlStreamReader xml(data.data);
    int rowIndex = -1;
    int nextColumn = 0;
    // Everything the sheet lists costs work or memory: cells, rows, merged
    // ranges and each column of a column run.
    qint64 listed = 0;
    auto refuse = [&](const QString& why) -> std::optional<Worksheet> {
        if (error)
            *error = tooLarge(m_path, why.arg(sheet.name).arg(MaxCells));
        return std::nullopt;
    };
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        if (xml.name() == QLatin1String("row") || xml.name() == QLatin1String("c") ||
            xml.name() == QLatin1String("mergeCell")) {
            if (++listed > MaxCells)
                return refuse(QStringLiteral("the worksheet '%1' lists more than %L2 cells"));
        }
        if (xml.name() == QLatin1String("row")) {
            const auto r = attributes.value(QLatin1String("r"));
            rowIndex = r.isEmpty() ? rowIndex + 1 : r.toInt() - 1;
            nextColumn = 0;
            if (rowIndex < 0 || rowIndex >= CellRange::MaxRows) {
                rowIndex = -1; // a damaged row: its cells are left out
                continue;
            }
            if (isTrue(attributes.value(QLatin1String("customHeight"))))
                sheet.rowHeights.insert(rowIndex, attributes.value(QLatin1String("ht")).toDouble());
            if (isTrue(attributes.value(QLatin1String("hidden"))))
                sheet.hiddenRows.insert(rowIndex);
            if (isTrue(attributes.value(QLatin1String("customFormat"))))
                sheet.rowFormats.insert(rowIndex,
                                        cellFormat(attributes.value(QLatin1String("s")).toInt()));
            continue;
        }
        if (xml.name() == QLatin1String("col")) {
            const int first = attributes.value(QLatin1String("min")).toInt() - 1;
            const int last =
                std::min(attributes.value(QLatin1String("max")).toInt(), CellRange::MaxColumns) - 1;
            const bool reachesTheEnd = last == CellRange::MaxColumns - 1;
            const bool hidden = isTrue(attributes.value(QLatin1String("hidden")));
            const bool customWidth = isTrue(attributes.value(QLatin1String("customWidth")));
            const double width =
                columnWidthInCharacters(attributes.value(QLatin1String("width")).toDouble());
            const auto style = attributes.value(QLatin1String("style"));
            listed += std::max(0, last - first + 1);
            if (listed > MaxCells)
                return refuse(QStringLiteral("the worksheet '%1' lists more than %L2 cells"));
            // A run to the sheet's last column sets what all other columns show.
            if (reachesTheEnd && !style.isEmpty())
                sheet.defaultFormat = cellFormat(style.toInt());
            for (int c = std::max(0, first); c <= last; ++c) {
                if (reachesTheEnd && !hidden && !customWidth)
                    break;
                if (hidden)
                    sheet.hiddenColumns.insert(c);
                if (customWidth)
                    sheet.columnWidths.insert(c, width);
                if (!style.isEmpty() && !reachesTheEnd)
                    sheet.columnFormats.insert(c, cellFormat(style.toInt()));
            }
            continue;
        }
        if (xml.name() == QLatin1String("pane")) {
            const auto state = attributes.value(QLatin1String("state"));
            if (state == QLatin1String("frozen") || state == QLatin1String("frozenSplit")) {
                sheet.frozenRows = int(attributes.value(QLatin1String("ySplit")).toDouble());
                sheet.frozenColumns = int(attributes.value(QLatin1String("xSplit")).toDouble());
            }
            continue;
        }
        if (xml.name() == QLatin1String("autoFilter")) {
            sheet.autoFilter = attributes.value(QLatin1String("ref")).toString();
            continue;
        }
        if (xml.name() == QLatin1String("mergeCell")) {
            sheet.mergedRanges.append(attributes.value(QLatin1String("ref")).toString());
            continue;
        }
        if (xml.name() != QLatin1String("c"))
            continue;
        int row = rowIndex, column = nextColumn;
        const auto reference = attributes.value(QLatin1String("r"));
        if (!reference.isEmpty() && !parseCellReference(reference, row, column))
            row = -1; // a damaged reference: the cell is left out
        if (column >= CellRange::MaxColumns)
            row = -1;
        nextColumn = column + 1;
        const QString type = attributes.value(QLatin1String("t")).toString();
        const int style = attributes.value(QLatin1String("s")).toInt();

        if (row >= 0)
            sheet.cellFormats.insert({row, column}, cellFormat(style));

        QString raw;
        bool hasValue = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("f")) {
                const QString formula = xml.readElementText();
                if (!formula.isEmpty() && row >= 0)
                    sheet.formulas.insert({row, column}, u'=' + formula);
            } else if (xml.name() == QLatin1String("v")) {
                raw = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == QLatin1String("is")) {
                QString text;
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("t")) {
                        text += decodeEscapes(xml.readElementText());
                    } else if (xml.name() == QLatin1String("r")) {
                        while (xml.readNextStartElement()) {
                            if (xml.name() == QLatin1String("t"))
                                text += decodeEscapes(xml.readElementText());
                            else
                                xml.skipCurrentElement();
                        }
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                raw = text;
                hasValue = true;
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!hasValue || row < 0)
            continue;
        // The sheet is held as a full grid up to its last row and column.
        const qint64 rows = std::max(sheet.rowCount(), row + 1);
        const qint64 columns = std::max(sheet.columnCount(), column + 1);
        if (rows * columns > MaxCells)
            return refuse(QStringLiteral("the worksheet '%1' spans more than %L2 cells"));

        QVariant value;
        if (type == QLatin1String("s")) {
            const int i = raw.toInt();
            if (i >= 0 && i < m_sharedStrings.size())
                value = m_sharedStrings.at(i);
        } else if (type == QLatin1String("str") || type == QLatin1String("inlineStr")) {
            value = raw;
        } else if (type == QLatin1String("b")) {
            value = raw == QLatin1String("1");
        } else if (type == QLatin1String("e")) {
            value = raw; // #N/A, #DIV/0! ...
        } else if (type == QLatin1String("d")) {
            const QDateTime dt = QDateTime::fromString(raw, Qt::ISODate);
            value = dt.time() == QTime(0, 0) ? QVariant(dt.date()) : QVariant(dt);
        } else {
            bool ok = false;
            const double number = raw.toDouble(&ok);
            if (!ok)
                value = raw;
            else if (style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style))
                value = serialToDate(number, m_date1904);
            else
                value = number;
        }
        sheet.setCell(row, column, value);
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("The worksheet '%1' of %2 is damaged: %3")
                         .arg(name, QDir::toNativeSeparators(m_path), xml.errorString());
        return std::nullopt;
    }
    return sheet;
}
