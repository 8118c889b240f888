#pragma once

#include "app/WorkingWindow.h"

class CompanyPicker;
class DataSource;
class DBCombo;
class DBGrid;
class EditToolbar;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

// The competitor activity of the current company (TABLE10), behind F6 and
// "COMPETITION F6": which competitors' products the company buys, how many
// per year and at what price. The list (newest entry first) and the entry
// panel take turns in the same place. A new entry also records the
// company's sales person, division and name, which the competitor activity
// report lists.
class FormCompetitors : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormCompetitors";
    // Where the entry panel stands while shown, in twips from the top.
    static constexpr int PanelTop = 1680;

    FormCompetitors();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;

    // The entries of the current company, newest first.
    Q_INVOKABLE void Load() override;

    void TimerLoad_Timer();
    void CommandNew_Click();
    void CommandEdit_Click();
    void DBComboProductGroup_Click();
    void DBComboProduct_Click();
    void ComboCurrency_Click();
    void Toolbar1_Delete();

    bool isEditing() const;
    DataSource* entries() const { return DataTABLE10; }
    // The currency signs offered, in their order.
    static QStringList CurrencySigns();
    static QString recordSource(const QString& companyKey);

private:
    void buildControls();
    void buildHoverTexts();
    FormCompanies* companies() const;
    QString companyName() const;
    QString companyKey() const;
    void showPanel(bool shown);

    DataSource* DataTABLE10;
    DataSource* DataTABLE01;
    DataSource* DataTABLE11;
    DataSource* DataMT04;

    FunctionKeyBar* m_functionKeys;
    QLabel* LabelSelect;
    CompanyPicker* DBComboSelect;
    EditToolbar* Toolbar1;
    QLabel* LabelDateandTime;
    QPushButton* CommandNew;
    QPushButton* CommandEdit;
    QPushButton* CommandPrint;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;

    DBGrid* DBGrid1;
    QGroupBox* Frame1;
    QLabel* LabelProductGroup;
    DBCombo* DBComboProductGroup;
    QLabel* LabelProduct;
    DBCombo* DBComboProduct;
    QLabel* LabelUnits;
    QLineEdit* NUMBER02;
    QLabel* LabelCost;
    QComboBox* ComboCurrency;
    QLineEdit* TEXT04;
    QLabel* LabelDate;
    QLineEdit* DATE01;
    QLineEdit* TEXT02;
    QLineEdit* TEXT03;
    QLineEdit* NUMBER01;

    QTimer* TimerLoad;
    HoverHelp* m_help;
};
