#pragma once

#include "ReportQuery.h"

// The hidden query window of the active projects report.
class FormReportProjects : public ReportQuery {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReportProjects";
    FormReportProjects();
};
