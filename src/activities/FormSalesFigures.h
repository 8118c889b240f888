#pragma once

#include "app/WorkingWindow.h"

class CompanyPicker;
class DataSource;
class DBGrid;
class FlexGrid;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

// The sales figures of the current company, behind F8 and "SALES F8": the
// rows of the imported table SALES (User.mdb) whose account column holds
// the company's account number, newest first, and the same rows as a new
// workbook in the user's spreadsheet program. The column names come from
// the import window's settings.
class FormSalesFigures : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormSalesFigures";

    FormSalesFigures();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

    // The sales rows of the current company; false (after the message and
    // the switch to the companies window) when they cannot be read.
    Q_INVOKABLE void Load() override;
    // The workbook of the rows on the clipboard; the report file, empty on failure.
    QString PrintSales();

    void TimerLoad_Timer();
    void CommandExcel_Click();

    DataSource* sales() const { return DataSales; }
    static QString notImportedMessage();

private:
    void buildControls();
    void buildHoverTexts();
    bool querySales();
    FormCompanies* companies() const;
    QString companyName() const;

    DataSource* DataSales;
    DataSource* DataTABLE01;
    FunctionKeyBar* m_functionKeys;
    QLabel* LabelSelect;
    CompanyPicker* DBComboSelect;
    QLabel* LabelDateandTime;
    QPushButton* CommandExcel;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    DBGrid* DBGrid1;
    FlexGrid* MSFlexGrid1;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QTimer* TimerLoad;
    HoverHelp* m_help;
    bool m_loading = false;
};
