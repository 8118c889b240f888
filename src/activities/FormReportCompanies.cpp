#include "FormReportCompanies.h"

#include "app/ModuleExcelReports.h"

FormReportCompanies::FormReportCompanies()
    : ReportQuery(
          Name, ReportData::Report::Companies,
          [] { return ModuleExcelReports::ExcelReportCompanies(); },
          QStringLiteral("Tessaly could not locate a verion of Microsoft Office")) {}
