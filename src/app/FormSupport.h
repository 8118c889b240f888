#pragma once

#include "Form.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "Request for Technical Support": a message to the maker, sent as an e-mail
// through the mail program. A refused send is tried again every 10 ms until
// it goes through or the window is closed.
class FormSupport : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormSupport";
    FormSupport();

    void Form_Load() override;
    void CommandGo_Click();
    void Timer1_Timer();

    static QString VersionLine(bool retry);

private:
    bool sendRequest(bool retry);

    QLabel* LabelMessage;
    QPlainTextEdit* TextMessage;
    QPushButton* CommandGo;
    QTimer* Timer1;
};
