#pragma once

#include <QObject>
#include <QStringList>

class QSerialPort;

// A serial-port control as the windows own one: a port chosen by its
// number, set up by a settings text ("300,N,8,1": bit/s, parity, data bits,
// stop bits), opened and closed through PortOpen, written through Output and
// read through Input. An operation that fails answers false and leaves the
// reason in errorString(); nothing is retried.
//
// Port numbers count the machine's serial devices from 1: first its own
// serial ports /dev/ttyS0 to /dev/ttyS3 (those that are present), then the
// USB modems /dev/ttyACM* and /dev/ttyUSB*. Test hook: setDevices() names
// the devices instead (a pseudo-terminal for a test modem, a path that does
// not exist for an absent port); useSystemDevices() goes back.
class MSComm : public QObject {
    Q_OBJECT
public:
    explicit MSComm(const QString& name, QObject* parent = nullptr);
    ~MSComm() override;

    // Characters one read of Input takes at most; 0 takes everything waiting.
    int InputLen() const { return m_inputLen; }
    void setInputLen(int length) { m_inputLen = length < 0 ? 0 : length; }

    // False for a text that names no line setting; applied at once to an
    // open port, otherwise when it is opened.
    QString Settings() const { return m_settings; }
    bool setSettings(const QString& settings);

    // Refused while the port is open.
    int CommPort() const { return m_commPort; }
    bool setCommPort(int port);

    bool PortOpen() const;
    // Opening fails for a port that does not exist, cannot be set up or is
    // in use by another program.
    bool setPortOpen(bool open);

    // Bytes received and not yet read; setting 0 throws them away.
    int InBufferCount() const;
    void setInBufferCount(int count);

    // Writes the text; fails when the port is closed or the write fails.
    bool setOutput(const QString& text);
    // Takes what has been received (at most InputLen characters).
    QString Input();

    QString errorString() const { return m_error; }

    // The device of a port number; empty when the machine has no such port.
    static QString device(int port);
    static QStringList devices();

    // Test hook.
    static void setDevices(const QStringList& devices);
    static void useSystemDevices();

private:
    bool applySettings();
    void closePort();
    bool fail(const QString& error);

    QSerialPort* m_serial;
    int m_inputLen = 0;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    QString m_error;
};
