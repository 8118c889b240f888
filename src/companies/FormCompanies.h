#pragma once

#include "app/WorkingWindow.h"
#include "widgets/CompanyPicker.h"
#include "widgets/CurrentCompany.h"

#include <QDate>
#include <optional>

class DBCombo;
class DataSource;
class EditToolbar;
class FunctionKeyBar;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The companies window: one company at a time with all its details, active
// or archived, all of them or one sales person's. It is the anchor of the
// working windows: they read and write the current company through the
// accessors below and move it with their company pickers. Its 100 ms tick
// computes and stores the days a company is overdue for a visit.
class FormCompanies : public WorkingWindow, public CurrentCompany {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormCompanies";
    // The map page that shows a searched address.
    static constexpr const char* MapSearchAddress =
        "https://www.google.com/maps/search/?api=1&query=";
    FormCompanies();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel) override;

    void TimerLoad_Timer();
    void DBComboName_Click();
    void Option1_Click();
    void Option2_Click();
    void CommandEdit_Click();
    void CommandNew_Click();
    void CommandArchive_Click();
    void CommandUnarchive_Click();
    void CommandZoom1_Click();
    void CommandZoom2_Click();
    void CommandMap_Click();
    void CommandReminder_Click();
    void TEXT12_DblClick();
    void NUMBER01_Change();
    void NUMBER01_LostFocus();

    bool isEditing() const;

    // The current company, as the windows that work on it read it: texts as
    // its boxes show them (an edit not yet stored included), empty when there
    // is no current company.
    QString companyKey() const; // AUTONUMBER; empty until a new company is stored
    QString companyName() const;
    QString salesPerson() const;
    QString division() const;
    QString typeOfCompany() const;
    QString postalAddress() const;
    QString postalCity() const;
    QString postalCode() const;
    QString streetAddress() const;
    QString streetAddressContinued() const;
    QString city() const;
    QString telephone() const;
    QString telefax() const;
    QString details() const; // the company details, the preamble of call reports
    // The date last visited; none when never visited.
    std::optional<QDate> dateLastVisited() const;
    // The visit frequency in whole days (as typed, also before the box is
    // left); none when empty.
    std::optional<qint64> visitFrequency() const;
    // The status is "Archive".
    bool isCompanyArchived() const;
    // The current company's key, storing a company just entered first (it
    // gets its key when it is stored); empty when there is no current
    // company or it could not be stored.
    QString storedCompanyKey();

    // What the other windows write into the current company; it is stored
    // at the company's next save point.
    void setDateLastVisited(const QDate& date);
    // The appointment notice, in a colour of its own until the next tick.
    void setAppointmentNotice(const QString& notice, qint64 colour);
    void clearAppointmentNotice();
    // The text of the notes (MEMO01) or the details (MEMO02), put in also
    // while the window is locked; false for any other column.
    bool setMemoText(const QString& column, const QString& text);

    // The user choice: "All Companies" or a sales person's name.
    QString chosenUser() const;

    // CurrentCompany: what the company pickers of the windows move.
    bool chooseCompany(const QByteArray& bookmark, const QString& name) override;
    bool isCurrentCompany(const QByteArray& bookmark) const override;

    // Controls, for tests and the window's own use.
    // The field box or label of a column or name ("TEXT01", "Text18", ...).
    QLineEdit* box(const QString& name) const;
    DataSource* dataTable01() const { return DataTABLE01; }
    CompanyPicker* selector() const { return DBComboSelect; }
    QLineEdit* userChoice() const { return UserTEXT03; }
    QPlainTextEdit* memo(const QString& column) const;
    QGroupBox* editFrame() const { return Frame1; }
    // Shows the active or archived view, as the main menu's commands do.
    void openView(bool archived);
    // Pick lists of the master tables: list name -> field box it fills.
    static const QList<QPair<QString, QString>>& PickLists();

private:
    // A new company that matches stored ones: the user goes to the existing
    // company (false: the new row is not stored) or keeps the new one.
    bool newCompanyMayBeStored(const QHash<QString, QVariant>& values);
    void goToExistingCompany(qint64 key, bool archived);
    void applyFieldSelection();
    void setEditing(bool editing);
    void reloadByStatus();
    QString flag(int field) const;
    QString boxText(const QString& name) const;
    void buildControls();
    void buildHoverTexts();

    QGroupBox* Frame1;
    QGroupBox* FrameDisplay;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLabel* LabelSelect;
    QLabel* LabelName;
    QLabel* LabelOverdue;
    QLabel* LabelDateLastVisited;
    QLabel* LabelEntered;
    QLabel* LabelDateandTime;
    CompanyPicker* DBComboSelect;
    DBCombo* DBComboName;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QLineEdit* UserTEXT03;
    QLineEdit* TextAppointment;
    QPushButton* CommandNew;
    QPushButton* CommandEdit;
    QPushButton* CommandArchive;
    QPushButton* CommandUnarchive;
    QPushButton* CommandPrint;
    QPushButton* CommandReminder;
    QPushButton* CommandMap;
    QPushButton* CommandZoom1;
    QPushButton* CommandZoom2;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    EditToolbar* Toolbar1;
    FunctionKeyBar* m_functionKeys;
    QTimer* TimerLoad;
    DataSource* DataTABLE01;
    DataSource* DataUserTABLE02;
    QList<DataSource*> m_masterTables;
    HoverHelp* m_help;
    QString m_lastFrequency; // the visit frequency last accepted
    bool m_archived = false; // the view last opened: the archived companies
};
