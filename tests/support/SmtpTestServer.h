#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <thread>

// A small SMTP server on the loopback interface, on a thread of its own (the
// program sends with a blocking call). It records every mail it accepts, and
// can refuse the first few mails with "550" to test retries.
class SmtpTestServer {
public:
    struct Mail {
        QString from;
        QStringList recipients;
        QByteArray data;
    };

    SmtpTestServer();
    ~SmtpTestServer();

    int port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    void refuseNext(int mails) { m_refuse = mails; }
    QList<Mail> mails() const;
    int refusals() const { return m_refused; }

private:
    void run();
    void session(int client);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_refuse{0};
    std::atomic<int> m_refused{0};
    mutable std::mutex m_mutex;
    QList<Mail> m_mails;
    std::thread m_thread;
};
