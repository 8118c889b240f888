#include "SmtpTestServer.h"
#include "TestSession.h"

#include "app/Forms.h"
#include "data/UserProfile.h"
#include "formats/MailStore.h"
#include "menu/FormProfile.h"
#include "menu/FormSupport.h"
#include "menu/Links.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The support request, end to end against a mail server on loopback, and the
// profile it takes the sender from.
class TestSupport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void supportWindowLayout();
    void requestReachesTheMaker();
    void refusedRequestIsTriedAgain();
    void requestThatWaitsInTheOutboxSaysSo_data();
    void requestThatWaitsInTheOutboxSaysSo();
    void profileWindowStoresOnOkOnly();
    void profileWindowStoresTheLetterheadsDetails();
    void mainMenuOpensTheProfileAndMailUsesItsServer();

private:
    FormSupport* openSupport(const QString& message);
    // The tries of a refused request, one tick of the window's timer each.
    static void retry(FormSupport* form) {
        for (int tick = 0; form->findChild<QTimer*>("Timer1")->isActive() && tick < 100; ++tick)
            fireTimer(form, "Timer1");
    }
    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<SmtpTestServer> m_server;
};

void TestSupport::init() {
    m_session = std::make_unique<TestSession>();
    m_server = std::make_unique<SmtpTestServer>();
    UserProfile profile;
    profile.name = "Ann Smith";
    profile.company = "Acme Ltd";
    profile.email = "ann@acme.test";
    profile.smtpServer = m_server->address();
    QVERIFY(profile.save());
    m_session->registerForms();
}

void TestSupport::cleanup() {
    m_session.reset();
    m_server.reset();
}

FormSupport* TestSupport::openSupport(const QString& message) {
    auto* form = qobject_cast<FormSupport*>(Forms::show("FormSupport"));
    QTest::keyClicks(form->findChild<QPlainTextEdit*>("TextMessage"), message);
    return form;
}

void TestSupport::supportWindowLayout() {
    FormSupport* form = openSupport("");
    QCOMPARE(form->windowTitle(), QString("Request for Technical Support"));
    QCOMPARE(Twips::geometry(form).width(), 8000);
    QCOMPARE(form->findChild<QLabel*>("LabelMessage")->text(),
             QString("Type your message and click on Go..."));
    QCOMPARE(form->findChild<QPushButton*>("CommandGo")->text(), QString("&Go"));
    QVERIFY(!form->findChild<QTimer*>("Timer1")->isActive());
}

