#pragma once

#include "DocumentBrowser.h"

// The call reports of the current company (TABLE08), newest first, behind
// F9 and "REPORTS F9". A report is listed for the company whose key or
// whose name it was stored with.
class FormCallReports : public DocumentBrowser {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormCallReports";
    FormCallReports();
};
