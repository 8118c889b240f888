#include "FormSupport.h"

#include "Links.h"
#include "ModuleMouse.h"
#include "Version.h"
#include "data/UserProfile.h"
#include "office/OutlookItems.h"
#include "platform/Colors.h"
#include "platform/MsgBox.h"
#include "platform/Twips.h"

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

bool FormSupport::sendRequest(bool retry) {
    const UserProfile profile = UserProfile::load();
    MailItem mail;
    mail.To = QString::fromLatin1(Links::SupportAddress);
    mail.Subject = QStringLiteral("Request for technical support from ") + profile.name +
                   QStringLiteral(" at ") + profile.company;
    mail.Body = VersionLine(retry) + QStringLiteral("\r\n\r\n") + TextMessage->toPlainText();
    mail.Display();
    QString error;
    if (!mail.Send(&error)) {
        // The message stays here for the next try; its mail window goes.
        if (mail.window)
            mail.window->close();
        return false;
    }
    Colors::setForeground(LabelMessage, Colors::Green);
    LabelMessage->setText(QStringLiteral("Your message has been sent..."));
    CommandGo->setVisible(false);
    return true;
}

void FormSupport::CommandGo_Click() {
    ModuleMouse::PointerBusy();
    const bool sent = sendRequest(false);
    ModuleMouse::PointerNormal();
    if (!sent) {
        MsgBox::show(QStringLiteral("You must allow this e-mail to be sent."), MsgBox::OKOnly,
                     QStringLiteral("Technical Support"));
        Timer1->start();
    }
}

void FormSupport::Timer1_Timer() {
    Timer1->stop();
    ModuleMouse::PointerBusy();
    const bool sent = sendRequest(true);
    ModuleMouse::PointerNormal();
    if (!sent) {
        MsgBox::show(QStringLiteral("You must allow this e-mail to be sent."), MsgBox::OKOnly,
                     QStringLiteral("Technical Support"));
        if (isVisible())
            Timer1->start();
    }
}
