#pragma once

#include "app/Form.h"

class DBGrid;
class DataSource;
class DirList;
class DriveList;
class FileList;
class FlexGrid;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "Price List": the company's own products (TABLE13) with currency, price
// per unit, notes and optionally an attached document (a data sheet or a
// picture, by its path). The list is searched, edited, exported as a
// workbook, filled in bulk from Prices.xlsx in the program folder (an older
// Prices.xls stands in for it) and emptied through FormPriceListDelete.
// After an import a walk on Timer1 writes every price with two decimals.
class FormPriceList : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormPriceList";
    // The walk's time slice per tick: as many rows as fit, the window stays
    // responsive.
    static constexpr int SliceMs = 30;

    FormPriceList();

    void Form_Load() override;
    bool Form_KeyUp(QKeyEvent* event) override;
    void Form_Unload(bool& cancel) override;

    static void DropTemp();

    void CommandNew_Click();
    void CommandDelete_Click();
    void CommandReset_Click();
    void CommandExcel_Click();
    void CommandImport_Click();
    void CommandView_Click();
    void CommandAdd_Click();
    void Drive1_Change();
    void Dir1_Change();
    void File1_Click();
    void TextSearch_KeyPress(int keyAscii);
    void Timer1_Timer();
    void TimerDocument_Timer();

    DataSource* dataTable13() const { return DataTABLE13; }
    QString product() const; // TEXT01 of the current row
    bool isWalking() const;
    static QString workbookFile();
    static QString importErrorMessage();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildHoverTexts();
    void showPicker(bool shown);

    DataSource* DataTABLE13;
    DataSource* DataExcel;
    DBGrid* DBGrid1;
    QLabel* LabelProduct;
    QLabel* LabelPrice;
    QLabel* LabelNotes;
    QLineEdit* TEXT01;
    QLineEdit* TEXT03;
    QLineEdit* TEXT02;
    QPlainTextEdit* MEMO01;
    QLineEdit* TEXT04;
    QLabel* LabelTechnical;
    QLabel* Image1;
    QPushButton* CommandView;
    QPushButton* CommandAdd;
    DriveList* Drive1;
    DirList* Dir1;
    FileList* File1;
    QPushButton* CommandNew;
    QPushButton* CommandDelete;
    QPushButton* CommandExcel;
    QPushButton* CommandImport;
    QLineEdit* TextSearch;
    QPushButton* CommandReset;
    FlexGrid* MSFlexGridExcel;
    QTimer* Timer1;
    QTimer* TimerDocument;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    HoverHelp* m_help;
};
