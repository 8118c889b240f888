#pragma once

#include <QStringList>

// The nine working windows switched with F2 to F10 or their buttons. A switch
// shows its window and closes the other working windows, except the companies
// window, which is only hidden: it holds the current company.
namespace ModuleButtons {

// The working windows, in their fixed order.
const QStringList& WorkingWindows();

void SwitchToCompanies();    // F2
void SwitchToContacts();     // F3
void SwitchToActivities();   // F4
void SwitchToProjects();     // F5
void SwitchToCompetitors();  // F6
void SwitchToAttachments();  // F7
void SwitchToSalesFigures(); // F8
void SwitchToCallReports();  // F9
void SwitchToOutlook();      // F10

// The switch of a function key (Qt::Key_F2 ... Qt::Key_F10); false for others.
bool SwitchForKey(int key);
// The switch that shows the named working window.
void SwitchTo(const QString& window);

} // namespace ModuleButtons
