#pragma once

#include "app/Form.h"
#include "office/ReportData.h"

#include <functional>

// A hidden query window of the reports window: when it is created it runs
// its report's query over the main database, puts the report data text on
// the clipboard and calls the report's builder. It is never shown; run()
// creates it and lets it go at once, so the next request queries again.
class ReportQuery : public Form {
    Q_OBJECT
public:
    // Makes the report of the query window `name`: the report file, empty
    // when the report was not made (its error was shown).
    static QString run(const QString& name);

    void Form_Load() override;
    QString reportFile() const { return m_reportFile; }

protected:
    // Shown by name, it hides at once and goes, as run() lets it go.
    void showEvent(QShowEvent* event) override;

    using Builder = std::function<QString()>;
    // `failure`: what the user is told when the data capture fails; empty
    // for the database's own message.
    ReportQuery(const char* name, ReportData::Report report, Builder builder, QString failure = {});

private:
    ReportData::Report m_report;
    Builder m_builder;
    QString m_failure;
    QString m_reportFile;
};
