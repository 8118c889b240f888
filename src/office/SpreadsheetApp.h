#pragma once

#include "formats/SheetRange.h"
#include "formats/Workbook.h"

#include <QList>
#include <QSet>
#include <QString>
#include <memory>
#include <vector>

class Sheet;

// The spreadsheet program as the windows drive it (Application, Workbooks,
// ActiveWorkbook, ActiveSheet, Selection, ActiveCell, ActiveWindow), made of
// in-memory workbooks written as .xlsx or .csv files. One instance serves
// one operation. Visible hands the active workbook's file to the user's own
// spreadsheet program (Desktop::openFile): at once when it has a file,
// otherwise as soon as it is saved.
class SpreadsheetApp : public WorkbookOwner {
public:
    SpreadsheetApp();
    ~SpreadsheetApp();
    SpreadsheetApp(const SpreadsheetApp&) = delete;
    SpreadsheetApp& operator=(const SpreadsheetApp&) = delete;

    // Workbooks.Add: a new workbook with one empty "Sheet1", made active.
    Workbook* addWorkbook();
    // Workbooks.Open (see Workbook::open); the workbook becomes active.
    Workbook* openWorkbook(const QString& path, QString* error = nullptr);
    QList<Workbook*> workbooks() const;
    Workbook* activeWorkbook() const { return m_active; }
    Sheet* activeSheet() const;

    void setCaption(const QString& caption) { m_caption = caption; }
    QString caption() const { return m_caption; }
    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }
    // Kept for the windows that set it; nothing here ever asks.
    void setDisplayAlerts(bool displayAlerts) { m_displayAlerts = displayAlerts; }
    bool displayAlerts() const { return m_displayAlerts; }
    // Closes every workbook without saving.
    void quit();

    // Ranges of the active sheet.
    SheetRange range(const QString& reference) const;
    SheetRange range(const SheetRange& first, const SheetRange& last) const;
    SheetRange rows(const QString& reference) const;
    SheetRange columns(const QString& reference) const;
    SheetRange cells() const;
    SheetRange cell(int row, int column) const;
    void select(const SheetRange& range) const { range.select(); }
    SheetRange selection() const;
    SheetRange activeCell() const;

    // ActiveSheet.Paste: the clipboard's text at the active cell.
    bool paste();
    // The keystroke paste of older windows does the same.
    bool sendKeysPaste() { return paste(); }
    // Cells.Find(What).Activate; false when nothing matches.
    bool findAndActivate(const QString& what);
    // ActiveSheet.PrintOut.
    bool printOut(QString* error = nullptr) const;

    // ActiveWindow.FreezePanes: at the split when one is set, otherwise above
    // and left of the active cell.
    void setFreezePanes(bool freeze);
    bool freezePanes() const;
    void setSplitRow(int rows);
    void setSplitColumn(int columns);

private:
    void workbookSaved(Workbook* workbook) override;
    void workbookClosed(Workbook* workbook) override;
    void show(Workbook* workbook);

    std::vector<std::unique_ptr<Workbook>> m_workbooks;
    std::vector<std::unique_ptr<Workbook>> m_closed; // callers may still hold them
    Workbook* m_active = nullptr;
    QSet<Workbook*> m_shown;
    QString m_caption;
    bool m_visible = false;
    bool m_displayAlerts = true;
    int m_added = 0;
};
