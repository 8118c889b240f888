#include "XlsReader.h"

#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <freexl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QVariant cellValue(const FreeXL_CellValue& cell) {
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return double(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return cell.value.double_value;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
        return QString::fromUtf8(cell.value.text_value);
    case FREEXL_CELL_DATE:
        return QDate::fromString(QString::fromLatin1(cell.value.text_value), Qt::ISODate);
    case FREEXL_CELL_DATETIME:
        return QDateTime::fromString(QString::fromLatin1(cell.value.text_value),
                                     QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case FREEXL_CELL_TIME:
        return QString::fromLatin1(cell.value.text_value);
    default:
        return {};
    }
}

// Reads the whole workbook: an error text, then the sheet names, then per
// sheet its non-empty cells as (row, column, value).
QByteArray readWorkbook(const QByteArray& file) {
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    const void* handle = nullptr;
    auto finish = [&](const QString& error) {
        if (handle)
            freexl_close(handle);
        if (error.isEmpty())
            return data;
        QByteArray failed;
        QDataStream stream(&failed, QIODevice::WriteOnly);
        stream << error;
        return failed;
    };
    if (freexl_open(file.constData(), &handle) != FREEXL_OK)
        return finish(QStringLiteral("it is damaged or not an Excel 97-2003 workbook."));
    unsigned int count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &count) != FREEXL_OK)
        return finish(QStringLiteral("its list of worksheets cannot be read."));
    QStringList names;
    for (unsigned int i = 0; i < count; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(handle, static_cast<unsigned short>(i), &name) != FREEXL_OK)
            return finish(QStringLiteral("the name of worksheet %1 cannot be read.").arg(i + 1));
        names.append(QString::fromUtf8(name));
    }
    out << QString() << names;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned int rows = 0;
        unsigned short columns = 0;
        QList<std::tuple<int, int, QVariant>> cells;
        if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(i)) == FREEXL_OK &&
            freexl_worksheet_dimensions(handle, &rows, &columns) == FREEXL_OK) {
            for (unsigned int r = 0; r < rows; ++r)
                for (unsigned short c = 0; c < columns; ++c) {
                    FreeXL_CellValue cell;
                    if (freexl_get_cell_value(handle, r, c, &cell) != FREEXL_OK)
                        continue;
                    const QVariant value = cellValue(cell);
                    if (!value.isNull())
                        cells.append({int(r), int(c), value});
                }
        }
        out << qint32(rows) << qint32(columns) << qint32(cells.size());
        for (const auto& [r, c, value] : cells)
            out << qint32(r) << qint32(c) << value;
    }
    return finish({});
}

// Runs the reading in a child process and returns what it wrote, or
// nothing when the child did not finish normally.
std::optional<QByteArray> readInChild(const QByteArray& file) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        const QByteArray data = readWorkbook(file);
        const char* at = data.constData();
        qsizetype left = data.size();
        while (left > 0) {
            const ssize_t written = ::write(pipeEnds[1], at, size_t(left));
            if (written <= 0)
                ::_exit(2);
            at += written;
            left -= written;
        }
        ::_exit(0); // no destructors, no Qt clean-up of the parent's objects
    }
    ::close(pipeEnds[1]);
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(pipeEnds[0], chunk, sizeof(chunk));
        if (n > 0)
            data.append(chunk, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return data;
}

} // namespace

std::unique_ptr<WorkbookReader> XlsReader::open(const QString& path, QString* error) {
    auto fail = [&](const QString& why) -> std::unique_ptr<WorkbookReader> {
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return nullptr;
    };
    const auto data = readInChild(QFile::encodeName(path));
    if (!data)
        return fail(QStringLiteral("it is damaged."));
    QDataStream in(*data);
    QString problem;
    in >> problem;
    if (!problem.isEmpty())
        return fail(problem);
    std::unique_ptr<XlsReader> reader(new XlsReader);
    reader->m_path = path;
    in >> reader->m_sheetNames;
    for (qsizetype s = 0; s < reader->m_sheetNames.size(); ++s) {
        qint32 rows = 0, columns = 0, cells = 0;
        in >> rows >> columns >> cells;
        Worksheet sheet;
        sheet.name = reader->m_sheetNames.at(s);
        for (qint32 i = 0; i < cells && in.status() == QDataStream::Ok; ++i) {
            qint32 r = 0, c = 0;
            QVariant value;
            in >> r >> c >> value;
            sheet.setCell(r, c, value);
        }
        // The sheet's declared size counts, so trailing empty cells stay.
        if (rows > 0 && columns > 0 && rows <= 65536 && columns <= 256 &&
            (sheet.rowCount() < rows || sheet.columnCount() < columns))
            sheet.setCell(rows - 1, columns - 1, sheet.cell(rows - 1, columns - 1));
        reader->m_sheets.append(sheet);
    }
    if (in.status() != QDataStream::Ok)
        return fail(QStringLiteral("it is damaged."));
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
    return m_sheets.at(index);
}
