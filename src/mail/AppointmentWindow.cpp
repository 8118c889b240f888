#include "AppointmentWindow.h"

#include "services/MsgBox.h"

#include <QDateTimeEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

AppointmentWindow::AppointmentWindow(const AppointmentItem& item, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("AppointmentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle((item.Subject.isEmpty() ? QStringLiteral("Untitled") : item.Subject) +
                   QStringLiteral(" - Appointment"));
    TextSubject = new QLineEdit(item.Subject, this);
    TextSubject->setObjectName(QStringLiteral("TextSubject"));
    TextLocation = new QLineEdit(item.Location, this);
    TextLocation->setObjectName(QStringLiteral("TextLocation"));
    DateStart = new QDateTimeEdit(item.Start, this);
    DateStart->setObjectName(QStringLiteral("DateStart"));
    DateStart->setCalendarPopup(true);
    SpinDuration = new QSpinBox(this);
    SpinDuration->setObjectName(QStringLiteral("SpinDuration"));
    SpinDuration->setRange(0, 14 * 24 * 60);
    SpinDuration->setSingleStep(15);
    SpinDuration->setSuffix(QStringLiteral(" minutes"));
    SpinDuration->setValue(item.Duration);
    TextBody = new QPlainTextEdit(item.Body, this);
    TextBody->setObjectName(QStringLiteral("TextBody"));
    CommandSave = new QPushButton(QStringLiteral("&Save && Close"), this);
    CommandSave->setObjectName(QStringLiteral("CommandSave"));
    connect(CommandSave, &QPushButton::clicked, this, &AppointmentWindow::CommandSave_Click);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Subject:"), TextSubject);
    fields->addRow(QStringLiteral("Location:"), TextLocation);
    fields->addRow(QStringLiteral("Start:"), DateStart);
    fields->addRow(QStringLiteral("Duration:"), SpinDuration);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CommandSave, 0, Qt::AlignLeft);
    layout->addLayout(fields);
    layout->addWidget(TextBody, 1);
    resize(520, 420);
}

AppointmentItem AppointmentWindow::item() const {
    AppointmentItem item;
    item.Subject = TextSubject->text();
    item.Location = TextLocation->text();
    item.Start = DateStart->dateTime();
    item.Duration = SpinDuration->value();
    item.Body = TextBody->toPlainText();
    return item;
}

void AppointmentWindow::CommandSave_Click() {
    QString error;
    if (!item().Save(&error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    close();
}
