#include "MSComm.h"

#include <QCollator>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <optional>

namespace {

std::optional<QStringList>& namedDevices() {
    static std::optional<QStringList> devices;
    return devices;
}

struct LineSettings {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

std::optional<LineSettings> parseSettings(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings line;
    bool ok = false;
    line.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || line.baudRate <= 0)
        return std::nullopt;
    const QString parity = parts[1].trimmed().toUpper();
    if (parity == u"N")
        line.parity = QSerialPort::NoParity;
    else if (parity == u"E")
        line.parity = QSerialPort::EvenParity;
    else if (parity == u"O")
        line.parity = QSerialPort::OddParity;
    else if (parity == u"M")
        line.parity = QSerialPort::MarkParity;
    else if (parity == u"S")
        line.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 5 || data > 8)
        return std::nullopt;
    line.dataBits = QSerialPort::DataBits(data);
    const QString stop = parts[3].trimmed();
    if (stop == u"1")
        line.stopBits = QSerialPort::OneStop;
    else if (stop == u"1.5")
        line.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == u"2")
        line.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return line;
}

} // namespace

MSComm::MSComm(const QString& name, QObject* parent)
    : QObject(parent)
    , m_serial(new QSerialPort(this)) {
    setObjectName(name);
}

MSComm::~MSComm() {
    closePort();
}

void MSComm::closePort() {
    if (!m_serial->isOpen())
        return;
    // Dropping DTR hangs up a modem told to (&D2), whatever the line's
    // settings say about the close. A pseudo-terminal has no DTR to drop.
    m_serial->setDataTerminalReady(false);
    m_serial->clearError();
    m_serial->close();
}

bool MSComm::fail(const QString& error) {
    m_error = error;
    return false;
}

bool MSComm::setSettings(const QString& settings) {
    if (!parseSettings(settings))
        return fail(QStringLiteral("Invalid port settings: %1").arg(settings));
    m_settings = settings;
    return !PortOpen() || applySettings();
}

bool MSComm::applySettings() {
    const std::optional<LineSettings> line = parseSettings(m_settings);
    if (!line)
        return fail(QStringLiteral("Invalid port settings: %1").arg(m_settings));
    if (!m_serial->setBaudRate(line->baudRate) || !m_serial->setParity(line->parity) ||
        !m_serial->setDataBits(line->dataBits) || !m_serial->setStopBits(line->stopBits) ||
        !m_serial->setFlowControl(QSerialPort::NoFlowControl))
        return fail(m_serial->errorString());
    return true;
}

bool MSComm::setCommPort(int port) {
    if (PortOpen())
        return fail(QStringLiteral("Port already open"));
    if (port < 1)
        return fail(QStringLiteral("Invalid port number"));
    m_commPort = port;
    return true;
}

bool MSComm::PortOpen() const {
    return m_serial->isOpen();
}

bool MSComm::setPortOpen(bool open) {
    if (!open) {
        closePort();
        return true;
    }
    if (PortOpen())
        return fail(QStringLiteral("Port already open"));
    const QString path = device(m_commPort);
    if (path.isEmpty())
        return fail(QStringLiteral("There is no serial port %1").arg(m_commPort));
    m_serial->setPortName(path);
    if (!m_serial->open(QIODevice::ReadWrite))
        return fail(QStringLiteral("%1: %2").arg(path, m_serial->errorString()));
    if (!applySettings()) {
        closePort();
        return false;
    }
    return true;
}

int MSComm::InBufferCount() const {
    return PortOpen() ? int(m_serial->bytesAvailable()) : 0;
}

void MSComm::setInBufferCount(int count) {
    if (count != 0 || !PortOpen())
        return;
    m_serial->clear(QSerialPort::Input);
    m_serial->readAll();
}

bool MSComm::setOutput(const QString& text) {
    if (!PortOpen())
        return fail(QStringLiteral("Operation valid only when the port is open"));
    const QByteArray bytes = text.toLatin1();
    if (m_serial->write(bytes) != bytes.size())
        return fail(m_serial->errorString());
    // Handed to the driver now, not at the next turn of the event loop.
    m_serial->flush();
    if (m_serial->error() != QSerialPort::NoError)
        return fail(m_serial->errorString());
    return true;
}

QString MSComm::Input() {
    if (!PortOpen())
        return {};
    return QString::fromLatin1(m_inputLen > 0 ? m_serial->read(m_inputLen) : m_serial->readAll());
}

QString MSComm::device(int port) {
    const QStringList all = devices();
    return port >= 1 && port <= all.size() ? all[port - 1] : QString();
}

QStringList MSComm::devices() {
    if (namedDevices())
        return *namedDevices();
    QStringList present;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        present << info.systemLocation();
    QStringList devices;
    for (int i = 0; i < 4; ++i) {
        const QString builtIn = QStringLiteral("/dev/ttyS%1").arg(i);
        if (present.contains(builtIn))
            devices << builtIn;
    }
    QCollator numeric;
    numeric.setNumericMode(true);
    for (const QString& kind : {QStringLiteral("/dev/ttyACM"), QStringLiteral("/dev/ttyUSB")}) {
        QStringList modems;
        for (const QString& path : std::as_const(present))
            if (path.startsWith(kind))
                modems << path;
        std::sort(modems.begin(), modems.end(), numeric);
        devices << modems;
    }
    return devices;
}

void MSComm::setDevices(const QStringList& devices) {
    namedDevices() = devices;
}

void MSComm::useSystemDevices() {
    namedDevices().reset();
}
