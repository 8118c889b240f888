#include "MailItemWindow.h"

#include "services/MsgBox.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* line(QWidget* parent, const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}
} // namespace

MailItemWindow::MailItemWindow(const MailItem& item, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("MailItemWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(item.Subject.isEmpty() ? QStringLiteral("Untitled - Message")
                                          : item.Subject + QStringLiteral(" - Message"));
    TextTo = line(this, "TextTo", item.To);
    TextCC = line(this, "TextCC", item.CC);
    TextBCC = line(this, "TextBCC", item.BCC);
    TextSubject = line(this, "TextSubject", item.Subject);
    TextBody = new QPlainTextEdit(item.Body, this);
    TextBody->setObjectName(QStringLiteral("TextBody"));
    CommandSend = new QPushButton(QStringLiteral("&Send"), this);
    CommandSend->setObjectName(QStringLiteral("CommandSend"));
    CommandSave = new QPushButton(QStringLiteral("Sa&ve"), this);
    CommandSave->setObjectName(QStringLiteral("CommandSave"));
    connect(CommandSend, &QPushButton::clicked, this, &MailItemWindow::CommandSend_Click);
    connect(CommandSave, &QPushButton::clicked, this, &MailItemWindow::CommandSave_Click);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("To:"), TextTo);
    fields->addRow(QStringLiteral("Cc:"), TextCC);
    fields->addRow(QStringLiteral("Bcc:"), TextBCC);
    fields->addRow(QStringLiteral("Subject:"), TextSubject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CommandSend);
    buttons->addWidget(CommandSave);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(fields);
    layout->addWidget(TextBody, 1);
    resize(640, 480);
}

MailItem MailItemWindow::item() const {
    MailItem item;
    item.To = TextTo->text();
    item.CC = TextCC->text();
    item.BCC = TextBCC->text();
    item.Subject = TextSubject->text();
    item.Body = TextBody->toPlainText();
    return item;
}

void MailItemWindow::CommandSend_Click() {
    MailItem mail = item();
    QString error;
    if (!mail.Send(&error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    close();
}

void MailItemWindow::CommandSave_Click() {
    QString error;
    if (!item().Save(&error))
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
}