void TestSupport::requestReachesTheMaker() {
    FormSupport* form = openSupport("The report button does nothing.");
    QTest::mouseClick(form->findChild<QPushButton*>("CommandGo"), Qt::LeftButton);
    const auto mails = m_server->mails();
    QCOMPARE(mails.size(), 1);
    QCOMPARE(mails.first().recipients, QStringList{QString(Links::SupportAddress)});
    QVERIFY(mails.first().data.contains(
        "Subject: Request for technical support from Ann Smith at Acme Ltd\r\n"));
    QVERIFY(mails.first().data.contains(
        "\r\n\r\n Version 7. Revision 2.0\r\n\r\nThe report button does nothing."));
    auto* label = form->findChild<QLabel*>("LabelMessage");
    QCOMPARE(label->text(), QString("Your message has been sent..."));
    QCOMPARE(Colors::foreground(label), qint64(65280));
    QVERIFY(!form->findChild<QPushButton*>("CommandGo")->isVisible());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestSupport::refusedRequestIsTriedAgain() {
    m_server->refuseNext(2);
    FormSupport* form = openSupport("Please call me.");
    m_session->expectMessage("You must allow this e-mail to be sent.");
    QTest::mouseClick(form->findChild<QPushButton*>("CommandGo"), Qt::LeftButton);
    QCOMPARE(MsgBox::last().text, QString("You must allow this e-mail to be sent."));
    QCOMPARE(MsgBox::last().title, QString("Technical Support"));
    QVERIFY(form->findChild<QTimer*>("Timer1")->isActive());
    m_session->expectMessage("You must allow this e-mail to be sent.");
    retry(form);
    QCOMPARE(m_server->mails().size(), 1);
    QCOMPARE(m_server->refusals(), 2);
    QCOMPARE(MsgBox::shown().size(), 2); // the first refusal and the one retry that failed
    QVERIFY(m_server->mails().first().data.contains(
        "\r\n\r\n Version 7.2 Service Pack 0\r\n\r\nPlease call me."));
    QVERIFY(!form->findChild<QTimer*>("Timer1")->isActive());
    QCOMPARE(form->findChild<QLabel*>("LabelMessage")->text(),
             QString("Your message has been sent..."));
    // No mail windows are left behind by the tries.
    int mailWindows = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        mailWindows += w->objectName() == "MailItemWindow" && w->isVisible();
    QCOMPARE(mailWindows, 0);
}

void TestSupport::requestThatWaitsInTheOutboxSaysSo_data() {
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("toldBefore"); // the message that says what happened: its text
    QTest::addColumn<QString>("toldAfter");  // before and after the reason of a failure
    QTest::newRow("no mail server in the profile")
        << false
        << "No mail server is set in your profile, so the e-mail \"Request for technical support "
           "from Ann Smith at Acme Ltd\" waits in the Outbox. Set the server under \"Your "
           "Profile\" in the main menu."
        << "";
    QTest::newRow("sending failed every time")
        << true << "Your request could not be sent ("
        << "). It waits in the Outbox and goes with the next Send & Receive.";
}

void TestSupport::requestThatWaitsInTheOutboxSaysSo() {
    QFETCH(bool, server);
    QFETCH(QString, toldBefore);
    QFETCH(QString, toldAfter);
    if (!server) {
        UserProfile profile = UserProfile::load();
        profile.smtpServer.clear();
        QVERIFY(profile.save());
    }
    m_server->refuseNext(1000);
    FormSupport* form = openSupport("Nothing prints.");
    if (server) // every refused try but the last
        for (int i = 1; i < FormSupport::MaxTries; ++i)
            m_session->expectMessage("You must allow this e-mail to be sent.");
    m_session->expectMessage(toldBefore);
    QTest::mouseClick(form->findChild<QPushButton*>("CommandGo"), Qt::LeftButton);
    auto* label = form->findChild<QLabel*>("LabelMessage");
    retry(form);
    QVERIFY(!form->findChild<QPushButton*>("CommandGo")->isVisible());
    QVERIFY(!form->findChild<QTimer*>("Timer1")->isActive());
    QCOMPARE(label->text(),
             QString("Your message has not been sent yet: it waits in the Outbox..."));
    QVERIFY(Colors::foreground(label) != Colors::Green);
    const QString told = MsgBox::last().text;
    QVERIFY2(told.startsWith(toldBefore) && told.endsWith(toldAfter), qPrintable(told));
    QVERIFY(told.size() > toldBefore.size() + toldAfter.size() || !server); // the reason
    QCOMPARE(m_server->mails().size(), 0);
    const QStringList outbox = MailStore::messages("Outbox");
    QCOMPARE(outbox.size(), 1);
    QFile queued(outbox.first());
    QVERIFY(queued.open(QIODevice::ReadOnly));
    const QByteArray mail = queued.readAll();
    QVERIFY(mail.contains("Subject: Request for technical support from Ann Smith at Acme Ltd"));
    QVERIFY(mail.contains("Nothing prints."));
    if (server) { // each try was refused; after the last the request went to the Outbox
        QCOMPARE(m_server->refusals(), FormSupport::MaxTries);
        QCOMPARE(MsgBox::shown().size(), FormSupport::MaxTries);
    }
}

void TestSupport::profileWindowStoresOnOkOnly() {
    auto* form = Forms::show("FormProfile");
    auto* name = form->findChild<QLineEdit*>("TextName");
    QCOMPARE(name->text(), QString("Ann Smith"));
    name->selectAll();
    QTest::keyClicks(name, "Ann Jones");
    QTest::mouseClick(form->findChild<QPushButton*>("CommandCancel"), Qt::LeftButton);
    QCOMPARE(UserProfile::load().name, QString("Ann Smith"));
    form = Forms::show("FormProfile");
    name = form->findChild<QLineEdit*>("TextName");
    name->selectAll();
    QTest::keyClicks(name, "Ann Jones");
    QTest::mouseClick(form->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QCOMPARE(UserProfile::load().name, QString("Ann Jones"));
    QVERIFY(!Forms::isLoaded("FormProfile"));
}

void TestSupport::profileWindowStoresTheLetterheadsDetails() {
    const QList<std::pair<const char*, QString>> typed{
        {"TextStreetAddress", "Main Street 1"},
        {"TextPostalCode", "12345"},
        {"TextCity", QString("Springfield")},
        {"TextTelephone", "0123 456"},
        {"TextTelefax", "0123 457"},
        {"TextRegisteredOffice", "Registered in Springfield"},
        {"TextBankDetails", "IBAN DE00 1234"}};
    auto* form = Forms::show("FormProfile");
    for (const auto& [box, text] : typed) {
        auto* edit = form->findChild<QLineEdit*>(box);
        QVERIFY2(edit && edit->isVisible(), box);
        edit->setFocus();
        QTest::keyClicks(edit, text);
    }
    QTest::mouseClick(form->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QCOMPARE(m_session
                 ->rows("User.mdb", "SELECT TEXT17, TEXT18, TEXT19, TEXT20, TEXT21, TEXT22, "
                                    "TEXT23 FROM TABLE02")
                 .value(0),
             (QVariantList{"Main Street 1", "12345", QString("Springfield"), "0123 456", "0123 457",
                           "Registered in Springfield", "IBAN DE00 1234"}));
    const UserProfile profile = UserProfile::load();
    QCOMPARE(profile.city, QString("Springfield"));
    QCOMPARE(profile.bankDetails, QString("IBAN DE00 1234"));
}

void TestSupport::mainMenuOpensTheProfileAndMailUsesItsServer() {
    UserProfile profile = UserProfile::load();
    profile.smtpServer.clear();
    QVERIFY(profile.save());
    auto* menu = Forms::show("FormMenu");
    auto* command = menu->findChild<QPushButton*>("CommandProfile");
    QVERIFY(command && command->isEnabled());
    QTest::mouseClick(command, Qt::LeftButton);
    Form* form = Forms::loaded("FormProfile");
    QVERIFY(form && form->isVisible());
    QCOMPARE(form->windowTitle(), QString("Your Profile"));
    auto* server = form->findChild<QLineEdit*>("TextSmtpServer");
    QCOMPARE(server->text(), QString());
    server->setFocus();
    QTest::keyClicks(server, m_server->address());
    QTest::mouseClick(form->findChild<QPushButton*>("CommandOK"), Qt::LeftButton);
    QVERIFY(!Forms::isLoaded("FormProfile"));
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT14 FROM TABLE02").toString(),
             m_server->address());

    // The support request now goes out through that server.
    QTest::mouseClick(menu->findChild<QPushButton*>("CommandSupport"), Qt::LeftButton);
    auto* support = qobject_cast<FormSupport*>(Forms::loaded("FormSupport"));
    QVERIFY(support && support->isVisible());
    QTest::keyClicks(support->findChild<QPlainTextEdit*>("TextMessage"), "Hello.");
    QTest::mouseClick(support->findChild<QPushButton*>("CommandGo"), Qt::LeftButton);
    QCOMPARE(m_server->mails().size(), 1);
    QCOMPARE(support->findChild<QLabel*>("LabelMessage")->text(),
             QString("Your message has been sent..."));
    QVERIFY(MailStore::messages("Outbox").isEmpty());
    QVERIFY(MsgBox::shown().isEmpty());
}

QTEST_MAIN(TestSupport)
#include "tst_support.moc"
