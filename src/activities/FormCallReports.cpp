#include "FormCallReports.h"

namespace {

DocumentBrowser::Design design() {
    DocumentBrowser::Design d;
    d.name = FormCallReports::Name;
    d.table = "TABLE08";
    d.caption = QStringLiteral("Call Reports");
    d.item = QStringLiteral("REPORT");
    d.items = QStringLiteral("REPORTS");
    d.deleteQuestion = QStringLiteral("Are you sure you want to delete this call report?");
    d.mailSubject = QStringLiteral("Call Report - ");
    d.navigationHelp = QStringLiteral("Navigate your call reports.");
    d.searchHelpBefore = QStringLiteral("Search call reports related to ");
    d.hiddenBoxes = {QStringLiteral("TEXT01"), QStringLiteral("TEXT03"), QStringLiteral("NUMBER01"),
                     QStringLiteral("DATE01")};
    d.widthMargin = 300;
    d.heightMargin = 700;
    return d;
}

} // namespace

FormCallReports::FormCallReports()
    : DocumentBrowser(design()) {}
