#pragma once

#include "app/Form.h"

class DBGrid;
class DataNavigator;
class DataSource;
class EditToolbar;
class FlexGrid;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "Competition": the competitors' products (TABLE11), each with its
// competitor, the user's own equivalent and notes. The list is searched,
// edited record by record, exported as a workbook and filled in bulk from
// Competition.xlsx in the program folder (an older Competition.xls stands in
// for it), which is emptied after the import for the next batch. After a
// save or an import a walk on Timer1 writes every product's display name
// (TEXT04), which the competitor activity window offers.
class FormCompetition : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormCompetition";
    // The walk's time slice per tick: as many rows as fit, the window stays
    // responsive.
    static constexpr int SliceMs = 15;

    FormCompetition();

    void Form_Load() override;
    bool Form_KeyUp(QKeyEvent* event) override;
    void Form_Unload(bool& cancel) override;

    // Runs the spreadsheet import (the window is closed meanwhile and shown
    // again by a new instance that writes the display names).
    void Import();
    // Builds the export workbook from the report data on the clipboard; the
    // file, or empty after the error was shown.
    QString CompProducts();
    static void DropTemp();

    void CommandNew_Click();
    void CommandSave_Click();
    void CommandDelete_Click();
    void CommandReset_Click();
    void CommandExcel_Click();
    void CommandImport_Click();
    void CommandEdit_Click();
    void CommandImport2_Click();
    void TextSearch_KeyPress(int keyAscii);
    void Timer1_Timer();

    DataSource* data1() const { return Data1; }
    bool isWalking() const;
    // The workbook the import reads and empties.
    static QString workbookFile();
    static QString importErrorMessage();
    static QString importedMessage();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildHoverTexts();
    void showFields(bool shown);

    DataSource* Data1;
    DataSource* DataExcel;
    DBGrid* DBGrid1;
    DataNavigator* Data1Bar;
    QLabel* LabelCompetitor;
    QLabel* LabelProduct;
    QLabel* LabelEquivalent;
    QLabel* LabelNotes;
    QLineEdit* TextCompetitor;
    QLineEdit* TextProduct;
    QLineEdit* TextEquivalent;
    QPlainTextEdit* TextNotes;
    QLineEdit* Text01;
    QLineEdit* Text02;
    QLineEdit* Text03;
    QLineEdit* Text04;
    QLineEdit* TextSearch;
    QPushButton* CommandReset;
    QPushButton* CommandNew;
    QPushButton* CommandSave;
    QPushButton* CommandDelete;
    QPushButton* CommandExcel;
    QPushButton* CommandImport;
    QGroupBox* Frame1;
    QLabel* LabelImport;
    QPushButton* CommandEdit;
    QPushButton* CommandImport2;
    EditToolbar* Toolbar1;
    FlexGrid* MSFlexGrid1;
    QTimer* Timer1;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    HoverHelp* m_help;
};
