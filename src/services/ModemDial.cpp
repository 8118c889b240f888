#include "ModemDial.h"

#include "MSComm.h"
#include "MsgBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QRadioButton>
#include <QSet>
#include <QTimer>

namespace {

using namespace std::chrono_literals;

constexpr std::chrono::milliseconds PollInterval = 10ms;
constexpr int ProbeSeconds = 1;
constexpr int DialSeconds = 10;
constexpr int SearchedPorts = 4;

std::chrono::milliseconds& secondLength() {
    static std::chrono::milliseconds length = 1000ms;
    return length;
}

QSet<const MSComm*>& dialling() {
    static QSet<const MSComm*> controls;
    return controls;
}

// Marks a control as dialling for as long as it lives.
class DiallingMark {
public:
    explicit DiallingMark(const MSComm* control)
        : m_control(control) {
        dialling().insert(control);
    }
    ~DiallingMark() { dialling().remove(m_control); }
    DiallingMark(const DiallingMark&) = delete;
    DiallingMark& operator=(const DiallingMark&) = delete;

private:
    const MSComm* m_control;
};

// Lets the user interface work for `milliseconds`, waking at least every
// poll interval to call `done`; true as soon as `done` is.
template <class Done> bool waitUntil(qint64 milliseconds, Done done) {
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer wake;
    wake.start(PollInterval);
    while (elapsed.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (done())
            return true;
    }
    return false;
}

void message(const QString& text) {
    MsgBox::show(text, MsgBox::OKOnly);
}

} // namespace

bool ModemDial::SendModemCommand(MSComm* control, int port, const QString& command) {
    if (!control->PortOpen()) {
        if (!control->setCommPort(port) || !control->setPortOpen(true))
            return false;
    }
    control->setInBufferCount(0);
    return control->setOutput(command + u'\r');
}

bool ModemDial::WaitForModemReply(MSComm* control, const QString& expected, int seconds,
                                  QString& reply) {
    QPointer<MSComm> comm(control);
    if (!comm || !comm->PortOpen())
        return false;
    bool found = false;
    waitUntil(seconds * second().count(), [&] {
        if (!comm || !comm->PortOpen())
            return true; // gone: nothing more will come
        if (comm->InBufferCount() > 0)
            reply += comm->Input();
        found = reply.contains(expected);
        return found;
    });
    return found;
}

void ModemDial::CloseModemPort(MSComm* control) {
    if (!control->PortOpen())
        return;
    control->setPortOpen(false);
    waitUntil(second().count(), [] { return false; });
}

bool ModemDial::DialNumber(MSComm* control, const QString& number, int port) {
    if (!control || isDialling(control))
        return false;
    QPointer<MSComm> comm(control);
    DiallingMark mark(control);
    // Blanks around a stored number are neither counted nor dialled.
    const QString trimmed = number.trimmed();
    const bool dialable = trimmed.size() > 3;
    bool answered = false;
    bool portFailed = false; // a serial-port operation failed: straight to the end
    if (dialable) {
        comm->setInputLen(0);
        comm->setSettings(QStringLiteral("300,N,8,1"));
        [&] {
            if (port < 1) {
                for (int candidate = 1; candidate <= SearchedPorts; ++candidate) {
                    if (!SendModemCommand(comm, candidate, QStringLiteral("ATQ0E0"))) {
                        portFailed = true;
                        return;
                    }
                    QString reply;
                    if (WaitForModemReply(comm, QStringLiteral("OK"), ProbeSeconds, reply)) {
                        port = candidate;
                        break;
                    }
                    if (!comm)
                        return;
                    CloseModemPort(comm);
                    if (!comm)
                        return;
                }
                if (port < 1)
                    return;
            }
            if (!SendModemCommand(comm, port, QStringLiteral("ATX4&D2DT ") + trimmed + u';')) {
                portFailed = true;
                return;
            }
            QString reply;
            if (WaitForModemReply(comm, QStringLiteral("OK"), DialSeconds, reply)) {
                answered = true;
                message(QStringLiteral("Please pick up the phone THEN click OK"));
                if (comm)
                    CloseModemPort(comm);
            } else if (!comm) {
                return;
            } else if (reply.contains(QStringLiteral("NO DIALTONE")) ||
                       reply.contains(QStringLiteral("NO DIAL TONE"))) {
                message(QStringLiteral("No Dialtone detected. Please check the telephone "
                                       "connection."));
            } else {
                message(QStringLiteral("Failed on port ") + QString::number(port));
            }
        }();
    }
    if (!comm)
        return answered; // the window went during a wait
    if (!dialable) {
        message(QStringLiteral("Phone number apears to be incorrect. ") + u'"' + number + u'"');
        return false;
    }
    if (comm->PortOpen()) {
        SendModemCommand(comm, comm->CommPort(), QStringLiteral("ATH0"));
        CloseModemPort(comm);
        if (!comm)
            return answered;
    }
    if (port < 1)
        message(QStringLiteral("Modem not found, or Port is open."));
    else if (portFailed)
        // A named port that cannot be opened, or a modem gone after it
        // answered: the user is told, not left waiting for a call.
        message(QStringLiteral("Failed on port ") + QString::number(port));
    return answered;
}

bool ModemDial::isDialling(const MSComm* control) {
    return dialling().contains(control);
}

void ModemDial::setSecond(std::chrono::milliseconds length) {
    secondLength() = length;
}

std::chrono::milliseconds ModemDial::second() {
    return secondLength();
}

void ModemDial::DialFromOption(QRadioButton* option, MSComm* control, const QString& number,
                               QWidget* focus) {
    const QPointer<QRadioButton> stillThere(option);
    const QPointer<QWidget> focusThere(focus);
    DialNumber(control, number, -1);
    if (!stillThere)
        return;
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
    if (focusThere)
        focus->setFocus();
}
