#pragma once

#include "Form.h"

// A working window of the function-key row (companies, contacts, the
// browsers ...): F2 to F10 switch between them, releasing F1 opens the help,
// Help, Print and Exit do the same everywhere, and closing one brings back
// the main menu.
class WorkingWindow : public Form {
    Q_OBJECT
public:
    using Form::Form;

    bool Form_KeyDown(QKeyEvent* event) override;
    bool Form_KeyUp(QKeyEvent* event) override;
    void Form_Unload(bool& cancel) override;

    void CommandHelp_Click();
    void CommandExit_Click();  // ends the program, every window's edits stored
    void CommandPrint_Click(); // the window's picture, in landscape
};
