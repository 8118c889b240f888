#include "TaskWindow.h"

#include "platform/Clock.h"
#include "services/MsgBox.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TaskWindow::TaskWindow(const TaskItem& item, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TaskWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle((item.Subject.isEmpty() ? QStringLiteral("Untitled") : item.Subject) +
                   QStringLiteral(" - Task"));
    TextSubject = new QLineEdit(item.Subject, this);
    TextSubject->setObjectName(QStringLiteral("TextSubject"));
    DateDue = new QDateEdit(item.DueDate.isValid() ? item.DueDate : Clock::today(), this);
    DateDue->setObjectName(QStringLiteral("DateDue"));
    DateDue->setCalendarPopup(true);
    TextBody = new QPlainTextEdit(item.Body, this);
    TextBody->setObjectName(QStringLiteral("TextBody"));
    CommandSave = new QPushButton(QStringLiteral("&Save && Close"), this);
    CommandSave->setObjectName(QStringLiteral("CommandSave"));
    connect(CommandSave, &QPushButton::clicked, this, &TaskWindow::CommandSave_Click);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Subject:"), TextSubject);
    fields->addRow(QStringLiteral("Due date:"), DateDue);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CommandSave, 0, Qt::AlignLeft);
    layout->addLayout(fields);
    layout->addWidget(TextBody, 1);
    resize(480, 360);
}

TaskItem TaskWindow::item() const {
    TaskItem item;
    item.Subject = TextSubject->text();
    item.DueDate = DateDue->date();
    item.Body = TextBody->toPlainText();
    return item;
}

void TaskWindow::CommandSave_Click() {
    QString error;
    if (!item().Save(&error)) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    close();
}
