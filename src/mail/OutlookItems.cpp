#include "OutlookItems.h"

#include "data/UserProfile.h"
#include "formats/MailMessage.h"
#include "formats/MailStore.h"
#include "formats/SmtpSender.h"
#include "mail/AppointmentWindow.h"
#include "mail/MailItemWindow.h"
#include "mail/TaskWindow.h"
#include "platform/Clock.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"

#include <QFile>
#include <QFileInfo>

namespace {

MailMessage messageOf(const MailItem& item, const UserProfile& profile) {
    MailMessage message;
    message.from =
        profile.email.isEmpty()
            ? QString()
            : (profile.name.isEmpty() ? profile.email
                                      : QStringLiteral("%1 <%2>").arg(profile.name, profile.email));
    message.to = MailMessage::splitAddresses(item.To);
    message.cc = MailMessage::splitAddresses(item.CC);
    message.bcc = MailMessage::splitAddresses(item.BCC);
    message.subject = item.Subject;
    message.body = item.Body;
    message.date = Clock::now();
    message.messageId = MailMessage::newMessageId(profile.email);
    return message;
}

QDateTime nextFullHour() {
    const QDateTime now = Clock::now();
    return QDateTime(now.date(), QTime(now.time().hour(), 0)).addSecs(3600);
}

} // namespace

bool MailItem::Display(QString*) {
    auto* shown = new MailItemWindow(*this);
    shown->show();
    shown->raise();
    shown->activateWindow();
    window = shown;
    return true;
}

bool MailItem::Save(QString* error) {
    const MailMessage message = messageOf(*this, UserProfile::load());
    if (!message.checkAddresses(error))
        return false;
    return !MailStore::deliver(QStringLiteral("Drafts"), message.toRfc5322(true), true, error)
                .isEmpty();
}

bool MailItem::Send(QString* error) {
    const UserProfile profile = UserProfile::load();
    const MailMessage message = messageOf(*this, profile);
    if (!message.checkAddresses(error))
        return false;
    if (message.envelopeRecipients().isEmpty()) {
        if (error)
            *error = QStringLiteral("The e-mail has no recipient.");
        return false;
    }
    Sent = false;
    if (profile.smtpServer.trimmed().isEmpty()) {
        if (!Queue(error))
            return false;
        MsgBox::show(QStringLiteral("No mail server is set in your profile, so the e-mail \"%1\" "
                                    "waits in the Outbox. Set the server under \"Your Profile\" "
                                    "in the main menu.")
                         .arg(Subject),
                     MsgBox::OKOnly | MsgBox::Information);
    } else {
        Pointer::busy();
        const bool sent = SmtpSender::send(profile, message.from, message.envelopeRecipients(),
                                           message.toRfc5322(false), error);
        Pointer::normal();
        if (!sent)
            return false;
        Sent = true;
        // The copy for the sender; the mail has gone whatever happens here.
        MailStore::deliver(QStringLiteral("Sent Items"), message.toRfc5322(true), true, nullptr);
    }
    if (window)
        window->close();
    return true;
}

bool MailItem::Queue(QString* error) {
    const UserProfile profile = UserProfile::load();
    const MailMessage message = messageOf(*this, profile);
    if (message.envelopeRecipients().isEmpty()) {
        if (error)
            *error = QStringLiteral("The e-mail has no recipient.");
        return false;
    }
    return !MailStore::deliver(QStringLiteral("Outbox"), message.toRfc5322(true), false, error)
                .isEmpty();
}

bool AppointmentItem::Display(QString*) {
    AppointmentItem shown = *this;
    if (!shown.Start.isValid())
        shown.Start = nextFullHour();
    auto* w = new AppointmentWindow(shown);
    w->show();
    w->raise();
    w->activateWindow();
    return true;
}

bool AppointmentItem::Save(QString* error) {
    MailStore::Event event;
    event.summary = Subject;
    event.description = Body;
    event.location = Location;
    event.start = Start.isValid() ? Start : nextFullHour();
    event.durationMinutes = Duration;
    return !MailStore::saveEvent(event, error).isEmpty();
}

bool TaskItem::Display(QString*) {
    auto* w = new TaskWindow(*this);
    w->show();
    w->raise();
    w->activateWindow();
    return true;
}

bool TaskItem::Save(QString* error) {
    MailStore::Todo todo;
    todo.summary = Subject;
    todo.description = Body;
    todo.due = DueDate;
    return !MailStore::saveTodo(todo, error).isEmpty();
}

std::unique_ptr<OutlookItem> MailApp::CreateItem(int kind) {
    switch (kind) {
    case olMailItem:
        return std::make_unique<MailItem>();
    case olAppointmentItem:
        return std::make_unique<AppointmentItem>();
    case olTaskItem:
        return std::make_unique<TaskItem>();
    default:
        return nullptr;
    }
}

namespace MailApp {

SendReport SendOutbox() {
    SendReport report;
    const QStringList waiting = MailStore::messages(QStringLiteral("Outbox"));
    if (waiting.isEmpty())
        return report;
    const UserProfile profile = UserProfile::load();
    if (profile.smtpServer.trimmed().isEmpty()) {
        report.noServer = true;
        return report;
    }
    for (const QString& path : waiting) {
        QFile file(path);
        QString error;
        if (!file.open(QIODevice::ReadOnly)) {
            report.failures.append(QFileInfo(path).fileName() + QStringLiteral(": ") +
                                   file.errorString());
            continue;
        }
        const MailMessage message = MailMessage::parse(file.readAll());
        file.close();
        // What recipients get carries no Bcc; the envelope reaches them all.
        if (!message.checkAddresses(&error) ||
            !SmtpSender::send(profile, message.from, message.envelopeRecipients(),
                              message.toRfc5322(false), &error) ||
            !MailStore::move(path, QStringLiteral("Sent Items"), &error)) {
            report.failures.append(message.subject + QStringLiteral(": ") + error);
            continue;
        }
        ++report.sent;
    }
    return report;
}

} // namespace MailApp
