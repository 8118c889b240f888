#pragma once

#include "app/Form.h"
#include "mail/OutlookItems.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

// "Request for Technical Support": a message to the maker, sent as an e-mail
// through the mail program. A refused send is tried again every 10 ms, a few
// times; then the request waits in the mail program's Outbox. The window says
// which happened: sent, or waiting in the Outbox (no mail server in the
// profile, or sending failed).
class FormSupport : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormSupport";
    FormSupport();

    void Form_Load() override;
    void CommandGo_Click();
    void Timer1_Timer();

    static QString VersionLine(bool retry);
    // Tries of a refused request before it is put in the Outbox.
    static constexpr int MaxTries = 4;

private:
    enum class Delivery { Sent, Queued, Refused };
    MailItem request(bool retry) const;
    Delivery sendRequest(bool retry, QString* error);
    void showDelivery(Delivery delivery);
    // After the last refused try: the request waits in the Outbox.
    void queueRequest(const QString& reason);

    QLabel* LabelMessage;
    QPlainTextEdit* TextMessage;
    QPushButton* CommandGo;
    QTimer* Timer1;
    int m_tries = 0;
};
