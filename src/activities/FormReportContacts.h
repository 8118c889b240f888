#pragma once

#include "ReportQuery.h"

// The hidden query window of the contacts report.
class FormReportContacts : public ReportQuery {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReportContacts";
    FormReportContacts();
};
