#include "WorkingWindow.h"

#include "Forms.h"
#include "ModuleButtons.h"
#include "ModuleHelp.h"
#include "services/MsgBox.h"
#include "services/PrintWindow.h"

#include <QKeyEvent>

bool WorkingWindow::Form_KeyDown(QKeyEvent* event) {
    return ModuleButtons::SwitchForKey(event->key());
}

bool WorkingWindow::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}

void WorkingWindow::Form_Unload(bool&) {
    Forms::show(QStringLiteral("FormMenu"));
}

void WorkingWindow::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}

void WorkingWindow::CommandExit_Click() {
    Forms::endProgram();
}

void WorkingWindow::CommandPrint_Click() {
    QString error;
    if (!PrintWindow::print(this, &error))
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}
