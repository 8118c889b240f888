#include "FormReportCompActivities.h"

#include "app/ModuleExcelReports.h"

FormReportCompActivities::FormReportCompActivities()
    : ReportQuery(
          Name, ReportData::Report::CompActivities,
          [] { return ModuleExcelReports::ExcelReportCompActivities(); },
          QStringLiteral("Tessaly could not locate a verion of Microsoft Office")) {}
