#pragma once

#include <QString>
#include <array>

// The report columns a user asked for in the reports window: its boxes
// Check1 to Check17, in order. A box that is not ticked hides its column in
// the companies and contacts reports.
struct FieldChoices {
    static constexpr int Count = 17;
    std::array<bool, Count> ticked{};

    static FieldChoices all();
    // The boxes of the reports window as they stand; every column when the
    // window is not loaded.
    static FieldChoices fromReportsWindow();
    bool isTicked(int box) const { return box >= 1 && box <= Count && ticked[box - 1]; }
    void setTicked(int box, bool on) {
        if (box >= 1 && box <= Count)
            ticked[box - 1] = on;
    }
};

// The second half of the spreadsheet reports: each builder takes the report
// data text from the clipboard (see ReportData), pastes it into a new
// workbook, formats it, hides the columns the user did not ask for, saves it
// in the Temp folder as "Tessaly Report <six digits>.xlsx", resets the
// reports window and hands the workbook to the user's spreadsheet program.
// Each builder shows its own errors (ExcelReportError) and passes none to its
// caller; the result is the report file, empty when the report failed.
namespace ModuleExcelReports {

QString ExcelReportCompActivities();
QString ExcelReportCompanies();
QString ExcelReportCompanies(const FieldChoices& choices);
QString ExcelReportContacts();
QString ExcelReportContacts(const FieldChoices& choices);
QString ExcelReportProjects();
QString ExcelReportSales();
// The competitor products and the price list as their windows export them.
QString ExcelReportCompProducts();
QString ExcelReportPriceList();

// The builders' error handler: the normal pointer, then the error's text
// with the critical icon.
void ExcelReportError(const QString& description);

// The column titles the boxes stand for, Check1 first.
const QStringList& companyLabels();
const QStringList& contactLabels();

} // namespace ModuleExcelReports
