#include "FakeModem.h"
#include "TestSession.h"

#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "contacts/FormContacts.h"
#include "contacts/FormContactsAll.h"
#include "services/MSComm.h"
#include "services/ModemDial.h"
#include "services/MsgBox.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBList.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString Probe = QStringLiteral("ATQ0E0\r");
const QString HangUp = QStringLiteral("ATH0\r");
QString dialled(const QString& number) {
    return QStringLiteral("ATX4&D2DT ") + number + QStringLiteral(";\r");
}

const QString PickUp = QStringLiteral("Please pick up the phone THEN click OK");
const QString NoDialtone =
    QStringLiteral("No Dialtone detected. Please check the telephone connection.");
const QString NotFound = QStringLiteral("Modem not found, or Port is open.");

// A modem that answers the probe, and the dial with `dialReply`.
std::unique_ptr<FakeModem> modem(const QString& probeReply, const QString& dialReply) {
    auto fake = std::make_unique<FakeModem>();
    fake->answer(QStringLiteral("ATQ0E0"), probeReply);
    fake->answer(QStringLiteral("ATX4"), dialReply);
    fake->answer(QStringLiteral("ATH0"), QStringLiteral("OK"));
    return fake;
}

} // namespace

// Dialling through a Hayes modem: the fake modems sit on pseudo-terminals
// that the session names as the machine's serial ports, and keep every
// command they receive. One second of the waits lasts 200 ms here.
class TestModem : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // The windows' dial options.
    void contactsWindowDials_data();
    void contactsWindowDials();
    void allContactsWindowDialsTheDirectLineWithoutBlanks();
    void closingTheWindowDuringTheWaitEndsTheCall();

    // The procedure.
    void modemIsFoundOnTheThirdPort();
    void portThatCannotBeUsed_data();
    void portThatCannotBeUsed();
    void namedPortIsDialledWithoutSearch();
    void namedPortThatDoesNotExistSaysSo();
    void shortNumbersAreRefused_data();
    void shortNumbersAreRefused();
    void replyInPiecesIsCollected();
    void interfaceWorksWhileWaitingAndASecondDialIsRefused();

private:
    void setPorts(const QList<FakeModem*>& modems, const QStringList& more = {}) {
        QStringList devices;
        for (FakeModem* fake : modems) {
            QVERIFY(fake->isReady());
            devices << fake->device();
        }
        MSComm::setDevices(devices + more);
    }
    template <class T = QWidget> static T* child(QWidget* window, const QString& name) {
        T* widget = window->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    FormContacts* openContacts();
    void chooseContact(FormContacts* form, const QString& name);
    static void clickOption(QRadioButton* option) {
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
    }

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<MSComm> m_comm;
};

void TestModem::init() {
    m_session = std::make_unique<TestSession>();
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (TEXT01, TEXT08, TEXT18, TEXT20) VALUES "
        "('Acme', 'Tacoma', 'Ann', 'Company');"
        "INSERT INTO TABLE03 (NUMBER01, TEXT02, TEXT03, TEXT04, TEXT08, TEXT11, DATE03) VALUES "
        "(1, 'Zoe', 'Adams', '555-1111', '  555 2222 ', 'Zoe Adams', '2025-06-01'),"
        "(1, 'Bill', 'Baker', '', '', 'Bill Baker', '2025-06-02');");
    m_session->registerForms();
    ModemDial::setSecond(200ms);
    m_comm = std::make_unique<MSComm>(QStringLiteral("MSComm1"));
}

void TestModem::cleanup() {
    m_comm.reset();
    m_session.reset();
}

FormContacts* TestModem::openContacts() {
    Forms::show("FormMenu");
    QTest::mouseClick(Forms::loaded("FormMenu")->findChild<QPushButton*>("CommandCompanies"),
                      Qt::LeftButton);
    auto* companies = Forms::get<FormCompanies>();
    if (!QTest::qWaitForWindowExposed(companies))
        qWarning("the companies window was not shown");
    QTest::keyClick(companies, Qt::Key_F3);
    settle();
    return qobject_cast<FormContacts*>(Forms::loaded(FormContacts::Name));
}

