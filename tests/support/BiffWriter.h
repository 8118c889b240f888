#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Writes small .xls workbooks record by record, for the tests of the .xls
// readers: BIFF8 (Excel 97-2003, the stream "Workbook", shared texts in
// UTF-16) as FreeXL reads it, or BIFF5 (Excel 5.0/95, the stream "Book",
// texts in Windows-1252) as other programs still write it, which FreeXL
// opens but finds no sheets in. Cells: QString, double, bool, QDate,
// QDateTime (shown as dates by their formats); a null QVariant is an empty
// cell. Numbers that are whole and small go in RK records, the rest in
// NUMBER records.
namespace BiffWriter {

enum class Version { Biff8, Biff5 };

// How the file is laid out beyond its version: the sheets' DIMENSIONS record
// in the longer BIFF8 form also in BIFF5 (as some programs write it: FreeXL
// then lists no sheets), and the name of the workbook stream (compound file
// names ignore letter case; FreeXL refuses "WORKBOOK").
struct Layout {
    Version version = Version::Biff8;
    bool longDimensions = false;
    QString streamName; // empty: "Workbook" or "Book"
};

struct Sheet {
    QString name;
    QList<QList<QVariant>> rows;
};

bool write(const QString& path, const QList<Sheet>& sheets, const Layout& layout,
           QString* error = nullptr);
inline bool write(const QString& path, const QList<Sheet>& sheets, Version version,
                  QString* error = nullptr) {
    return write(path, sheets, Layout{version, false, {}}, error);
}

} // namespace BiffWriter
