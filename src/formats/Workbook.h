#pragma once

#include <QString>
#include <memory>
#include <vector>

class Sheet;
class Workbook;

// The program that holds workbooks (the spreadsheet program) hears when one
// is written or closed.
class WorkbookOwner {
public:
    virtual void workbookSaved(Workbook* workbook) = 0;
    virtual void workbookClosed(Workbook* workbook) = 0;

protected:
    ~WorkbookOwner() = default;
};

// SaveAs formats, with the spreadsheet program's numbers (xlCSV is 6,
// xlOpenXMLWorkbook 51). The older .xls format is written as .xlsx.
enum class FileFormat { Csv = 6, Xlsx = 51 };

// A workbook in memory: its sheets, the active one, and the file it came
// from or was last written to.
class Workbook {
public:
    explicit Workbook(WorkbookOwner* owner = nullptr,
                      const QString& name = QStringLiteral("Book1"));
    ~Workbook();

    // Reads .xlsx, .xls (values only) or .csv. When the named file does not
    // exist, an .xlsx or .xls of the same name is read instead.
    static std::unique_ptr<Workbook> open(const QString& path, QString* error,
                                          WorkbookOwner* owner = nullptr);

    int sheetCount() const { return int(m_sheets.size()); }
    Sheet* sheet(int index) const;
    Sheet* sheet(const QString& name) const;   // any letter case
    Sheet* addSheet(const QString& name = {}); // becomes the active sheet
    Sheet* activeSheet() const;
    void activateSheet(Sheet* sheet);

    // The file name, or "Book1" before the workbook is written.
    QString name() const;
    // The file the workbook was read from or last written to; empty before.
    QString path() const { return m_path; }
    FileFormat fileFormat() const { return m_format; }

    // Writes over an existing file without asking. A path ending ".xls" is
    // written as the .xlsx beside it and one without a suffix gets the
    // format's; path() tells the file written. CSV holds the active sheet.
    bool saveAs(const QString& path, FileFormat format = FileFormat::Xlsx,
                QString* error = nullptr);
    // Writes back in place; a workbook read from an .xls is written as the
    // .xlsx of the same name.
    bool save(QString* error = nullptr);
    // Leaves the spreadsheet program's list of workbooks without saving.
    void close();

private:
    bool readCsv(const QString& path, QString* error);

    WorkbookOwner* m_owner;
    QString m_name;
    std::vector<std::unique_ptr<Sheet>> m_sheets;
    Sheet* m_active = nullptr;
    QString m_path;
    FileFormat m_format = FileFormat::Xlsx;
};
