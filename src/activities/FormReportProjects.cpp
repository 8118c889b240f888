#include "FormReportProjects.h"

#include "app/ModuleExcelReports.h"

FormReportProjects::FormReportProjects()
    : ReportQuery(
          Name, ReportData::Report::Projects,
          [] { return ModuleExcelReports::ExcelReportProjects(); },
          QStringLiteral("Tessaly could not locate a verion of Microsoft Office")) {}
