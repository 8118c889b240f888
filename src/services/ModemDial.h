#pragma once

#include <QString>
#include <chrono>

class QRadioButton;
class QWidget;
class MSComm;

// A voice call started through a Hayes modem on a serial port: the number is
// dialled with the modem told to go back to command mode at once, the user
// is asked to lift the handset, and the port is let go, which hangs the
// modem up (it was told to drop the line with DTR) while the telephone
// keeps the call. The contacts windows each own a serial-port control and
// dial through here.
//
// Every wait lets the user interface go on working; a window that goes away
// during a wait ends the call at once, without further messages. Test hook:
// setSecond() makes the seconds of the waits shorter.
class ModemDial {
public:
    // The whole procedure, with its messages. A port of 1 or more is used
    // directly; below 1 the modem is searched for on ports 1 to 4 first.
    // True when the modem took the number and the user confirmed. A second
    // dial on a control that is still dialling is refused (false, nothing
    // shown).
    static bool DialNumber(MSComm* control, const QString& number, int port);

    // A contacts window's dial option: dials `number` on any port, then,
    // unless the window went while the modem was waited for, clears the
    // option (a button to press, never left chosen) and gives `focus` the
    // focus.
    static void DialFromOption(QRadioButton* option, MSComm* control, const QString& number,
                               QWidget* focus);

    // Opens the port if needed, throws away what was received and writes the
    // command and a CR. False when the port cannot be opened or written.
    static bool SendModemCommand(MSComm* control, int port, const QString& command);
    // Collects what the modem sends into `reply` until it contains
    // `expected` (true) or `seconds` have passed (false). A closed port
    // answers false at once.
    static bool WaitForModemReply(MSComm* control, const QString& expected, int seconds,
                                  QString& reply);
    // Closes an open port and waits one second, so that the modem has put
    // down the line before anything uses the port again.
    static void CloseModemPort(MSComm* control);

    static bool isDialling(const MSComm* control);

    // Test hook: how long one second of the waits lasts.
    static void setSecond(std::chrono::milliseconds length);
    static std::chrono::milliseconds second();
};
