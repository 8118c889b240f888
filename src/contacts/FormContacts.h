#pragma once

#include "app/WorkingWindow.h"
#include "widgets/CompanyPicker.h"

class DBCombo;
class DBList;
class DataSource;
class EditToolbar;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class MSComm;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The contact persons of the company current in the companies window, and
// the start of every kind of correspondence with one of them: letters,
// telefaxes and e-mails (written in the document editor), appointments and
// tasks in the mail program, and call reports. The window keeps no company
// of its own: it reads the companies window's current row whenever it needs
// it, and its company selector moves that row.
class FormContacts : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormContacts";
    FormContacts();

    void Form_Load() override;
    void Form_Activate() override;

    // The contacts of the current company, first by first name.
    void Load() override;
    // Shows the dial options for the current contact's numbers.
    void Autodial();

    void TimerLoad_Timer();
    void DBListSelect_Click();
    void OptionDial1_Click();
    void OptionDial2_Click();
    void CommandEdit_Click();
    void CommandNew_Click();
    void CommandDelete_Click();
    void CommandTel_Click(); // the call to the direct line goes on the telephone list
    void CommandCel_Click(); // the call to the cellphone goes on the telephone list
    void CommandLetter_Click();
    void CommandFax_Click();
    void CommandEMail_Click();
    void CommandAppointment_Click();
    void CommandTask_Click();
    void CommandReport_Click();

    bool isEditing() const;
    QLineEdit* box(const QString& name) const;
    DataSource* dataTable03() const { return DataTABLE03; }
    CompanyPicker* selector() const { return DBComboSelect; }
    DBList* contactList() const { return DBListSelect; }
    // First and last name joined by one blank.
    QString contactName() const;

    // The message shown when no contact query can be run for the companies
    // window (no company yet); the program ends after it.
    static QString emptyDatabaseMessage();
    // The message shown when the companies window's list is empty while the
    // database has companies; the companies window comes back after it.
    static QString emptyViewMessage();

private:
    static bool databaseHasCompanies();
    FormCompanies* companies() const;
    QString companyName() const;
    void setEditing(bool editing);
    // Dials the number through the modem, then leaves the option unchosen.
    void dial(QRadioButton* option, const QString& number);
    void recordCall(const QString& number,
                    bool (*record)(const QString&, const QString&, const QString&, QString*));
    // Opens the document editor with a kind and a prepared text.
    void openEditor(const QString& kind, const QString& text);
    // Date, name, company and postal address of a letter or telefax, then an
    // empty line.
    QStringList addressBlock() const;
    void showOutlookNotice(bool shown);
    void buildControls();
    void buildHoverTexts();

    QGroupBox* Frame1;
    QGroupBox* FrameSelect;
    QGroupBox* FrameActivities;
    QGroupBox* FrameAutodial;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLabel* LabelSelect;
    QLabel* LabelEntered;
    QLabel* LabelDateandTime;
    QLabel* ImageOutlook;
    QLabel* LabelLoad;
    CompanyPicker* DBComboSelect;
    DBList* DBListSelect;
    DBCombo* DBCombo05;
    DBCombo* DBCombo09;
    QLineEdit* TextFullName;
    QRadioButton* OptionDial1;
    QRadioButton* OptionDial2;
    QPushButton* CommandTel;
    QPushButton* CommandCel;
    QPushButton* CommandNew;
    QPushButton* CommandEdit;
    QPushButton* CommandDelete;
    QPushButton* CommandPrint;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QPushButton* CommandTask;
    QPushButton* CommandAppointment;
    QPushButton* CommandEMail;
    QPushButton* CommandReport;
    QPushButton* CommandFax;
    QPushButton* CommandLetter;
    EditToolbar* Toolbar1;
    FunctionKeyBar* m_functionKeys;
    QTimer* TimerLoad;
    MSComm* MSComm2;
    DataSource* DataTABLE03;
    DataSource* DataTABLE01;
    DataSource* DataMT09;
    DataSource* DataMT05;
    HoverHelp* m_help;
    QString m_loadedCompany; // the company whose contacts are listed
    bool m_leaving = false;  // going back to the companies window: nothing to load
};
