#pragma once

#include <QList>
#include <QObject>
#include <QPair>
#include <QStringList>

class QSocketNotifier;

// A Hayes modem on a pseudo-terminal, for the dialling tests: the program
// opens device() as its serial port. The modem reads commands (each ended
// by a CR), keeps them in the order received, and answers each from its
// script: the reply of the first rule whose text the command begins with,
// framed as a modem frames its result codes (CR LF before and after). A
// command that no rule names, or a rule with an empty reply, gets no answer
// at all, as from a modem that is switched off.
//
// It answers on the event loop of its thread (a socket notifier), so it
// works while the program waits for it processing events. It keeps the
// terminal's own side open as well, so that the program may close and open
// the port again in between.
class FakeModem : public QObject {
    Q_OBJECT
public:
    explicit FakeModem(QObject* parent = nullptr);
    ~FakeModem() override;
    FakeModem(const FakeModem&) = delete;
    FakeModem& operator=(const FakeModem&) = delete;

    // False when no pseudo-terminal could be made; device() is then empty.
    bool isReady() const { return m_master >= 0; }
    QString device() const { return m_device; }

    // Commands beginning with `command` are answered `reply` (empty: silence).
    void answer(const QString& command, const QString& reply);
    // Replies go out in two writes, the second a little later, split after
    // `at` characters.
    void splitRepliesAt(int at) { m_splitAt = at; }

    // Every command received, each with its CR.
    QStringList commands() const { return m_commands; }
    // The line settings ("300,N,8,1") of the port when the first command
    // came (a command written just before the port closes is read after the
    // close, when the terminal has its own settings back).
    QString lineSettings() const { return m_lineSettings; }

private:
    void readCommands();
    void send(const QByteArray& bytes);
    void write(const QByteArray& bytes);
    QString currentLineSettings() const;

    int m_master = -1;
    int m_slave = -1;
    QString m_device;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
    QList<QPair<QString, QString>> m_script;
    QStringList m_commands;
    QString m_lineSettings;
    int m_splitAt = 0;
};
