#pragma once

#include "app/Form.h"

class DataSource;
class DirList;
class DriveList;
class FileList;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// "Import Sales Figures...": the user's own workbook of sales (.xls or
// .xlsx), its worksheet, account-number column and date column, copied into
// the table SALES of User.mdb. The choices are kept in User.mdb (TABLE02)
// for the next time and for the sales window, which reads them here.
class FormSales : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormSales";
    static constexpr const char* FilePattern = "*.xls; *.xlsx";

    FormSales();

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyUp(QKeyEvent* event) override;
    void Form_Unload(bool& cancel) override;

    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void TextAC_GotFocus();
    void Timer1_Timer();
    void CommandOpen_Click();
    void CommandImport_Click();
    void CommandHelp_Click();

    // The names as the boxes hold them.
    QString accountColumn() const;
    QString dateColumn() const;

    static QString importedMessage();
    static QString incompleteMessage();
    static QString failedMessage();

private:
    void buildControls();
    void buildHoverTexts();
    void enableImport();

    DataSource* DataUser;
    QLabel* LabelSelect;
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QLabel* LabelPath;
    QLineEdit* TextPath;
    QLabel* LabelSheet;
    QLineEdit* TextSheet;
    QLabel* LabelAC;
    QLineEdit* TextAC;
    QLabel* LabelDate;
    QLineEdit* TextDate;
    QPushButton* CommandOpen;
    QPushButton* CommandImport;
    QPushButton* CommandHelp;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QTimer* Timer1;
    HoverHelp* m_help;
};
