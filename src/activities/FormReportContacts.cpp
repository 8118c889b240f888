#include "FormReportContacts.h"

#include "app/ModuleExcelReports.h"

// A failed query is reported with the database's own message.
FormReportContacts::FormReportContacts()
    : ReportQuery(Name, ReportData::Report::Contacts,
                  [] { return ModuleExcelReports::ExcelReportContacts(); }) {}
