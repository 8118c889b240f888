#pragma once

#include "WorkbookReader.h"

#include <QList>

// .xls (BIFF8, Excel 97-2003) through FreeXL. FreeXL reads some damaged files
// past its own buffers, so the file is read in a child process: a damaged
// workbook is refused with a message instead of taking the program down.
class XlsReader : public WorkbookReader {
public:
    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error);

    QStringList sheetNames() const override { return m_sheetNames; }
    std::optional<Worksheet> sheet(const QString& name, QString* error) override;

private:
    XlsReader() = default;

    QString m_path;
    QStringList m_sheetNames;
    QList<Worksheet> m_sheets;
};