void TestModem::chooseContact(FormContacts* form, const QString& name) {
    DBList* list = form->contactList();
    for (int row = 0; row < list->listCount(); ++row) {
        if (list->model()->index(row, 0).data().toString() == name) {
            const QRect at = list->visualRect(list->model()->index(row, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
            return;
        }
    }
    QFAIL(qPrintable("no contact " + name));
}

void TestModem::contactsWindowDials_data() {
    QTest::addColumn<QString>("probeReply");
    QTest::addColumn<QString>("dialReply");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    const QString dial = dialled("555-1111");
    // The call is left to the telephone: no hang-up once the user has it.
    QTest::newRow("answered") << "OK"
                              << "OK" << PickUp << QStringList{Probe, dial};
    QTest::newRow("no dialtone") << "OK"
                                 << "NO DIALTONE" << NoDialtone << QStringList{Probe, dial, HangUp};
    QTest::newRow("no dial tone") << "OK"
                                  << "NO DIAL TONE" << NoDialtone
                                  << QStringList{Probe, dial, HangUp};
    QTest::newRow("busy") << "OK"
                          << "BUSY"
                          << "Failed on port 1" << QStringList{Probe, dial, HangUp};
    QTest::newRow("no answer to the dial")
        << "OK"
        << ""
        << "Failed on port 1" << QStringList{Probe, dial, HangUp};
    // The next port does not exist: the search ends there.
    QTest::newRow("no answer to the probe") << ""
                                            << "OK" << NotFound << QStringList{Probe};
}

void TestModem::contactsWindowDials() {
    QFETCH(QString, probeReply);
    QFETCH(QString, dialReply);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    auto fake = modem(probeReply, dialReply);
    setPorts({fake.get()});
    FormContacts* form = openContacts();
    QVERIFY(form);
    chooseContact(form, "Zoe Adams");
    auto* cell = child<QRadioButton>(form, "OptionDial1");
    QVERIFY(cell->isVisible());
    m_session->expectMessage(message);
    clickOption(cell);
    QCOMPARE(MsgBox::last().text, message);
    QCOMPARE(MsgBox::last().style, int(MsgBox::OKOnly));
    QCOMPARE(fake->commands(), commands);
    QCOMPARE(fake->lineSettings(), QString("300,N,8,1"));
    // The port is let go, the option is a button again and the selector has the focus.
    QVERIFY(!child<MSComm>(form, "MSComm2")->PortOpen());
    QVERIFY(!ModemDial::isDialling(form->findChild<MSComm*>("MSComm2")));
    QVERIFY(!cell->isChecked());
    QVERIFY(form->selector()->hasFocus() || !form->isActiveWindow());
}

void TestModem::allContactsWindowDialsTheDirectLineWithoutBlanks() {
    auto fake = modem("OK", "OK");
    setPorts({fake.get()});
    Form* form = Forms::show("FormContactsAll");
    auto* select = child<DBCombo>(form, "DBComboSelect");
    select->setFocus();
    QTest::keyClicks(select->lineEdit(), "Zoe");
    QTest::keyClick(select->lineEdit(), Qt::Key_Return);
    auto* direct = child<QRadioButton>(form, "OptionDial2");
    QVERIFY(direct->isVisible());
    QCOMPARE(direct->text(), QString("  555 2222 "));
    m_session->expectMessage(PickUp);
    clickOption(direct);
    // Stored as typed, sent without the blanks around it.
    QCOMPARE(fake->commands(), (QStringList{Probe, dialled("555 2222")}));
    QVERIFY(!child<MSComm>(form, "MSComm1")->PortOpen());
    QVERIFY(!direct->isChecked());
    QVERIFY(select->hasFocus() || !form->isActiveWindow());
    // The cellphone option dials the cellphone.
    auto* cell = child<QRadioButton>(form, "OptionDial1");
    m_session->expectMessage(PickUp);
    clickOption(cell);
    QCOMPARE(fake->commands().mid(2), (QStringList{Probe, dialled("555-1111")}));
}

void TestModem::closingTheWindowDuringTheWaitEndsTheCall() {
    auto fake = modem("OK", ""); // never answers the dial
    setPorts({fake.get()});
    FormContacts* form = openContacts();
    chooseContact(form, "Zoe Adams");
    QPointer<FormContacts> window(form);
    // While the dial waits for the modem, the user closes the window.
    QTimer::singleShot(200, form, [form] { form->close(); });
    clickOption(child<QRadioButton>(form, "OptionDial1"));
    settle();
    QVERIFY(!window);
    // No message about a window that is gone; the port was let go.
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(fake->commands(), (QStringList{Probe, dialled("555-1111")}));
    auto other = std::make_unique<MSComm>(QStringLiteral("other"));
    QVERIFY(other->setPortOpen(true));
}

void TestModem::modemIsFoundOnTheThirdPort() {
    FakeModem first, second; // present, but silent
    auto third = modem("OK", "OK");
    setPorts({&first, &second, third.get()});
    m_session->expectMessage(PickUp);
    QVERIFY(ModemDial::DialNumber(m_comm.get(), "555-1111", -1));
    QCOMPARE(first.commands(), QStringList{Probe});
    QCOMPARE(second.commands(), QStringList{Probe});
    QCOMPARE(third->commands(), (QStringList{Probe, dialled("555-1111")}));
    QCOMPARE(third->lineSettings(), QString("300,N,8,1"));
    QCOMPARE(m_comm->CommPort(), 3);
    QVERIFY(!m_comm->PortOpen());
}

void TestModem::portThatCannotBeUsed_data() {
    QTest::addColumn<QString>("first");  // "absent", "busy", "silent"
    QTest::addColumn<QString>("second"); // "absent", "none", "modem"
    QTest::addColumn<QStringList>("firstCommands");
    QTest::newRow("first port absent") << "absent"
                                       << "modem" << QStringList{};
    QTest::newRow("no such port") << "none"
                                  << "none" << QStringList{};
    QTest::newRow("first port in use") << "busy"
                                       << "modem" << QStringList{};
    QTest::newRow("silent port, then an absent one") << "silent"
                                                     << "absent" << QStringList{Probe};
}

void TestModem::portThatCannotBeUsed() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QStringList, firstCommands);
    FakeModem firstModem;
    auto secondModem = modem("OK", "OK");
    const QString absent = m_session->file("ttyAbsent");
    QStringList devices;
    auto add = [&](const QString& kind, FakeModem* fake) {
        if (kind == u"absent")
            devices << absent;
        else if (kind != u"none")
            devices << fake->device();
    };
    add(first, &firstModem);
    add(second, secondModem.get());
    MSComm::setDevices(devices);
    // Another program holds the first port.
    MSComm holder(QStringLiteral("holder"));
    if (first == u"busy") {
        QVERIFY(holder.setCommPort(1));
        QVERIFY(holder.setPortOpen(true));
    }
    // The search ends at the first port that cannot be opened.
    m_session->expectMessage(NotFound);
    QVERIFY(!ModemDial::DialNumber(m_comm.get(), "555-1111", -1));
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(firstModem.commands(), firstCommands);
    QCOMPARE(secondModem->commands(), QStringList{});
    QVERIFY(!m_comm->PortOpen());
}

