#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <mutex>
#include <thread>

typedef struct ssl_ctx_st SSL_CTX;

// A small SMTP server on the loopback interface, on a thread of its own (the
// program sends with a blocking call). It records every mail it accepts, and
// can refuse the first few mails with "550" to test retries.
//
// It offers AUTH PLAIN in every mode, as a careless server would, and records
// each sign-in with whether it came over TLS. With STARTTLS or implicit TLS it
// presents a self-signed certificate for 127.0.0.1, generated when the server
// starts; certificateFile() is that certificate, for the client to trust.
class SmtpTestServer {
public:
    enum class Security {
        Plain,       // no TLS at all
        StartTls,    // plain connection that offers STARTTLS
        ImplicitTls, // TLS from the first byte (smtps://)
    };
    struct Mail {
        QString from;
        QStringList recipients;
        QByteArray data;
        bool encrypted = false;
    };
    struct SignIn {
        QByteArray user;
        QByteArray password;
        bool encrypted = false;
    };

    explicit SmtpTestServer(Security security = Security::Plain);
    ~SmtpTestServer();

    int port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    QString certificateFile() const; // PEM; empty for a plain server
    void refuseNext(int mails) { m_refuse = mails; }
    QList<Mail> mails() const;
    int refusals() const { return m_refused; }
    int sessions() const { return m_sessions; } // connections accepted
    QList<QByteArray> commands() const;         // every command line, in order
    QList<SignIn> signIns() const;
    bool signInSeenInClear() const;

private:
    struct Connection;
    void run();
    void session(int client);
    void record(const QByteArray& command);

    Security m_security;
    QTemporaryDir m_dir;
    SSL_CTX* m_tls = nullptr;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_refuse{0};
    std::atomic<int> m_refused{0};
    std::atomic<int> m_sessions{0};
    mutable std::mutex m_mutex;
    QList<Mail> m_mails;
    QList<QByteArray> m_commands;
    QList<SignIn> m_signIns;
    std::thread m_thread;
};
