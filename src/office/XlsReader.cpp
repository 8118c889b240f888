#include "XlsReader.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <freexl.h>

XlsReader::~XlsReader() {
    if (m_handle)
        freexl_close(m_handle);
}

std::unique_ptr<WorkbookReader> XlsReader::open(const QString& path, QString* error) {
    std::unique_ptr<XlsReader> reader(new XlsReader);
    reader->m_path = path;
    const QByteArray file = QFile::encodeName(path);
    auto fail = [&](const QString& why) -> std::unique_ptr<WorkbookReader> {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return nullptr;
    };
    if (freexl_open(file.constData(), &reader->m_handle) != FREEXL_OK)
        return fail(QStringLiteral("it is damaged or not an Excel 97-2003 workbook."));
    unsigned int count = 0;
    if (freexl_get_info(reader->m_handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return fail(QStringLiteral("its list of worksheets cannot be read."));
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(reader->m_handle, static_cast<unsigned short>(i), &name) !=
            FREEXL_OK)
            return fail(QStringLiteral("the name of worksheet %1 cannot be read.").arg(i + 1));
        reader->m_sheetNames.append(QString::fromUtf8(name));
    }
    return reader;
}

std::optional<Worksheet> XlsReader::sheet(const QString& name, QString* error) {
    const int index = sheetIndex(name);
    if (index < 0) {
        if (error)
            *error = QStringLiteral("The workbook %1 has no worksheet named '%2'.")
                         .arg(QDir::toNativeSeparators(m_path), name);
        return std::nullopt;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(m_handle, static_cast<unsigned short>(index)) != FREEXL_OK ||
        freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
        if (error)
            *error = QStringLiteral("The worksheet '%1' of %2 cannot be read.")
                         .arg(name, QDir::toNativeSeparators(m_path));
        return std::nullopt;
    }
    Worksheet sheet;
    sheet.name = m_sheetNames.at(index);
    for (unsigned int r = 0; r < rows; ++r) {
        QList<QVariant> row(columns);
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(m_handle, r, c, &cell) != FREEXL_OK)
                continue;
            switch (cell.type) {
            case FREEXL_CELL_INT:
                row[c] = double(cell.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                row[c] = cell.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                row[c] = QString::fromUtf8(cell.value.text_value);
                break;
            case FREEXL_CELL_DATE:
                row[c] = QDate::fromString(QString::fromLatin1(cell.value.text_value), Qt::ISODate);
                break;
            case FREEXL_CELL_DATETIME: {
                QDateTime dt = QDateTime::fromString(QString::fromLatin1(cell.value.text_value),
                                                     QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                row[c] = dt;
                break;
            }
            case FREEXL_CELL_TIME:
                row[c] = QString::fromLatin1(cell.value.text_value);
                break;
            default:
                break;
            }
        }
        sheet.rows.append(row);
    }
    return sheet;
}
