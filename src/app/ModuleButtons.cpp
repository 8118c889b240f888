#include "ModuleButtons.h"

#include "Form.h"
#include "Forms.h"
#include "ModuleMouse.h"
#include "services/MsgBox.h"

namespace ModuleButtons {

const QStringList& WorkingWindows() {
    static const QStringList windows = {
        QStringLiteral("FormCompanies"),    QStringLiteral("FormContacts"),
        QStringLiteral("FormActivities"),   QStringLiteral("FormProjects"),
        QStringLiteral("FormCompetitors"),  QStringLiteral("FormAttachments"),
        QStringLiteral("FormSalesFigures"), QStringLiteral("FormCallReports"),
        QStringLiteral("FormOutlook")};
    return windows;
}

void SwitchTo(const QString& target) {
    ModuleMouse::PointerBusy();
    const QString companies = WorkingWindows().first();
    Form* shown = Forms::show(target);
    if (!shown) {
        ModuleMouse::PointerNormal();
        MsgBox::show(
            QStringLiteral("The window %1 is not part of this version of Tessaly.").arg(target),
            MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    if (target != companies)
        if (Form* form = Forms::loaded(companies))
            form->hide();
    for (const QString& window : WorkingWindows())
        if (window != companies && window != target)
            Forms::unload(window);
    // Closing a working window shows the main menu; it stays hidden here.
    if (Form* menu = Forms::loaded(QStringLiteral("FormMenu")))
        menu->hide();
    shown->activateWindow();
    ModuleMouse::PointerNormal();
}

void SwitchToCompanies() {
    SwitchTo(QStringLiteral("FormCompanies"));
}
void SwitchToContacts() {
    SwitchTo(QStringLiteral("FormContacts"));
}
void SwitchToActivities() {
    SwitchTo(QStringLiteral("FormActivities"));
}
void SwitchToProjects() {
    SwitchTo(QStringLiteral("FormProjects"));
}
void SwitchToCompetitors() {
    SwitchTo(QStringLiteral("FormCompetitors"));
}
void SwitchToAttachments() {
    SwitchTo(QStringLiteral("FormAttachments"));
}
void SwitchToSalesFigures() {
    SwitchTo(QStringLiteral("FormSalesFigures"));
}
void SwitchToCallReports() {
    SwitchTo(QStringLiteral("FormCallReports"));
}
void SwitchToOutlook() {
    SwitchTo(QStringLiteral("FormOutlook"));
}

bool SwitchForKey(int key) {
    if (key < Qt::Key_F2 || key > Qt::Key_F10)
        return false;
    SwitchTo(WorkingWindows().at(key - Qt::Key_F2));
    return true;
}

} // namespace ModuleButtons
