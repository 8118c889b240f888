#include "FormSupport.h"

#include "Links.h"
#include "Version.h"
#include "app/ModuleMouse.h"
#include "data/UserProfile.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

FormSupport::FormSupport()
    : Form(QString::fromLatin1(Name)) {
    LabelMessage = new QLabel(QStringLiteral("Type your message and click on Go..."), this);
    LabelMessage->setObjectName(QStringLiteral("LabelMessage"));
    Twips::setGeometry(LabelMessage, 240, 240, 7400, 255);
    TextMessage = new QPlainTextEdit(this);
    TextMessage->setObjectName(QStringLiteral("TextMessage"));
    Twips::setGeometry(TextMessage, 240, 600, 7400, 3240);
    CommandGo = new QPushButton(QStringLiteral("&Go"), this);
    CommandGo->setObjectName(QStringLiteral("CommandGo"));
    Twips::setGeometry(CommandGo, 6425, 3960, 1215, 375);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(CommandGo, &QPushButton::clicked, this, &FormSupport::CommandGo_Click);
    connect(Timer1, &QTimer::timeout, this, &FormSupport::Timer1_Timer);
}

void FormSupport::Form_Load() {
    setWindowTitle(QStringLiteral("Request for Technical Support"));
    Colors::setBackground(this, Colors::White);
    Twips::setFixedSize(this, 8000, 4800);
}

QString FormSupport::VersionLine(bool retry) {
    if (retry)
        return QStringLiteral(" Version %1.%2 Service Pack %3")
            .arg(Version::Major)
            .arg(Version::Minor)
            .arg(Version::Revision);
    return QStringLiteral(" Version %1. Revision %2.%3")
        .arg(Version::Major)
        .arg(Version::Minor)
        .arg(Version::Revision);
}

MailItem FormSupport::request(bool retry) const {
    const UserProfile profile = UserProfile::load();
    MailItem mail;
    mail.To = QString::fromLatin1(Links::SupportAddress);
    mail.Subject = QStringLiteral("Request for technical support from ") + profile.name +
                   QStringLiteral(" at ") + profile.company;
    mail.Body = VersionLine(retry) + QStringLiteral("\r\n\r\n") + TextMessage->toPlainText();
    return mail;
}

FormSupport::Delivery FormSupport::sendRequest(bool retry, QString* error) {
    MailItem mail = request(retry);
    mail.Display();
    if (!mail.Send(error)) {
        // The message stays here for the next try; its mail window goes.
        if (mail.window)
            mail.window->close();
        return Delivery::Refused;
    }
    return mail.Sent ? Delivery::Sent : Delivery::Queued;
}

void FormSupport::showDelivery(Delivery delivery) {
    if (delivery == Delivery::Sent) {
        Colors::setForeground(LabelMessage, Colors::Green);
        LabelMessage->setText(QStringLiteral("Your message has been sent..."));
    } else {
        Colors::setForeground(LabelMessage, Colors::Black);
        LabelMessage->setText(
            QStringLiteral("Your message has not been sent yet: it waits in the Outbox..."));
    }
    CommandGo->setVisible(false);
}

void FormSupport::queueRequest(const QString& reason) {
    MailItem mail = request(true);
    QString error;
    if (!mail.Queue(&error)) {
        MsgBox::show(QStringLiteral("Your request could not be sent (%1), nor put in the Outbox "
                                    "(%2). Please try again later.")
                         .arg(reason, error),
                     MsgBox::OKOnly | MsgBox::Critical, QStringLiteral("Technical Support"));
        return; // Go stays for another try
    }
    showDelivery(Delivery::Queued);
    MsgBox::show(QStringLiteral("Your request could not be sent (%1). It waits in the Outbox and "
                                "goes with the next Send & Receive.")
                     .arg(reason),
                 MsgBox::OKOnly | MsgBox::Information, QStringLiteral("Technical Support"));
}

void FormSupport::CommandGo_Click() {
    ModuleMouse::PointerBusy();
    QString error;
    const Delivery delivery = sendRequest(false, &error);
    ModuleMouse::PointerNormal();
    if (delivery != Delivery::Refused) {
        showDelivery(delivery);
        return;
    }
    m_tries = 1;
    MsgBox::show(QStringLiteral("You must allow this e-mail to be sent."), MsgBox::OKOnly,
                 QStringLiteral("Technical Support"));
    Timer1->start();
}

void FormSupport::Timer1_Timer() {
    Timer1->stop();
    ModuleMouse::PointerBusy();
    QString error;
    const Delivery delivery = sendRequest(true, &error);
    ModuleMouse::PointerNormal();
    if (delivery != Delivery::Refused) {
        showDelivery(delivery);
        return;
    }
    if (++m_tries >= MaxTries) {
        queueRequest(error);
        return;
    }
    MsgBox::show(QStringLiteral("You must allow this e-mail to be sent."), MsgBox::OKOnly,
                 QStringLiteral("Technical Support"));
    if (isVisible())
        Timer1->start();
}
