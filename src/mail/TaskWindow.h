#pragma once

#include "OutlookItems.h"

#include <QWidget>

class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// A new task: subject, due date and notes; "Save & Close" files it in the
// task list.
class TaskWindow : public QWidget {
    Q_OBJECT
public:
    explicit TaskWindow(const TaskItem& item, QWidget* parent = nullptr);

    TaskItem item() const;
    void CommandSave_Click();

private:
    QLineEdit* TextSubject;
    QDateEdit* DateDue;
    QPlainTextEdit* TextBody;
    QPushButton* CommandSave;
};
