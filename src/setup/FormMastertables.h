#pragma once

#include "app/Form.h"

#include <QHash>
#include <QVariant>

class DataSource;
class DBGrid;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Mastertables": the short lists the sales force picks from (regions,
// branches, divisions, sales persons ...). A button per table shows it in
// the grid; Edit opens the grid for changes, new entries and deletions;
// for sales persons and sales managers Replace rewrites a name in every
// company (FormFindandReplace).
class FormMastertables : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormMastertables";
    FormMastertables();

    void Form_Load() override;
    bool Form_KeyUp(QKeyEvent* event) override;

    // The table buttons: the table's SQL text in the grid, and the replace
    // button that goes with it.
    void showTable(const QString& table, const QString& replaceButton);
    void CommandEdit_Click();
    void CommandReplaceSP_Click();
    void CommandReplaceSM_Click();
    void CommandHelp_Click();

    // The master table in the grid ("MT12"), empty before a button is pressed.
    QString table() const { return m_table; }
    DBGrid* grid() const { return DBGrid1; }

private:
    // An empty value, or one the table already holds, is refused.
    bool valueMayBeStored(const QHash<QString, QVariant>& values);
    void replace(const QString& mode);

    QGroupBox* FrameOptions;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    DBGrid* DBGrid1;
    QPushButton* CommandEdit;
    QPushButton* CommandReplaceSP;
    QPushButton* CommandReplaceSM;
    QPushButton* CommandHelp;
    QLineEdit* TextClicked;
    DataSource* Data1;
    HoverHelp* m_help;
    QString m_table;
};