void TestModem::namedPortIsDialledWithoutSearch() {
    FakeModem silent;
    auto fake = modem("", "OK");
    setPorts({&silent, fake.get()});
    m_session->expectMessage(PickUp);
    QVERIFY(ModemDial::DialNumber(m_comm.get(), "555-1111", 2));
    QCOMPARE(silent.commands(), QStringList{});
    QCOMPARE(fake->commands(), QStringList{dialled("555-1111")});
}

void TestModem::namedPortThatDoesNotExistSaysSo() {
    MSComm::setDevices({m_session->file("ttyAbsent")});
    m_session->expectMessage("Failed on port 1");
    QVERIFY(!ModemDial::DialNumber(m_comm.get(), "555-1111", 1));
    m_session->expectMessage("Failed on port 4");
    QVERIFY(!ModemDial::DialNumber(m_comm.get(), "555-1111", 4));
}

void TestModem::shortNumbersAreRefused_data() {
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("commands");
    QTest::newRow("three characters")
        << "123"
        << "Phone number apears to be incorrect. \"123\"" << QStringList{};
    QTest::newRow("three characters between blanks")
        << " 123  "
        << "Phone number apears to be incorrect. \" 123  \"" << QStringList{};
    QTest::newRow("four characters") << "1234" << PickUp << QStringList{Probe, dialled("1234")};
    QTest::newRow("other characters sent as stored")
        << "+1 (555) 0100 ext. 7" << PickUp << QStringList{Probe, dialled("+1 (555) 0100 ext. 7")};
}

void TestModem::shortNumbersAreRefused() {
    QFETCH(QString, number);
    QFETCH(QString, message);
    QFETCH(QStringList, commands);
    auto fake = modem("OK", "OK");
    setPorts({fake.get()});
    m_session->expectMessage(message);
    ModemDial::DialNumber(m_comm.get(), number, -1);
    QCOMPARE(MsgBox::last().text, message);
    QCOMPARE(fake->commands(), commands);
    QVERIFY(!m_comm->PortOpen());
}

void TestModem::replyInPiecesIsCollected() {
    auto fake = modem("OK", "OK");
    fake->splitRepliesAt(3); // "\r\nO", then "K\r\n"
    setPorts({fake.get()});
    m_session->expectMessage(PickUp);
    QVERIFY(ModemDial::DialNumber(m_comm.get(), "555-1111", -1));
    auto spaced = modem("OK", "NO DIAL TONE");
    spaced->splitRepliesAt(9); // "\r\nNO DIAL", then " TONE\r\n"
    setPorts({spaced.get()});
    m_session->expectMessage(NoDialtone);
    QVERIFY(!ModemDial::DialNumber(m_comm.get(), "555-1111", -1));
}

void TestModem::interfaceWorksWhileWaitingAndASecondDialIsRefused() {
    auto fake = modem("OK", ""); // the dial is never answered: a wait of ten seconds
    setPorts({fake.get()});
    bool dialling = false;
    bool secondDial = true;
    QTimer::singleShot(200, this, [&] {
        dialling = ModemDial::isDialling(m_comm.get());
        secondDial = ModemDial::DialNumber(m_comm.get(), "555-9999", -1);
    });
    m_session->expectMessage("Failed on port 1");
    QVERIFY(!ModemDial::DialNumber(m_comm.get(), "555-1111", -1));
    QVERIFY(dialling);
    QVERIFY(!secondDial);
    QCOMPARE(fake->commands(), (QStringList{Probe, dialled("555-1111"), HangUp}));
    QCOMPARE(MsgBox::shown().size(), 1);
}

QTEST_MAIN(TestModem)
#include "tst_modem.moc"
