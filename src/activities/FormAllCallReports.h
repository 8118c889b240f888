#pragma once

#include "DocumentBrowser.h"

// The call reports of all companies, newest first, with a phrase search over
// all of them. The reports window's search and the call report filter open
// it with their own caption and record source (Open); Reset lists every call
// report again.
class FormAllCallReports : public DocumentBrowser {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormAllCallReports";
    FormAllCallReports();

    // Points the data source at the main database, lists the reports of
    // `recordSource` (a SELECT over TABLE08) under `caption` and shows the
    // window. False, with the error shown, when the query cannot run.
    bool Open(const QString& caption, const QString& recordSource);
    // Puts the cursor in the search box.
    void FocusSearch();
    // The same for the window of the registry. One that is not loaded yet
    // is loaded straight on `recordSource`, without listing every call
    // report first. Nullptr, with the error shown and no window left
    // loaded by this call, when the query cannot run.
    static FormAllCallReports* OpenOn(const QString& caption, const QString& recordSource);

protected:
    QString findSource(const QString& phrase) const override;
    QString loadSource() const override;

private:
    void showOpened(const QString& caption);
};
