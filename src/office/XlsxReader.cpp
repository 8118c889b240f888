#include "XlsxReader.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>
#include <zip.h>

namespace {

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
    if (!reader->readWorkbook(error))
        return nullptr;
    reader->readSharedStrings();
    reader->readStyles();
    return reader;
}

std::optional<QByteArray> XlsxReader::entry(const QString& name) const {
    zip_stat_t stat;
    zip_stat_init(&stat);
    const QByteArray entryName = name.toUtf8();
    if (zip_stat(m_zip, entryName.constData(), ZIP_FL_NOCASE, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    zip_file_t* file = zip_fopen(m_zip, entryName.constData(), ZIP_FL_NOCASE);
    if (!file)
        return std::nullopt;
    QByteArray data;
    data.resize(qsizetype(stat.size));
    const zip_int64_t read = zip_fread(file, data.data(), stat.size);
    zip_fclose(file);
    if (read < 0 || zip_uint64_t(read) != stat.size)
        return std::nullopt;
    return data;
}

bool XlsxReader::readWorkbook(QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(m_path), why);
        return false;
    };
    const auto workbook = entry(QStringLiteral("xl/workbook.xml"));
    const auto relations = entry(QStringLiteral("xl/_rels/workbook.xml.rels"));
    if (!workbook || !relations)
        return fail(QStringLiteral("its workbook part is missing."));

    QHash<QString, QString> targets;
    QXmlStreamReader rels(*relations);
    while (!rels.atEnd()) {
        rels.readNext();
        if (rels.isStartElement() && rels.name() == QLatin1String("Relationship")) {
            const QXmlStreamAttributes a = rels.attributes();
            targets.insert(
                a.value(QLatin1String("Id")).toString(),
                resolveTarget(QStringLiteral("xl"), a.value(QLatin1String("Target")).toString()));
        }
    }

    QXmlStreamReader xml(*workbook);
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

void XlsxReader::readSharedStrings() {
    const auto data = entry(QStringLiteral("xl/sharedStrings.xml"));
    if (!data)
        return;
    QXmlStreamReader xml(*data);
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
                current += xml.readElementText();
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("si")) {
                m_sharedStrings.append(current);
                inItem = false;
            } else if (xml.name() == QLatin1String("rPh")) {
                --phonetic;
            }
        }
    }
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

void XlsxReader::readStyles() {
    const auto data = entry(QStringLiteral("xl/styles.xml"));
    if (!data)
        return;
    QHash<int, QString> customFormats;
    QXmlStreamReader xml(*data);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("numFmt")) {
                customFormats.insert(
                    xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                    xml.attributes().value(QLatin1String("formatCode")).toString());
            } else if (xml.name() == QLatin1String("cellXfs")) {
                inCellXfs = true;
            } else if (xml.name() == QLatin1String("xf") && inCellXfs) {
                const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                m_dateStyles.append(isDateFormat(id, customFormats.value(id)));
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("cellXfs")) {
            inCellXfs = false;
        }
    }
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
    column = 0;
    qsizetype i = 0;
    while (i < reference.size() && reference.at(i).isLetter()) {
        column = column * 26 + (reference.at(i).toUpper().unicode() - u'A' + 1);
        ++i;
    }
    if (i == 0 || i == reference.size())
        return false;
    bool ok = false;
    row = reference.mid(i).toInt(&ok) - 1;
    column -= 1;
    return ok && row >= 0 && column >= 0;
}

std::optional<Worksheet> XlsxReader::sheet(const QString& name, QString* error) {
    const int index = sheetIndex(name);
    if (index < 0) {
        if (error)
            *error = QStringLiteral("The workbook %1 has no worksheet named '%2'.")
                         .arg(QDir::toNativeSeparators(m_path), name);
        return std::nullopt;
    }
    const auto data = entry(m_sheetTargets.at(index));
    if (!data) {
        if (error)
            *error = QStringLiteral("The worksheet '%1' of %2 is missing from the file.")
                         .arg(name, QDir::toNativeSeparators(m_path));
        return std::nullopt;
    }

    Worksheet sheet;
    sheet.name = m_sheetNames.at(index);
    QXmlStreamReader xml(*data);
    int rowIndex = -1;
    int nextColumn = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("row")) {
            const auto r = xml.attributes().value(QLatin1String("r"));
            rowIndex = r.isEmpty() ? rowIndex + 1 : r.toInt() - 1;
            nextColumn = 0;
            continue;
        }
        if (xml.name() != QLatin1String("c"))
            continue;
        int row = rowIndex, column = nextColumn;
        const auto reference = xml.attributes().value(QLatin1String("r"));
        if (!reference.isEmpty())
            parseCellReference(reference, row, column);
        nextColumn = column + 1;
        const QString type = xml.attributes().value(QLatin1String("t")).toString();
        const int style = xml.attributes().value(QLatin1String("s")).toInt();

        QString raw;
        bool hasValue = false;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("v")) {
                raw = xml.readElementText();
                hasValue = true;
            } else if (xml.name() == QLatin1String("is")) {
                QString text;
                while (xml.readNextStartElement()) {
                    if (xml.name() == QLatin1String("t")) {
                        text += xml.readElementText();
                    } else if (xml.name() == QLatin1String("r")) {
                        while (xml.readNextStartElement()) {
                            if (xml.name() == QLatin1String("t"))
                                text += xml.readElementText();
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
