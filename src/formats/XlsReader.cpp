#include "XlsReader.h"

#include <QDataStream>
#include <QDate>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <csignal>
#include <freexl.h>
#include <poll.h>
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
            // The reader holds each sheet as a full grid of its declared size.
            if (qint64(rows) * columns > WorkbookReader::MaxCells)
                return finish(QStringLiteral("it is too large (the worksheet '%1' spans more "
                                             "than %L2 cells).")
                                  .arg(names.at(qsizetype(i)))
                                  .arg(WorkbookReader::MaxCells));
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

int& timeLimit() {
    static int milliseconds = 0;
    return milliseconds;
}

enum class ChildEnd { Finished, Failed, TimedOut };

// Runs the reading in a child process and gives what it wrote; the child is
// ended when it has not finished within the time limit.
ChildEnd readInChild(const QByteArray& file, QByteArray& data) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return ChildEnd::Failed;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return ChildEnd::Failed;
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
    QDeadlineTimer deadline(timeLimit() > 0 ? timeLimit() : XlsReader::DefaultTimeLimit);
    bool timedOut = false;
    char chunk[65536];
    for (;;) {
        pollfd output{pipeEnds[0], POLLIN, 0};
        const int ready = ::poll(&output, 1, int(deadline.remainingTime()));
        if (ready == 0) {
            timedOut = true;
            break;
        }
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        const ssize_t n = ::read(pipeEnds[0], chunk, sizeof(chunk));
        if (n > 0)
            data.append(chunk, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    // Once its output is closed the child only exits; the wait is short.
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut)
        return ChildEnd::TimedOut;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ChildEnd::Failed;
    return ChildEnd::Finished;
}

} // namespace

std::unique_ptr<WorkbookReader> XlsReader::open(const QString& path, QString* error,
                                                bool* unreadable) {
    if (unreadable)
        *unreadable = false;
    auto fail = [&](const QString& why) -> std::unique_ptr<WorkbookReader> {
        if (unreadable)
            *unreadable = !why.startsWith(QLatin1String("it is too large"));
        if (error)
            *error = QStringLiteral("The workbook %1 cannot be read: %2")
                         .arg(QDir::toNativeSeparators(path), why);
        return nullptr;
    };
    QByteArray data;
    switch (readInChild(QFile::encodeName(path), data)) {
    case ChildEnd::Finished:
        break;
    case ChildEnd::Failed:
        return fail(QStringLiteral("it is damaged."));
    case ChildEnd::TimedOut:
        return fail(QStringLiteral("it is too large or damaged: reading it took longer than %L1 "
                                   "seconds.")
                        .arg((timeLimit() > 0 ? timeLimit() : DefaultTimeLimit) / 1000.0));
    }
    QDataStream in(data);
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
        if (qint64(rows) * columns > MaxCells)
            return fail(QStringLiteral("it is too large (the worksheet '%1' spans more than %L2 "
                                       "cells).")
                            .arg(sheet.name)
                            .arg(MaxCells));
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

void XlsReader::setTimeLimit(int milliseconds) {
    timeLimit() = milliseconds;
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
