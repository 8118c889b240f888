#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// The cells of one worksheet as the make-table import takes them: values
// (QString, double, bool, QDate, QDateTime; null for an empty cell), row 0
// first, every row as wide as the first.
struct SheetTable {
    QString name;
    QList<QList<QVariant>> rows;

    int rowCount() const { return int(rows.size()); }
    int columnCount() const { return rows.isEmpty() ? 0 : int(rows.first().size()); }
    QVariant cell(int row, int column) const {
        if (row < 0 || row >= rows.size() || column < 0 || column >= rows.at(row).size())
            return {};
        return rows.at(row).at(column);
    }
};

// Where worksheets come from: the data layer reads no file formats itself.
// The workbook readers install themselves here at start.
class SheetSource {
public:
    // Reads the sheet of that name (letter case aside) from the workbook file
    // at `path`, or says why not.
    using Reader = std::function<std::optional<SheetTable>(const QString& path,
                                                           const QString& sheet, QString* error)>;
    static void install(Reader reader);
    static std::optional<SheetTable> read(const QString& path, const QString& sheet,
                                          QString* error);
};
