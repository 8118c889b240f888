#pragma once

#include <QDate>
#include <QDateTime>
#include <QPointer>
#include <QString>
#include <memory>

class QWidget;

// The items of the mail program, with the properties the windows set, as
// they are written against the mail program's object model: a new item is
// made (MailApp::CreateItem, or directly), its properties are set, and it is
// displayed in its own window (not modal: Display does not wait), saved, or
// sent. The store is MailStore (program folder + "/Outlook").
class OutlookItem {
public:
    virtual ~OutlookItem() = default;
    QString Subject;
    QString Body;

    virtual bool Display(QString* error = nullptr) = 0;
    virtual bool Save(QString* error = nullptr) = 0;
};

class MailItem : public OutlookItem {
public:
    QString To, CC, BCC; // addresses separated by ";" or ","

    bool Display(QString* error = nullptr) override;
    bool Save(QString* error = nullptr) override; // into "Drafts"
    // Sends over the profile's mail server and files a copy in "Sent Items".
    // Without a server the mail waits in "Outbox", and the user is told so.
    // A refused send returns false with the server's reason; nothing is filed.
    // An address that cannot be used (a line break in it) is refused by Send
    // and Save before anything is sent or stored.
    bool Send(QString* error = nullptr);
    // Puts the mail in "Outbox", where it waits for the next Send & Receive.
    bool Queue(QString* error = nullptr);

    bool Sent = false;        // set by Send when the mail server took the mail
    QPointer<QWidget> window; // the window Display opened, closed by Send
};

class AppointmentItem : public OutlookItem {
public:
    QString Location;
    QDateTime Start;   // invalid: the next full hour when displayed or saved
    int Duration = 30; // minutes

    bool Display(QString* error = nullptr) override;
    bool Save(QString* error = nullptr) override; // into "Calendar"
};

class TaskItem : public OutlookItem {
public:
    QDate DueDate;

    bool Display(QString* error = nullptr) override;
    bool Save(QString* error = nullptr) override; // into "Tasks"
};

namespace MailApp {
constexpr int olMailItem = 0;
constexpr int olAppointmentItem = 1;
constexpr int olTaskItem = 3;
std::unique_ptr<OutlookItem> CreateItem(int kind);

// Send & Receive: every mail waiting in the Outbox goes over the profile's
// mail server and moves to Sent Items. Mail that the server refuses stays
// in the Outbox. There is no incoming server: nothing is received.
struct SendReport {
    int sent = 0;
    bool noServer = false; // nothing was tried: the profile names no server
    QStringList failures;  // "subject: reason" for each mail left waiting
};
SendReport SendOutbox();
} // namespace MailApp
