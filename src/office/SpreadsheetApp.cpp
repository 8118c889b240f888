#include "SpreadsheetApp.h"

#include "formats/Sheet.h"
#include "formats/Workbook.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/PrintWindow.h"

#include <QTextDocument>

SpreadsheetApp::SpreadsheetApp() = default;

SpreadsheetApp::~SpreadsheetApp() = default;

Workbook* SpreadsheetApp::addWorkbook() {
    m_workbooks.push_back(
        std::make_unique<Workbook>(this, QStringLiteral("Book%1").arg(++m_added)));
    m_active = m_workbooks.back().get();
    return m_active;
}

Workbook* SpreadsheetApp::openWorkbook(const QString& path, QString* error) {
    auto workbook = Workbook::open(path, error, this);
    if (!workbook)
        return nullptr;
    m_workbooks.push_back(std::move(workbook));
    m_active = m_workbooks.back().get();
    if (m_visible)
        show(m_active);
    return m_active;
}

QList<Workbook*> SpreadsheetApp::workbooks() const {
    QList<Workbook*> list;
    for (const auto& workbook : m_workbooks)
        list.append(workbook.get());
    return list;
}

Sheet* SpreadsheetApp::activeSheet() const {
    return m_active ? m_active->activeSheet() : nullptr;
}

void SpreadsheetApp::setVisible(bool visible) {
    m_visible = visible;
    if (visible && m_active && !m_active->path().isEmpty())
        show(m_active);
}

void SpreadsheetApp::show(Workbook* workbook) {
    if (m_shown.contains(workbook))
        return;
    m_shown.insert(workbook);
    Desktop::openFile(workbook->path());
}

void SpreadsheetApp::workbookSaved(Workbook* workbook) {
    if (m_visible)
        show(workbook);
}

void SpreadsheetApp::workbookClosed(Workbook* workbook) {
    for (auto it = m_workbooks.begin(); it != m_workbooks.end(); ++it) {
        if (it->get() != workbook)
            continue;
        m_closed.push_back(std::move(*it));
        m_workbooks.erase(it);
        break;
    }
    if (m_active == workbook)
        m_active = m_workbooks.empty() ? nullptr : m_workbooks.back().get();
}

void SpreadsheetApp::quit() {
    while (!m_workbooks.empty())
        m_workbooks.back()->close();
    m_visible = false;
}

SheetRange SpreadsheetApp::range(const QString& reference) const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->range(reference) : SheetRange();
}

SheetRange SpreadsheetApp::range(const SheetRange& first, const SheetRange& last) const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->range(first, last) : SheetRange();
}

SheetRange SpreadsheetApp::rows(const QString& reference) const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->rows(reference) : SheetRange();
}

SheetRange SpreadsheetApp::columns(const QString& reference) const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->columns(reference) : SheetRange();
}

SheetRange SpreadsheetApp::cells() const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->cells() : SheetRange();
}

SheetRange SpreadsheetApp::cell(int row, int column) const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->cell(row, column) : SheetRange();
}

SheetRange SpreadsheetApp::selection() const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->selection() : SheetRange();
}

SheetRange SpreadsheetApp::activeCell() const {
    Sheet* sheet = activeSheet();
    return sheet ? sheet->activeCell() : SheetRange();
}

bool SpreadsheetApp::paste() {
    Sheet* sheet = activeSheet();
    const QString text = Clipboard::text();
    if (!sheet || text.isEmpty())
        return false;
    sheet->paste(text, sheet->activeRow(), sheet->activeColumn());
    return true;
}

bool SpreadsheetApp::findAndActivate(const QString& what) {
    const SheetRange found = cells().find(what);
    if (!found.isValid())
        return false;
    found.activate();
    return true;
}

bool SpreadsheetApp::printOut(QString* error) const {
    Sheet* sheet = activeSheet();
    if (!sheet) {
        if (error)
            *error = QStringLiteral("There is no worksheet to print.");
        return false;
    }
    int columns = 0;
    const auto table = sheet->printableTable(&columns);
    if (!table) {
        if (error)
            *error = QStringLiteral("The worksheet '%1' is empty: there is nothing to print.")
                         .arg(sheet->name());
        return false;
    }
    QTextDocument document;
    document.setHtml(*table);
    // Wide lists fit better across the page.
    const auto orientation = columns > 6 ? QPageLayout::Landscape : QPageLayout::Portrait;
    return PrintWindow::printDocument(document, m_caption.isEmpty() ? m_active->name() : m_caption,
                                      orientation, error);
}

void SpreadsheetApp::setFreezePanes(bool freeze) {
    Sheet* sheet = activeSheet();
    if (!sheet)
        return;
    if (!freeze)
        sheet->freezePanes(0, 0);
    else if (sheet->splitRow() > 0 || sheet->splitColumn() > 0)
        sheet->freezePanes(sheet->splitRow(), sheet->splitColumn());
    else
        sheet->freezePanes(sheet->activeRow(), sheet->activeColumn());
}

bool SpreadsheetApp::freezePanes() const {
    const Sheet* sheet = activeSheet();
    return sheet && (sheet->frozenRows() > 0 || sheet->frozenColumns() > 0);
}

void SpreadsheetApp::setSplitRow(int rows) {
    Sheet* sheet = activeSheet();
    if (!sheet)
        return;
    sheet->setSplit(rows, sheet->splitColumn());
    if (freezePanes())
        sheet->freezePanes(sheet->splitRow(), sheet->splitColumn());
}

void SpreadsheetApp::setSplitColumn(int columns) {
    Sheet* sheet = activeSheet();
    if (!sheet)
        return;
    sheet->setSplit(sheet->splitRow(), columns);
    if (freezePanes())
        sheet->freezePanes(sheet->splitRow(), sheet->splitColumn());
}
