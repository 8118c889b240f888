#pragma once

#include "ReportQuery.h"

// The hidden query window of the competitor activity report.
class FormReportCompActivities : public ReportQuery {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReportCompActivities";
    FormReportCompActivities();
};
