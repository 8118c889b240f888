#include "ModuleExcelReports.h"

#include "Form.h"
#include "Forms.h"
#include "ModuleMouse.h"
#include "ModuleProgress.h"
#include "formats/Sheet.h"
#include "formats/Workbook.h"
#include "office/SpreadsheetApp.h"
#include "platform/ProgramFolder.h"
#include "services/Clipboard.h"
#include "services/MsgBox.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

FieldChoices FieldChoices::all() {
    FieldChoices choices;
    choices.ticked.fill(true);
    return choices;
}

FieldChoices FieldChoices::fromReportsWindow() {
    Form* reports = Forms::loaded(QStringLiteral("FormReports"));
    if (!reports)
        return all();
    FieldChoices choices;
    for (int box = 1; box <= Count; ++box) {
        const auto* check = reports->findChild<QCheckBox*>(QStringLiteral("Check%1").arg(box));
        choices.setTicked(box, check && check->isChecked());
    }
    return choices;
}

namespace ModuleExcelReports {

const QStringList& companyLabels() {
    static const QStringList labels = {
        QStringLiteral("Postal Address"),
        QStringLiteral("Postal City"),
        QStringLiteral("Postal Code"),
        QStringLiteral("Street Address"),
        QStringLiteral("City"),
        QStringLiteral("Region"),
        QStringLiteral("Telephone"),
        QStringLiteral("Telefax"),
        QStringLiteral("Website"),
        QStringLiteral("Division"),
        QStringLiteral("Branch"),
        QStringLiteral("Category"),
        QStringLiteral("Type of Contact"),
        QStringLiteral("Sales Person"),
        QStringLiteral("Sales Manager"),
        QStringLiteral("Visit Frequency"),
        QStringLiteral("Date Last Visited"),
    };
    return labels;
}

const QStringList& contactLabels() {
    static const QStringList labels = {
        QStringLiteral("Company"),   QStringLiteral("First Name"), QStringLiteral("Last Name"),
        QStringLiteral("Telephone"), QStringLiteral("Telefax"),    QStringLiteral("Cellphone"),
        QStringLiteral("E-Mail"),    QStringLiteral("Occupation"), QStringLiteral("Designation"),
        QStringLiteral("Assistant"),
    };
    return labels;
}

void ExcelReportError(const QString& description) {
    ModuleMouse::PointerNormal();
    MsgBox::show(description, MsgBox::OKOnly | MsgBox::Critical);
}

namespace {

const QString ReportsWindow = QStringLiteral("FormReports");

// One report being built: a new spreadsheet program with one new workbook.
// A step that fails records why; the builder then stops and reports it.
class Report {
public:
    Report() { m_excel.addWorkbook(); }

    SpreadsheetApp& excel() { return m_excel; }
    SheetRange selection() const { return m_excel.selection(); }
    void select(const QString& range) { m_excel.range(range).select(); }
    void selectRows(const QString& rows) { m_excel.rows(rows).select(); }
    void selectColumns(const QString& columns) { m_excel.columns(columns).select(); }
    void selectCells() { m_excel.cells().select(); }

    bool paste() {
        if (m_excel.paste())
            return true;
        return fail(QStringLiteral("There is no report data to paste: the clipboard is empty."));
    }

    // The columns whose title in row 1 is the label (any letter case, the
    // whole title: "City" is CITY, never POSTAL CITY).
    void hideColumn(const QString& label) {
        Sheet* sheet = m_excel.activeSheet();
        const auto used = sheet->contentRange();
        if (!used)
            return;
        for (int column = used->firstColumn(); column <= used->lastColumn(); ++column) {
            if (sheet->text(0, column).compare(label, Qt::CaseInsensitive) == 0)
                sheet->setHidden(CellRange::columns(column, column), true);
        }
    }

    // Saves in the Temp folder, resets the reports window and hands the
    // workbook to the user; the file, or empty after the error was shown.
    QString finish(bool resetOnlyWhenVisible) {
        if (m_failed)
            return {};
        const QString folder = ProgramFolder::tempFolder();
        if (!QFileInfo(folder).isDir()) {
            fail(QStringLiteral("The report cannot be saved: the folder %1 does not exist.")
                     .arg(QDir::toNativeSeparators(folder)));
            return {};
        }
        QString error;
        if (!m_excel.activeWorkbook()->saveAs(reportFile(folder), FileFormat::Xlsx, &error)) {
            fail(error);
            return {};
        }
        const QString saved = m_excel.activeWorkbook()->path();
        if (m_resetsReportsWindow && Forms::isRegistered(ReportsWindow) &&
            (!resetOnlyWhenVisible || Forms::isVisible(ReportsWindow))) {
            Forms::unload(ReportsWindow);
            Forms::show(ReportsWindow);
        }
        m_excel.setVisible(true);
        Clipboard::clear();
        ModuleMouse::PointerNormal();
        return saved;
    }

