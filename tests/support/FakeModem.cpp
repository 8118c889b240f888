#include "FakeModem.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

int bitsPerSecond(speed_t speed) {
    switch (speed) {
    case B300:
        return 300;
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return -1;
    }
}

} // namespace

FakeModem::FakeModem(QObject* parent)
    : QObject(parent) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        return;
    if (grantpt(master) != 0 || unlockpt(master) != 0) {
        ::close(master);
        return;
    }
    const char* name = ptsname(master);
    const int slave = name ? ::open(name, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0) {
        ::close(master);
        return;
    }
    // Raw until the program sets the line up: nothing echoed, CR kept as CR.
    termios raw{};
    if (tcgetattr(slave, &raw) == 0) {
        cfmakeraw(&raw);
        tcsetattr(slave, TCSANOW, &raw);
    }
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
    m_device = QString::fromLocal8Bit(name);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FakeModem::readCommands);
}

FakeModem::~FakeModem() {
    delete m_notifier;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

void FakeModem::answer(const QString& command, const QString& reply) {
    m_script.append({command, reply});
}

QString FakeModem::currentLineSettings() const {
    termios line{};
    if (tcgetattr(m_slave, &line) != 0)
        return {};
    QString parity = QStringLiteral("N");
    if (line.c_cflag & PARENB)
        parity = (line.c_cflag & PARODD) ? QStringLiteral("O") : QStringLiteral("E");
    int dataBits = 8;
    switch (line.c_cflag & CSIZE) {
    case CS5:
        dataBits = 5;
        break;
    case CS6:
        dataBits = 6;
        break;
    case CS7:
        dataBits = 7;
        break;
    default:
        break;
    }
    return QStringLiteral("%1,%2,%3,%4")
        .arg(bitsPerSecond(cfgetospeed(&line)))
        .arg(parity)
        .arg(dataBits)
        .arg((line.c_cflag & CSTOPB) ? 2 : 1);
}

void FakeModem::readCommands() {
    char buffer[256];
    for (;;) {
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            break;
        m_pending.append(buffer, got);
    }
    qsizetype end;
    while ((end = m_pending.indexOf('\r')) >= 0) {
        const QString command = QString::fromLatin1(m_pending.left(end + 1));
        m_pending.remove(0, end + 1);
        m_commands << command;
        if (m_commands.size() == 1)
            m_lineSettings = currentLineSettings();
        for (const auto& [start, reply] : std::as_const(m_script)) {
            if (!command.startsWith(start))
                continue;
            if (!reply.isEmpty())
                send("\r\n" + reply.toLatin1() + "\r\n");
            break;
        }
    }
}

void FakeModem::send(const QByteArray& bytes) {
    if (m_splitAt > 0 && m_splitAt < bytes.size()) {
        write(bytes.left(m_splitAt));
        // The rest a little later, so that the program reads the reply in two pieces.
        QTimer::singleShot(30, this, [this, rest = bytes.mid(m_splitAt)] { write(rest); });
    } else {
        write(bytes);
    }
}

void FakeModem::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(m_master, bytes.constData() + done, bytes.size() - done);
        if (put < 0 && errno != EINTR && errno != EAGAIN)
            return;
        if (put > 0)
            done += put;
    }
}
