#pragma once

#include "WorkbookReader.h"

#include <QByteArray>
#include <QList>

// .xls read record by record: the workbook stream ("Workbook" in BIFF8 of
// Excel 97-2003, "Book" in BIFF5 of Excel 5.0/95) is taken out of its
// compound file with libgsf and its BIFF records are read here. It stands in
// where FreeXL opens a workbook but lists no sheets in it, as it does for
// BIFF5 files that other spreadsheet programs still write. Texts of BIFF5
// arrive through the workbook's code page; dates are told by their cells'
// number formats, as in the other readers.
class BiffReader : public WorkbookReader {
public:
    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error);
    // The same from the workbook stream itself (for fuzzing); `bookStream`:
    // it was named "Book", so it is BIFF5 unless its header says otherwise.
    static std::unique_ptr<WorkbookReader> fromStream(const QByteArray& stream, const QString& path,
                                                      QString* error, bool bookStream = false);

    QStringList sheetNames() const override { return m_sheetNames; }
    std::optional<Worksheet> sheet(const QString& name, QString* error) override;

private:
    BiffReader() = default;

    QString m_path;
    QStringList m_sheetNames;
    QList<Worksheet> m_sheets;
};
