#pragma once

#include "WorkbookReader.h"

#include <QList>

// .xls (BIFF8, Excel 97-2003) through FreeXL. FreeXL reads some damaged files
// past its own buffers, so the file is read in a child process: a damaged
// workbook is refused with a message instead of taking the program down. The
// child gets a time limit; past it, it is ended and the workbook refused.
class XlsReader : public WorkbookReader {
public:
    // `unreadable`: set when FreeXL could not make sense of the file (as
    // opposed to a file refused for its size or the time it took).
    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error,
                                                bool* unreadable = nullptr);

    static constexpr int DefaultTimeLimit = 30'000; // milliseconds
    // Test hook: another limit for the child; 0 for the default again.
    static void setTimeLimit(int milliseconds);

    QStringList sheetNames() const override { return m_sheetNames; }
    std::optional<Worksheet> sheet(const QString& name, QString* error) override;

private:
    XlsReader() = default;

    QString m_path;
    QStringList m_sheetNames;
    QList<Worksheet> m_sheets;
};
