#pragma once

#include "WorkbookReader.h"

// .xls (BIFF8, Excel 97-2003) through FreeXL.
class XlsReader : public WorkbookReader {
public:
    ~XlsReader() override;
    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error);

    QStringList sheetNames() const override { return m_sheetNames; }
    std::optional<Worksheet> sheet(const QString& name, QString* error) override;

private:
    XlsReader() = default;

    const void* m_handle = nullptr;
    QString m_path;
    QStringList m_sheetNames;
};
