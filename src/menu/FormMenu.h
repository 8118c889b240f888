#pragma once

#include "app/Form.h"

class DataSource;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Main Menu": the hub of the program. Its commands open the other windows;
// the setup commands wait behind a password kept in the main database;
// closing it ends the program.
class FormMenu : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormMenu";
    FormMenu();

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel) override;
    void Form_Unload(bool& cancel) override;
    bool Form_KeyUp(QKeyEvent* event) override;

    void CommandSetup_Click();
    void CommandEnter_Click();
    void CommandChange_Click();
    void CommandManual_Click();
    void CommandPresentation_Click();
    void CommandFAQ_Click();
    void LabelWebsite_Click();

    // The window a command shows, for the commands that only show a window.
    static QString WindowOf(const QString& command);

private:
    struct Command;
    void addCommand(QGroupBox* frame, int row, const Command& command);
    void refreshAvailability();
    QPushButton* button(const QString& name) const;

    QGroupBox* FrameBasic;
    QGroupBox* FrameOther;
    QGroupBox* FrameAdvanced1;
    QGroupBox* FrameAdvanced2;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QLabel* LabelTitle;
    QLabel* LabelVersion;
    QLabel* LabelSP;
    QLabel* LabelBuild;
    QLabel* LabelWebsite;
    QLabel* LabelPassword;
    QLabel* LabelNew;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* TEXT03;
    QLineEdit* TEXT04;
    QPushButton* CommandEnter;
    QPushButton* CommandChange;
    DataSource* DataPassword;
    HoverHelp* m_help;
};
