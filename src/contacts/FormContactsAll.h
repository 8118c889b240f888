#pragma once

#include "app/WorkingWindow.h"

#include <optional>

class DBCombo;
class DataSource;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The contacts of every active company at once, each with its company's
// address: to find contacts across companies by the sales person who looks
// after them, by a keyword of theirs, or by typing their name. Every box is
// read-only here; contacts are entered and edited in the contacts window.
class FormContactsAll : public WorkingWindow {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormContactsAll";
    FormContactsAll();

    void Form_Load() override;
    bool Form_KeyDown(QKeyEvent* event) override; // no function-key switches here

    // The record source for a sales person (empty: all) and a keyword
    // (none: no keyword filter; an empty one lists every contact that has
    // keywords at all).
    static QString recordSource(const QString& salesPerson, const std::optional<QString>& keyword);

    void DBComboName_Click();
    void DBComboSelect_Click();
    void CommandGo_Click();
    void CommandReset_Click();
    void CommandDelete_Click();
    void TimerLoad_Timer();
    // After every move: the position, the full name, the dial options.
    void showPosition();

    DataSource* data() const { return Data1; }
    QLineEdit* box(const QString& name) const;
    QString contactName() const; // first and last name joined by one blank

private:
    void buildControls();
    void buildHoverTexts();
    // The sales person chosen in the name picker; empty when none is.
    QString chosenName() const;
    void load(const QString& recordSource);

    QGroupBox* Frame1;
    QGroupBox* FrameAutodial;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLabel* LabelFilter;
    QLabel* LabelPosition;
    QLabel* LabelEntered;
    QLabel* LabelDateandTime;
    DBCombo* DBComboName;
    DBCombo* DBComboSelect;
    QLineEdit* TextName;
    QLineEdit* TextFilter;
    QLineEdit* TextFullName;
    QPushButton* CommandGo;
    QPushButton* CommandReset;
    QRadioButton* OptionDial1;
    QRadioButton* OptionDial2;
    QPushButton* CommandTel;
    QPushButton* CommandCel;
    QPushButton* CommandDelete;
    QPushButton* CommandPrint;
    QPushButton* CommandHelp;
    QPushButton* CommandExit;
    QTimer* TimerLoad;
    DataSource* Data1;
    DataSource* DataMT12;
    HoverHelp* m_help;
};
