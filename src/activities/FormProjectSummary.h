#pragma once

#include "app/Form.h"

class DataSource;
class FlexGrid;
class QPushButton;

// Every action step of every active project of the current company, one row
// each, grouped by project name; Report sends the list to the spreadsheet
// program as a formatted workbook, left open or printed. The window reads
// the company and its projects once, when it opens.
class FormProjectSummary : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormProjectSummary";
    FormProjectSummary();

    void Form_Load() override;
    void Form_Resize();

    // Builds the workbook and saves it as a report file; prints it (and
    // leaves the spreadsheet program hidden) when CommandPrint is disabled.
    void Report();
    void CommandExcel_Click();
    void CommandPrint_Click();

    // The query of the company's active projects and their steps.
    static QString summarySource(const QString& company);
    // The report file of the last Report; empty when none was written.
    QString reportFile() const { return m_reportFile; }
    FlexGrid* grid() const { return MSFlexGridProjects; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString companyName() const;

    DataSource* DataTABLE06;
    FlexGrid* MSFlexGridProjects;
    QPushButton* CommandExcel;
    QPushButton* CommandPrint;
    QString m_company;
    QString m_reportFile;
};
