#pragma once

#include "app/WorkingWindow.h"

class CompanyPicker;
class DataSource;
class DBCombo;
class DBGrid;
class DBList;
class EditToolbar;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The projects of the current company (TABLE06) with their action steps
// (TABLE07), behind F5 and "PROJECTS F5": three views by status, a new
// project in three steps (industry group, name, Done), a new action step
// from a calendar, and its follow-up as a task in the mail program's task
// list. Beside the views it shows the company's weighted pipeline.
class FormProjects : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormProjects";
    FormProjects();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

    // The active projects of the current company.
    Q_INVOKABLE void Load() override;

    void Timer1_Timer();
    void OptionActiveProjects_Click();
    void OptionCancelledProjects_Click();
    void OptionCompletedProjects_Click();
    void DBListProjects_Click();
    void ComboStatus_Click();
    void CommandNew_Click();
    void DBListIndustryGroup_Click();
    void DBComboProjectName_Change();
    void CommandDone_Click();
    void CommandNewAction_Click();
    void MonthView1_DateClick(const QDate& date);
    void CommandSaveAction_Click();
    void CommandFollowUp_Click();
    void MonthView2_DateClick(const QDate& date);
    void Check1_Click();
    void CommandOutlook_Click();
    void CommandDelete_Click();
    void CommandEdit_Click();
    void CommandSummary_Click();

    DataSource* projects() const { return DataTABLE06; }
    DataSource* actionSteps() const { return DataTABLE07; }
    // The weighted pipeline line as shown.
    QString pipelineText() const;
    // Enter keys refused in the action text (each one beeped).
    int refusedEnterKeys() const { return m_refusedEnters; }

    // The record sources of the views, for the company key `company`.
    static QString viewSource(const QString& company, const QString& status);
    static QString stepsSource(const QString& project);

private:
    // The Enter key in the action text, a click in an empty industry list.
    bool controlEvent(QObject* watched, QEvent* event);
    void buildControls();
    void buildHoverTexts();
    FormCompanies* companies() const;
    QString companyName() const;
    QString companyKey() const; // a whole number, or "Null" without a company
    QString projectName() const;
    void showView(const QString& status);
    void showPipeline();
    void showStatus();
    void checkProbability();
    // Ends the entry of an action step that the window's company left.
    void abandonStep();
    // Back to browsing after a new project; abandoning keeps a named one.
    void endNewProject();
    void abandonNewProject();
    // Stores what the window holds and opens it afresh.
    void reopen();
    QString oneProjectNote() const;

    DataSource* DataTABLE01;
    DataSource* DataTABLE06;
    DataSource* DataTABLE07;
    DataSource* DataMT04;
    DataSource* DataMT06;
    DataSource* m_pipeline;

    FunctionKeyBar* m_functionKeys;
    QLabel* LabelSelect;
    CompanyPicker* DBComboSelect;
    EditToolbar* Toolbar1;
    QLabel* LabelDateandTime;
    QLabel* LabelEntered;
    QLabel* LabelPipeline;
    QPushButton* CommandNew;
    QPushButton* CommandDelete;
    QPushButton* CommandSummary;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;

    QGroupBox* FrameProjects;
    DBList* DBListProjects;
    QGroupBox* FrameIndustryGroup;
    DBList* DBListIndustryGroup;
    QGroupBox* FrameGoTo;
    QRadioButton* OptionActiveProjects;
    QRadioButton* OptionCancelledProjects;
    QRadioButton* OptionCompletedProjects;
    QGroupBox* FrameStatus;
    QComboBox* ComboStatus;
    QLabel* LabelValue;
    QLineEdit* TEXT05;
    QLabel* LabelProbability;
    QLineEdit* TEXT06;
    QLineEdit* AUTONUMBER;
    QLineEdit* NUMBER01;
    QLabel* LabelIndustryGroup;
    QLineEdit* TEXT01;
    QLineEdit* TEXT03;
    QLineEdit* DATE01;

    QGroupBox* FrameProjectName;
    QLineEdit* TEXT02;
    DBCombo* DBComboProjectName;
    QPushButton* CommandDone;

    QGroupBox* FrameAction;
    DBGrid* DBGrid1;
    QPushButton* CommandNewAction;
    QPushButton* CommandEdit;

    QGroupBox* FrameNew;
    QLabel* LabelDate;
    QLineEdit* TextDate;
    QLabel* LabelAction;
    QPlainTextEdit* TextAction;
    QLineEdit* NUM01;
    QLineEdit* NUM02;
    QCalendarWidget* MonthView1;
    QPushButton* CommandSaveAction;
    QPushButton* CommandFollowUp;

    QGroupBox* FrameFollowUp;
    QCalendarWidget* MonthView2;
    QLineEdit* DATE02;
    QLineEdit* TEXT04;
    QCheckBox* Check1;
    QPushButton* CommandOutlook;

    QTimer* Timer1;
    HoverHelp* m_help;

    int m_refusedEnters = 0;
    bool m_newProject = false;
    bool m_enteringStep = false;
    QString m_loadedCompany;
    // The project (AUTONUMBER) whose action step is being entered.
    QString m_stepProject;
    QString m_stepProjectName;
};
