#pragma once

#include "app/WorkingWindow.h"

#include <optional>

class CompanyPicker;
class DBList;
class DataSource;
class DirList;
class DriveList;
class FileList;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// The files attached to the current company (TABLE05), newest first, behind
// F7 and "ATTACHMENTS F7". An attachment is a full path to a file anywhere on
// the user's drives, with the date it was attached and a description; the
// file itself stays where it is and is never copied, moved or deleted here.
//
// Two states: browsing, and picking a file for a new attachment (the file
// picker FrameSelect in view, CommandNew off). The new attachment belongs to
// the company it was started for, also when another company is chosen
// before the file is picked. A row begun without a file is never stored.
class FormAttachments : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormAttachments";
    // The twips from the top where the file picker stands while picking, and
    // where it waits, out of view below the window, otherwise.
    static constexpr int PickerShownTop = 1200;
    static constexpr int PickerWaitingTop = 7000;

    FormAttachments();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload(bool& cancel) override;

    // The attachments of the current company, newest first.
    Q_INVOKABLE void Load() override;

    void TimerLoad_Timer();
    void DBList1_Click();
    void DBList1_DblClick();
    void CommandNew_Click();
    void CommandDelete_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void Drive1_GotFocus();

    // Shows the red warning when the current attachment's path names no
    // existing file; hides it for an empty path or an existing file.
    void checkPath();
    bool isPicking() const { return m_newFor.has_value(); }

    DataSource* dataTable05() const { return DataTABLE05; }
    static QString warningText();
    static QString noAttachmentsMessage();

private:
    void buildControls();
    void buildHoverTexts();
    FormCompanies* companies() const;
    QString companyName() const;
    QString companyKey() const; // a whole number, or "Null" without a stored company
    // Drops the row begun for a new attachment while it has no file yet, so
    // that a save point does not store an attachment without a path.
    void dropRowWithoutFile();
    bool beginRow(const QString& company);
    void showPicker(bool shown);
    void endPicking();

    DataSource* DataTABLE05;
    DataSource* DataTABLE01;
    FunctionKeyBar* m_functionKeys;
    QLabel* Label1;
    CompanyPicker* DBComboSelect;
    QLabel* LabelDateandTime;
    QLabel* LabelList;
    DBList* DBList1;
    QLabel* LabelAttachment;
    QLineEdit* TEXT01;
    QLabel* LabelDate;
    QLineEdit* DATE01;
    QLabel* LabelDescription;
    QPlainTextEdit* MEMO01;
    QLineEdit* NUMBER01;
    QLabel* LabelWarning;
    QGroupBox* FrameSelect;
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QPushButton* CommandNew;
    QPushButton* CommandDelete;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QTimer* TimerLoad;
    HoverHelp* m_help;
    // The company a new attachment was started for, while picking its file.
    std::optional<QString> m_newFor;
    QString m_newForName;
    QString m_listedFor; // the company whose attachments are listed
};
