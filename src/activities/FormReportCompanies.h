#pragma once

#include "ReportQuery.h"

// The hidden query window of the companies report.
class FormReportCompanies : public ReportQuery {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReportCompanies";
    FormReportCompanies();
};
