#pragma once

#include "OutlookItems.h"

#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The compose window of a new e-mail: addressees, subject and text, with
// Send and Save. It closes when the mail has gone; a refused send leaves it
// open with everything typed, and says why.
class MailItemWindow : public QWidget {
    Q_OBJECT
public:
    explicit MailItemWindow(const MailItem& item, QWidget* parent = nullptr);

    MailItem item() const; // what the window holds now

    void CommandSend_Click();
    void CommandSave_Click();

private:
    QLineEdit* TextTo;
    QLineEdit* TextCC;
    QLineEdit* TextBCC;
    QLineEdit* TextSubject;
    QPlainTextEdit* TextBody;
    QPushButton* CommandSend;
    QPushButton* CommandSave;
};
