#pragma once

#include "WorkbookReader.h"

#include <QHash>
#include <QSet>

struct zip;

// .xlsx (Office Open XML) through libzip and QXmlStreamReader: the workbook's
// sheet list, shared strings, cell styles (to tell dates from numbers and to
// give back formats) and the cells, formulas and layout of a sheet.
class XlsxReader : public WorkbookReader {
public:
    ~XlsxReader() override;
    static std::unique_ptr<WorkbookReader> open(const QString& path, QString* error);

    QStringList sheetNames() const override { return m_sheetNames; }
    std::optional<Worksheet> sheet(const QString& name, QString* error) override;

    // Excel's serial day number as a date (whole days) or date and time.
    static QVariant serialToDate(double serial, bool date1904);
    // True for a number format that shows a date or a time.
    static bool isDateFormat(int numFmtId, const QString& formatCode);
    // "AB12" -> column 27 (zero-based), row 11; false when not a reference.
    static bool parseCellReference(QStringView reference, int& row, int& column);
    // The format code of a built-in number format id ("0.00" for 2).
    static QString builtInNumberFormat(int numFmtId);
    // A column width as the file stores it, in characters as the program shows it.
    static double columnWidthInCharacters(double fileWidth);

private:
    XlsxReader() = default;
    // A part of the package, read within bounds: an archive may declare any
    // size, and deflate packs filler about a thousand to one.
    struct Part {
        QByteArray data;
        bool found = false;
        QString tooLarge; // why the part was not read in full
    };
    Part part(const QString& name) const;
    bool readWorkbook(QString* error);
    bool readSharedStrings(QString* error);
    bool readStyles(QString* error);
    CellFormat cellFormat(int style) const;

    zip* m_zip = nullptr;
    QString m_path;
    QStringList m_sheetNames;
    QStringList m_sheetTargets; // entry names of the sheets' XML parts
    QStringList m_sharedStrings;
    QList<bool> m_dateStyles;        // per cellXfs index
    QList<CellFormat> m_cellFormats; // per cellXfs index
    bool m_date1904 = false;
};