    bool failed() const { return m_failed; }
    // The lists kept outside the reports window leave it alone.
    void keepReportsWindow() { m_resetsReportsWindow = false; }

private:
    bool fail(const QString& description) {
        if (!m_failed) {
            m_failed = true;
            ExcelReportError(description);
        }
        return false;
    }

    // "Tessaly Report " and a random number from 100000 to 999999; a number
    // that an earlier report took is drawn again.
    static QString reportFile(const QString& folder) {
        while (true) {
            const int number = QRandomGenerator::global()->bounded(100000, 1000000);
            const QString path = folder + QStringLiteral("/Tessaly Report %1.xlsx").arg(number);
            if (!QFileInfo::exists(path))
                return path;
        }
    }

    SpreadsheetApp m_excel;
    bool m_failed = false;
    bool m_resetsReportsWindow = true;
};

// Body text in Arial Narrow 8 pt.
void narrowFont(const SheetRange& range) {
    range.setFontName(QStringLiteral("Arial Narrow"));
    range.setFontSize(8);
}

void hideUnticked(Report& report, const QStringList& labels, const FieldChoices& choices) {
    for (int box = 1; box <= labels.size(); ++box) {
        if (!choices.isTicked(box))
            report.hideColumn(labels.at(box - 1));
    }
}

// The pasted list of a product window in Calibri 9 pt, left and bottom
// aligned, 25 wide, with a bold title row that filters; its sheet is named
// as the import reads it, so the file can serve as the next import.
bool productList(Report& report, const QString& caption, const QString& sheetName, bool wrapText) {
    SpreadsheetApp& excel = report.excel();
    excel.setCaption(caption);
    if (!report.paste())
        return false;
    const SheetRange pasted = report.selection();
    pasted.setFontName(QStringLiteral("Calibri"));
    pasted.setFontSize(9);
    pasted.setBold(false);
    pasted.setHorizontalAlignment(HorizontalAlignment::Left);
    pasted.setVerticalAlignment(VerticalAlignment::Bottom);
    pasted.setWrapText(wrapText);
    pasted.setOrientation(0);
    pasted.setAddIndent(false);
    pasted.setIndentLevel(0);
    pasted.setShrinkToFit(false);
    pasted.setMergeCells(false);
    pasted.setColumnWidth(25);
    report.selectRows(QStringLiteral("1:1"));
    report.selection().autoFilter();
    report.selection().setBold(true);
    excel.activeSheet()->setName(sheetName);
    report.keepReportsWindow();
    return true;
}

} // namespace

QString ExcelReportCompProducts() {
    Report report;
    if (!productList(report, QStringLiteral("Competitor's Products"), QStringLiteral("COMPETITION"),
                     false))
        return {};
    report.select(QStringLiteral("A2"));
    report.excel().setDisplayAlerts(false);
    return report.finish(false);
}

QString ExcelReportPriceList() {
    Report report;
    if (!productList(report, QStringLiteral("Price List"), QStringLiteral("PRICES"), true))
        return {};
    report.selectColumns(QStringLiteral("B:B"));
    report.selection().setColumnWidth(10.86);
    report.selectColumns(QStringLiteral("C:C"));
    report.selection().setNumberFormat(QStringLiteral("0.00"));
    report.select(QStringLiteral("A2"));
    report.excel().setDisplayAlerts(false);
    return report.finish(false);
}

QString ExcelReportCompActivities() {
    Report report;
    SpreadsheetApp& excel = report.excel();
    excel.setCaption(QStringLiteral("Competitor's Activities"));
    if (!report.paste())
        return {};
    const SheetRange pasted = report.selection();
    narrowFont(pasted);
    pasted.setBold(false);
    pasted.setHorizontalAlignment(HorizontalAlignment::Left);
    pasted.setVerticalAlignment(VerticalAlignment::Bottom);
    pasted.setWrapText(false);
    pasted.setOrientation(0);
    pasted.setAddIndent(false);
    pasted.setIndentLevel(0);
    pasted.setShrinkToFit(false);
    pasted.setMergeCells(false);
    pasted.autoFitColumns();
    report.selectRows(QStringLiteral("1:1"));
    report.selection().setBold(true);
    report.select(QStringLiteral("A1:E1"));
    report.selection().autoFilter();
    report.selectColumns(QStringLiteral("H:H"));
    report.selection().setNumberFormat(QStringLiteral("mm/dd/yyyy"));
    report.selectCells();
    report.selection().autoFitColumns();
    report.select(QStringLiteral("A1"));
    return report.finish(false);
}

QString ExcelReportCompanies() {
    return ExcelReportCompanies(FieldChoices::fromReportsWindow());
}

QString ExcelReportCompanies(const FieldChoices& choices) {
    ModuleMouse::PointerBusy();
    Report report;
    SpreadsheetApp& excel = report.excel();
    ModuleProgress::ProgressStep();
    excel.setCaption(QStringLiteral("Companies"));
    if (!report.paste())
        return {};
    const SheetRange pasted = report.selection();
    narrowFont(pasted);
    pasted.setBold(false);
    report.selectColumns(QStringLiteral("P:P"));
    report.selection().setNumberFormat(QStringLiteral("mm/dd/yyyy"));
    report.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    report.select(QStringLiteral("A2"));
    excel.setFreezePanes(true);
    ModuleProgress::ProgressStep();
    report.selectRows(QStringLiteral("1:2"));
    report.selection().insert(InsertShift::Down);
    report.selectRows(QStringLiteral("3:3"));
    report.selection().setBold(true);
    ModuleProgress::ProgressStep();
    report.selectRows(QStringLiteral("3:3"));
    report.selection().autoFilter();
    report.select(QStringLiteral("A1"));
    report.selectCells();
    report.selection().autoFitColumns();
    ModuleProgress::ProgressStep();
    report.selectRows(QStringLiteral("1:2"));
    report.selection().remove(DeleteShift::Up);
    report.select(QStringLiteral("A1"));
    hideUnticked(report, companyLabels(), choices);
    if (!choices.isTicked(4)) // Street Address covers both of its columns
        excel.range(QStringLiteral("F1")).entireColumn().setHidden(true);
    return report.finish(false);
}

QString ExcelReportContacts() {
    return ExcelReportContacts(FieldChoices::fromReportsWindow());
}

QString ExcelReportContacts(const FieldChoices& choices) {
    ModuleMouse::PointerBusy();
    Report report;
    SpreadsheetApp& excel = report.excel();
    excel.setCaption(QStringLiteral("Contacts"));
    if (!report.paste())
        return {};
    narrowFont(report.selection());
    report.selectCells();
    report.selection().autoFitColumns();
    report.selection().setBold(false);
    report.select(QStringLiteral("A2"));
    excel.setFreezePanes(true);
    report.selectRows(QStringLiteral("1:2"));
    report.selection().insert(InsertShift::Down);
    ModuleProgress::ProgressStep();
    report.selectRows(QStringLiteral("3:3"));
    report.selection().autoFilter();
    report.selection().setBold(true);
    report.selectCells();
    report.selection().autoFitColumns();
    report.selectRows(QStringLiteral("1:2"));
    report.selection().remove(DeleteShift::Up);
    report.select(QStringLiteral("A1"));
    hideUnticked(report, contactLabels(), choices);
    return report.finish(false);
}

QString ExcelReportProjects() {
    ModuleMouse::PointerBusy();
    Report report;
    SpreadsheetApp& excel = report.excel();
    excel.setVisible(true); // the user watches the sheet being built
    if (!report.paste())
        return {};
    excel.setCaption(QStringLiteral("Projects"));
    narrowFont(report.selection());
    report.selectCells();
    report.selection().setVerticalAlignment(VerticalAlignment::Top);
    report.selection().autoFitColumns();
    report.selection().setBold(false);
    report.selectColumns(QStringLiteral("H:H"));
    report.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    report.selectColumns(QStringLiteral("B:B"));
    report.selection().setHorizontalAlignment(HorizontalAlignment::Left);
    report.select(QStringLiteral("A2"));
    excel.setFreezePanes(true);
    report.selectRows(QStringLiteral("1:2"));
    report.selection().insert(InsertShift::Down);
    report.selectColumns(QStringLiteral("I:I"));
    report.selection().setWrapText(true);
    report.selection().setColumnWidth(50);
    report.selection().autoFitRows();
    ModuleProgress::ProgressStep();
    report.selectRows(QStringLiteral("3:3"));
    report.selection().autoFilter();
    report.selection().setBold(true);
    report.selectCells();
    report.selection().setVerticalAlignment(VerticalAlignment::Top);
    report.selection().autoFitColumns();
    report.select(QStringLiteral("A1"));
    report.selectRows(QStringLiteral("1:2"));
    report.selection().remove(DeleteShift::Up);
    report.select(QStringLiteral("A1"));
    return report.finish(false);
}

QString ExcelReportSales() {
    ModuleProgress::ProgressStep();
    Report report;
    SpreadsheetApp& excel = report.excel();
    ModuleProgress::ProgressStep();
    excel.setDisplayAlerts(false);
    excel.setVisible(true);
    report.select(QStringLiteral("A1"));
    if (!report.paste()) {
        ModuleMouse::PointerNormal();
        return {};
    }
    report.selectRows(QStringLiteral("1:1"));
    report.selection().autoFilter();
    report.selectCells();
    report.selection().autoFitColumns();
    report.select(QStringLiteral("A2"));
    excel.setSplitColumn(0);
    excel.setSplitRow(1);
    excel.setFreezePanes(true);
    const QString saved = report.finish(true);
    if (saved.isEmpty())
        ModuleMouse::PointerNormal();
    return saved;
}

} // namespace ModuleExcelReports
