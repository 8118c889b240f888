#include "SmtpTestServer.h"
#include "TestSession.h"

#include "data/UserProfile.h"
#include "formats/MailMessage.h"
#include "formats/MailStore.h"
#include "formats/SmtpSender.h"
#include "mail/MailItemWindow.h"
#include "mail/OutlookItems.h"
#include "platform/Clock.h"
#include "services/MsgBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>
#include <ctime>
#include <libical/ical.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The first component of the given kind in an iCalendar file.
struct Calendar {
    icalcomponent* root = nullptr;
    icalcomponent* item = nullptr;
    Calendar(const QByteArray& text, icalcomponent_kind kind) {
        root = icalparser_parse_string(text.constData());
        if (root)
            item = icalcomponent_get_first_component(root, kind);
    }
    ~Calendar() {
        if (root)
            icalcomponent_free(root);
    }
};

QString decodeQuotedPrintable(const QByteArray& text) {
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '=' && i + 2 < text.size()) {
            if (text.at(i + 1) == '\r' && text.at(i + 2) == '\n') {
                i += 2;
                continue;
            }
            out += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else {
            out += text.at(i);
        }
    }
    return QString::fromUtf8(out);
}

QByteArray header(const QByteArray& message, const QByteArray& name) {
    for (const QByteArray& line : message.split('\n')) {
        if (line.trimmed().isEmpty())
            break;
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    }
    return {};
}

// A header with its continuation lines, unfolded (each CRLF removed).
QByteArray unfoldedHeader(const QByteArray& message, const QByteArray& name) {
    const QList<QByteArray> lines = message.left(message.indexOf("\r\n\r\n")).split('\n');
    QByteArray value;
    bool inside = false;
    for (const QByteArray& line : lines) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if (inside && (bare.startsWith(' ') || bare.startsWith('\t')))
            value += bare;
        else if (inside)
            break;
        else if (bare.startsWith(name + ": "))
            inside = true, value = bare.mid(name.size() + 2);
    }
    return value;
}

// Unstructured header text with its RFC 2047 encoded words decoded; blanks
// between adjacent encoded words do not count.
QString decodedHeader(const QByteArray& unfolded) {
    static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
    const QString text = QString::fromLatin1(unfolded);
    QByteArray utf8;
    qsizetype at = 0;
    bool afterWord = false;
    for (auto match = word.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        const QString between = text.mid(at, m.capturedStart() - at);
        if (!(afterWord && between.trimmed().isEmpty()))
            utf8 += between.toLatin1();
        utf8 += QByteArray::fromBase64(m.captured(1).toLatin1());
        at = m.capturedEnd();
        afterWord = true;
    }
    utf8 += text.mid(at).toLatin1();
    return QString::fromUtf8(utf8);
}

// The names of the header block's fields; fails the test on a line that is
// neither a field nor a continuation, or longer than RFC 5322 allows.
QStringList headerNames(const QByteArray& message) {
    QStringList names;
    static const QRegularExpression field(QStringLiteral("^([A-Za-z-]+): "));
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n")).split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if (bare.size() > 998 || bare.contains('\r'))
            QTest::qFail("an over-long or broken header line", __FILE__, __LINE__);
        if (bare.startsWith(' ') || bare.startsWith('\t'))
            continue;
        const auto m = field.match(QString::fromLatin1(bare));
        if (!m.hasMatch())
            QTest::qFail(qPrintable("not a header line: " + bare), __FILE__, __LINE__);
        names.append(m.captured(1));
    }
    return names;
}

QByteArray body(const QByteArray& message) {
    return message.mid(message.indexOf("\r\n\r\n") + 4);
}

// Sets the process's local time zone for one test and puts the old one back.
struct LocalZone {
    QByteArray previous = qgetenv("TZ");
    bool hadOne = qEnvironmentVariableIsSet("TZ");
    explicit LocalZone(const QByteArray& zone) {
        qputenv("TZ", zone);
        tzset();
    }
    ~LocalZone() {
        if (hadOne)
            qputenv("TZ", previous);
        else
            qunsetenv("TZ");
        tzset();
    }
};

} // namespace

// The mail program's items, its store and sending over SMTP.
class TestMail : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void taskIsAValidTodo();
    void appointmentIsAValidEvent();
    void itemKinds();
    void withoutAServerTheMailWaitsInTheOutbox();
    void sentMailReachesTheServer();
    void refusedSendIsAnErrorAndFilesNothing();
    void composeWindowSends();
    void passwordGoesOnlyOverTls_data();
    void passwordGoesOnlyOverTls();
    void serverCertificateIsVerified_data();
    void serverCertificateIsVerified();
    void composeWindowKeepsTheMailWhenRefused();
    void headersAndBodyCarryAnyText();
    void lineBreakInAnAddressIsRefused_data();
    void lineBreakInAnAddressIsRefused();
    void composeWindowRefusesATwoLineAddress();
    void addressProblems_data();
    void addressProblems();
    void senderRefusesALineBreakInTheEnvelope();
    void headersAreWrittenFromCleanValues_data();
    void headersAreWrittenFromCleanValues();
    void dateHeader_data();
    void dateHeader();
    void mailAndStoreReadTheClock();
    void profileRoundTrip();

private:
    void useServer(const QString& address) {
        UserProfile profile = UserProfile::load();
        profile.smtpServer = address;
        QVERIFY(profile.save());
    }
    std::unique_ptr<TestSession> m_session;
};

void TestMail::init() {
    m_session = std::make_unique<TestSession>();
    Clock::pin(QDateTime(QDate(2026, 12, 10), QTime(9, 20)));
    UserProfile profile;
    profile.name = "Ann Smith";
    profile.company = "Morvane Sales";
    profile.email = "ann@example.com";
    QString error;
    QVERIFY2(profile.save(&error), qPrintable(error));
}

void TestMail::taskIsAValidTodo() {
    TaskItem task;
    task.Subject = "Visit O'Brien Farms";
    task.DueDate = QDate(2027, 1, 8);
    task.Body = "Two days before the next visit is due.";
    QString error;
    QVERIFY2(task.Save(&error), qPrintable(error));
    const QStringList files = QDir(MailStore::folder("Tasks")).entryList({"*.ics"});
    QCOMPARE(files.size(), 1);
    Calendar calendar(readFile(MailStore::folder("Tasks") + "/" + files.first()),
                      ICAL_VTODO_COMPONENT);
    QVERIFY(calendar.item);
    QCOMPARE(QString::fromUtf8(icalcomponent_get_summary(calendar.item)),
             QString("Visit O'Brien Farms"));
    const icaltimetype due = icalcomponent_get_due(calendar.item);
    QVERIFY(due.is_date);
    QCOMPARE(QDate(due.year, due.month, due.day), QDate(2027, 1, 8));
    QCOMPARE(files.first(), QString::fromUtf8(icalcomponent_get_uid(calendar.item)) + ".ics");
}

void TestMail::appointmentIsAValidEvent() {
    AppointmentItem appointment;
    appointment.Subject = "Meeting with Acme Ltd";
    appointment.Duration = 60;
    QVERIFY(appointment.Save());
    const QStringList files = QDir(MailStore::folder("Calendar")).entryList({"*.ics"});
    QCOMPARE(files.size(), 1);
    Calendar calendar(readFile(MailStore::folder("Calendar") + "/" + files.first()),
                      ICAL_VEVENT_COMPONENT);
    QVERIFY(calendar.item);
    QCOMPARE(QString::fromUtf8(icalcomponent_get_summary(calendar.item)),
             QString("Meeting with Acme Ltd"));
    QCOMPARE(icaldurationtype_as_int(icalcomponent_get_duration(calendar.item)), 3600);
    const icaltimetype start = icalcomponent_get_dtstart(calendar.item);
    QCOMPARE(QDateTime(QDate(start.year, start.month, start.day), QTime(start.hour, start.minute)),
             QDateTime(QDate(2026, 12, 10), QTime(10, 0))); // the next full hour
}

void TestMail::itemKinds() {
    QVERIFY(dynamic_cast<MailItem*>(MailApp::CreateItem(0).get()));
    QVERIFY(dynamic_cast<AppointmentItem*>(MailApp::CreateItem(1).get()));
    QVERIFY(dynamic_cast<TaskItem*>(MailApp::CreateItem(3).get()));
    QVERIFY(!MailApp::CreateItem(2));
}

void TestMail::withoutAServerTheMailWaitsInTheOutbox() {
    MailItem mail;
    mail.To = "john@acme.test";
    mail.Subject = "Prices";
    mail.Body = "Dear John,\r\nplease find the prices.";
    m_session->expectMessage("No mail server is set in your profile, so the e-mail \"Prices\" "
                             "waits in the Outbox.");
    QString error;
    QVERIFY2(mail.Send(&error), qPrintable(error));
    QVERIFY(MsgBox::last().text.contains("Outbox"));
    const QStringList waiting = MailStore::messages("Outbox");
    QCOMPARE(waiting.size(), 1);
    QVERIFY(waiting.first().contains("/new/")); // not yet seen: still to be sent
    const QByteArray message = readFile(waiting.first());
    QCOMPARE(header(message, "To"), QByteArray("john@acme.test"));
    QCOMPARE(header(message, "From"), QByteArray("Ann Smith <ann@example.com>"));
    QCOMPARE(header(message, "Subject"), QByteArray("Prices"));
    QCOMPARE(decodeQuotedPrintable(body(message)),
             QString("Dear John,\r\nplease find the prices.\r\n"));
    QVERIFY(MailStore::messages("Sent Items").isEmpty());
}

void TestMail::sentMailReachesTheServer() {
    SmtpTestServer server;
    useServer(server.address());
    MailItem mail;
    mail.To = "John Doe <john@acme.test>";
    mail.CC = "anna@acme.test";
    mail.BCC = "boss@example.com";
    mail.Subject = "Visit";
    mail.Body = "See you on Tuesday.";
    QString error;
    QVERIFY2(mail.Send(&error), qPrintable(error));
    const auto mails = server.mails();
    QCOMPARE(mails.size(), 1);
    QCOMPARE(mails.first().from, QString("ann@example.com"));
    QCOMPARE(mails.first().recipients,
             (QStringList{"john@acme.test", "anna@acme.test", "boss@example.com"}));
    QCOMPARE(header(mails.first().data, "Subject"), QByteArray("Visit"));
    QVERIFY(header(mails.first().data, "Bcc").isEmpty()); // blind copies stay blind
    const QStringList sent = MailStore::messages("Sent Items");
    QCOMPARE(sent.size(), 1);
    QCOMPARE(header(readFile(sent.first()), "Bcc"), QByteArray("boss@example.com"));
    QVERIFY(MailStore::messages("Outbox").isEmpty());
}

void TestMail::refusedSendIsAnErrorAndFilesNothing() {
    SmtpTestServer server;
    server.refuseNext(1);
    useServer(server.address());
    MailItem mail;
    mail.To = "john@acme.test";
    mail.Subject = "Refused";
    QString error;
    QVERIFY(!mail.Send(&error));
    QVERIFY2(error.contains("did not accept"), qPrintable(error));
    QVERIFY(MailStore::messages("Sent Items").isEmpty());
    QVERIFY(MailStore::messages("Outbox").isEmpty());
    MailItem nobody;
    QVERIFY(!nobody.Send(&error));
    QCOMPARE(error, QString("The e-mail has no recipient."));
}

void TestMail::composeWindowSends() {
    SmtpTestServer server;
    useServer(server.address());
    MailItem mail;
    mail.To = "john@acme.test";
    mail.Subject = "From the editor";
    mail.Body = "Text";
    QVERIFY(mail.Display());
    QPointer<QWidget> window = mail.window;
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->findChild<QLineEdit*>("TextSubject")->text(), QString("From the editor"));
    auto* to = window->findChild<QLineEdit*>("TextTo");
    to->setText("");
    QTest::keyClicks(to, "jane@acme.test");
    QTest::mouseClick(window->findChild<QPushButton*>("CommandSend"), Qt::LeftButton);
    QTRY_VERIFY(window.isNull()); // closed, and gone
    QCOMPARE(server.mails().size(), 1);
    QCOMPARE(server.mails().first().recipients, QStringList{"jane@acme.test"});
}

void TestMail::passwordGoesOnlyOverTls_data() {
    QTest::addColumn<int>("security");
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("sent");
    using S = SmtpTestServer::Security;
    QTest::newRow("no TLS, password") << int(S::Plain) << ""
                                      << "ann" << false;
    QTest::newRow("STARTTLS, password") << int(S::StartTls) << ""
                                        << "ann" << true;
    QTest::newRow("smtps, password") << int(S::ImplicitTls) << "smtps://"
                                     << "ann" << true;
    QTest::newRow("no TLS, no password") << int(S::Plain) << ""
                                         << "" << true;
    QTest::newRow("STARTTLS, no password") << int(S::StartTls) << ""
                                           << "" << true;
}

void TestMail::passwordGoesOnlyOverTls() {
    QFETCH(int, security);
    QFETCH(QString, scheme);
    QFETCH(QString, user);
    QFETCH(bool, sent);
    SmtpTestServer server{SmtpTestServer::Security(security)};
    SmtpSender::setCaFile(server.certificateFile());
    UserProfile profile = UserProfile::load();
    profile.smtpServer = scheme + server.address();
    profile.smtpUser = user;
    profile.smtpPassword = user.isEmpty() ? QString() : "s3cret";
    QVERIFY(profile.save());
    MailItem mail;
    mail.To = "john@acme.test";
    mail.Subject = "Prices";
    QString error;
    QCOMPARE(mail.Send(&error), sent);
    QVERIFY(MsgBox::shown().isEmpty());
    QVERIFY(!server.signInSeenInClear());
    for (const QByteArray& command : server.commands())
        QVERIFY2(!command.contains("AUTH") || command.startsWith("[TLS] "), command.constData());
    if (!sent) {
        QCOMPARE(error, QString("The mail server %1 offers no encrypted connection (STARTTLS), so "
                                "the e-mail was not sent: your password is never sent "
                                "unencrypted. Under \"Your Profile\" in the main menu, set a "
                                "server that offers STARTTLS, or its encrypted port "
                                "(smtps://server:465).")
                            .arg(profile.smtpServer));
        QVERIFY(server.mails().isEmpty());
        QVERIFY(server.signIns().isEmpty());
        QVERIFY(MailStore::messages("Sent Items").isEmpty());
        QVERIFY(MailStore::messages("Outbox").isEmpty());
        return;
    }
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(server.mails().size(), 1);
    const bool tls = SmtpTestServer::Security(security) != SmtpTestServer::Security::Plain;
    QCOMPARE(server.mails().first().encrypted, tls);
    if (user.isEmpty()) {
        QVERIFY(server.signIns().isEmpty());
    } else {
        QCOMPARE(server.signIns().size(), 1);
        QCOMPARE(server.signIns().first().user, QByteArray("ann"));
        QCOMPARE(server.signIns().first().password, QByteArray("s3cret"));
        QVERIFY(server.signIns().first().encrypted);
    }
    QCOMPARE(MailStore::messages("Sent Items").size(), 1);
}

void TestMail::serverCertificateIsVerified_data() {
    QTest::addColumn<int>("security");
    QTest::addColumn<QString>("scheme");
    QTest::newRow("STARTTLS") << int(SmtpTestServer::Security::StartTls) << "";
    QTest::newRow("smtps") << int(SmtpTestServer::Security::ImplicitTls) << "smtps://";
}

void TestMail::serverCertificateIsVerified() {
    QFETCH(int, security);
    QFETCH(QString, scheme);
    // The test server's certificate is signed by nobody the system trusts.
    SmtpTestServer server{SmtpTestServer::Security(security)};
    UserProfile profile = UserProfile::load();
    profile.smtpServer = scheme + server.address();
    profile.smtpUser = "ann";
    profile.smtpPassword = "s3cret";
    QVERIFY(profile.save());
    MailItem mail;
    mail.To = "john@acme.test";
    QString error;
    QVERIFY(!mail.Send(&error));
    QVERIFY2(error.startsWith(QString("The mail server %1 could not prove who it is, so the e-mail "
                                      "was not sent: ")
                                  .arg(profile.smtpServer)),
             qPrintable(error));
    QVERIFY(server.signIns().isEmpty());
    QVERIFY(server.mails().isEmpty());
    QVERIFY(MailStore::messages("Sent Items").isEmpty());
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestMail::composeWindowKeepsTheMailWhenRefused() {
    SmtpTestServer server;
    server.refuseNext(1);
    useServer(server.address());
    MailItem mail;
    mail.To = "john@acme.test";
    mail.Body = "Keep me";
    mail.Display();
    QPointer<QWidget> window = mail.window;
    m_session->expectMessage("The mail server " + server.address() + " did not accept the e-mail");
    QTest::mouseClick(window->findChild<QPushButton*>("CommandSend"), Qt::LeftButton);
    QVERIFY(window && window->isVisible());
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QCOMPARE(window->findChild<QPlainTextEdit*>("TextBody")->toPlainText(), QString("Keep me"));
    QTest::mouseClick(window->findChild<QPushButton*>("CommandSend"), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(server.mails().size(), 1);
}

void TestMail::headersAndBodyCarryAnyText() {
    MailMessage message;
    message.from = "Jürgen Größ <j@example.com>";
    message.to = MailMessage::splitAddresses("\"Doe, John\" <john@acme.test>; anna@acme.test");
    QCOMPARE(message.to.size(), 2);
    message.subject = "Angebot für Ärzte – 10 € Rabatt";
    message.body =
        "Zeile eins\nZeile zwei mit =Gleich und Leerzeichen am Ende \n" + QString(100, u'x');
    const QByteArray text = message.toRfc5322(false);
    QVERIFY(header(text, "Subject").startsWith("=?UTF-8?B?"));
    const QByteArray subject = header(text, "Subject").mid(10).chopped(2);
    QCOMPARE(QString::fromUtf8(QByteArray::fromBase64(subject)), message.subject);
    for (const QByteArray& line : body(text).split('\n'))
        QVERIFY(line.size() <= 77);
    QCOMPARE(decodeQuotedPrintable(body(text)),
             QString("Zeile eins\r\nZeile zwei mit =Gleich und Leerzeichen am Ende \r\n") +
                 QString(100, u'x') + "\r\n");
    QCOMPARE(message.envelopeRecipients(), (QStringList{"john@acme.test", "anna@acme.test"}));
}

void TestMail::lineBreakInAnAddressIsRefused_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown"); // the address as the message names it
    QTest::newRow("two lines pasted in To") << "To"
                                            << "john@acme.test\r\njane@acme.test"
                                            << "john@acme.test jane@acme.test";
    QTest::newRow("SMTP command in Cc") << "Cc"
                                        << "anna@acme.test>\r\nRCPT TO:<evil@attacker.test"
                                        << "anna@acme.test> RCPT TO:<evil@attacker.test";
    QTest::newRow("header in Bcc") << "Bcc"
                                   << "boss@example.com\nX-Injected: yes"
                                   << "boss@example.com X-Injected: yes";
    QTest::newRow("line break in a name") << "To"
                                          << "John\rBcc: evil@attacker.test <john@acme.test>"
                                          << "John Bcc: evil@attacker.test <john@acme.test>";
}

void TestMail::lineBreakInAnAddressIsRefused() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    SmtpTestServer server;
    useServer(server.address());
    MailItem mail;
    mail.To = "ok@acme.test";
    (field == "To" ? mail.To : field == "Cc" ? mail.CC : mail.BCC) = text;
    mail.Subject = "Offer";
    QString error;
    QVERIFY(!mail.Send(&error));
    QCOMPARE(error, QString("The address \"%1\" in %2 contains a line break. Write the addresses "
                            "on one line, separated by \";\".")
                        .arg(shown, field));
    QVERIFY(!mail.Save(&error));
    QVERIFY2(error.contains('"' + shown + '"'), qPrintable(error));
    QCOMPARE(server.sessions(), 0); // not even a connection
    for (const QString& folder : MailStore::mailFolders())
        QVERIFY2(MailStore::messages(folder).isEmpty(), qPrintable(folder));
    QVERIFY(MsgBox::shown().isEmpty());
}

void TestMail::composeWindowRefusesATwoLineAddress() {
    SmtpTestServer server;
    useServer(server.address());
    MailItem mail;
    mail.Subject = "Pasted";
    QVERIFY(mail.Display());
    QPointer<QWidget> window = mail.window;
    auto* cc = window->findChild<QLineEdit*>("TextCC");
    QTest::keyClicks(window->findChild<QLineEdit*>("TextTo"), "john@acme.test");
    cc->setFocus();
    cc->insert("anna@acme.test\r\nRCPT TO:<evil@attacker.test>"); // as pasted
    m_session->expectMessage("The address \"anna@acme.test RCPT TO:<evil@attacker.test>\" in Cc");
    QTest::mouseClick(window->findChild<QPushButton*>("CommandSend"), Qt::LeftButton);
    QCOMPARE(MsgBox::shown().size(), 1);
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Critical);
    QVERIFY2(MsgBox::last().text.startsWith(
                 "The address \"anna@acme.test RCPT TO:<evil@attacker.test>\" in Cc"),
             qPrintable(MsgBox::last().text));
    QVERIFY(window && window->isVisible()); // everything typed stays
    QCOMPARE(server.sessions(), 0);
    QVERIFY(MailStore::messages("Sent Items").isEmpty());
    window->close();
}

void TestMail::addressProblems_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("problem");
    const QString lineBreak = "contains a line break. Write the addresses on one line, separated "
                              "by \";\".";
    QTest::newRow("bare") << "john@acme.test"
                          << "";
    QTest::newRow("with a name") << "John Doe <john@acme.test>"
                                 << "";
    QTest::newRow("quoted name") << "\"Doe, John\" <john@acme.test>"
                                 << "";
    QTest::newRow("non-ASCII name") << "Jürgen Größ <j@example.com>"
                                    << "";
    QTest::newRow("CR LF at the end") << "john@acme.test\r\n" << lineBreak;
    QTest::newRow("Unicode line separator")
        << QString("john@acme.test") + QChar::LineSeparator << lineBreak;
    QTest::newRow("tab") << "john@acme.test\tjane@acme.test"
                         << "contains a control character.";
    QTest::newRow("no domain") << "Doe"
                               << "is not an e-mail address.";
    QTest::newRow("blank inside") << "john doe@acme.test"
                                  << "is not an e-mail address.";
    QTest::newRow("bracket inside") << "John <john@acme.test> <x"
                                    << "is not an e-mail address.";
}

void TestMail::addressProblems() {
    QFETCH(QString, address);
    QFETCH(QString, problem);
    QCOMPARE(MailMessage::addressProblem(address), problem);
}

void TestMail::senderRefusesALineBreakInTheEnvelope() {
    SmtpTestServer server;
    UserProfile profile = UserProfile::load();
    profile.smtpServer = server.address();
    QString error;
    QVERIFY(!SmtpSender::send(profile, "ann@example.com",
                              {"john@acme.test>\r\nRCPT TO:<evil@attacker.test"}, "Subject: x\r\n",
                              &error));
    QVERIFY2(error.contains("line break"), qPrintable(error));
    QCOMPARE(server.sessions(), 0);
}

void TestMail::headersAreWrittenFromCleanValues_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QByteArray>("toHeader");
    QTest::newRow("comma in a name") << "\"Doe, John\" <john@acme.test>"
                                     << "Visit" << QByteArray("\"Doe, John\" <john@acme.test>");
    QTest::newRow("quotes in a name")
        << "\"Jo \\\"JJ\\\" Doe\" <jo@acme.test>"
        << "Visit" << QByteArray("\"Jo \\\"JJ\\\" Doe\" <jo@acme.test>");
    QTest::newRow("plain name") << "John Doe <john@acme.test>"
                                << "Visit" << QByteArray("John Doe <john@acme.test>");
    QTest::newRow("non-ASCII name")
        << "Jürgen Größ <j@example.com>"
        << "Visit"
        << QByteArray("=?UTF-8?B?") + QString("Jürgen Größ").toUtf8().toBase64() +
               "?= <j@example.com>";
    QTest::newRow("line break in the subject")
        << "john@acme.test"
        << "Hello\r\nBcc: evil@attacker.test" << QByteArray("john@acme.test");
    QTest::newRow("line feed alone in the subject")
        << "john@acme.test"
        << "Hello\nX-Injected: yes" << QByteArray("john@acme.test");
    QTest::newRow("long subject") << "john@acme.test"
                                  << QString("Prices for the coming season ").repeated(12).trimmed()
                                  << QByteArray("john@acme.test");
    QTest::newRow("long subject, not ASCII")
        << "john@acme.test" << QString("Preise für die kommende Saison ").repeated(6).trimmed()
        << QByteArray("john@acme.test");
    QTest::newRow("subject like an encoded word")
        << "john@acme.test"
        << "=?UTF-8?B?QQ==?=" << QByteArray("john@acme.test");
    QTest::newRow("control character in the subject")
        << "john@acme.test" << QString("Bell\x07 and delete\x7f") << QByteArray("john@acme.test");
}

void TestMail::headersAreWrittenFromCleanValues() {
    QFETCH(QString, address);
    QFETCH(QString, subject);
    QFETCH(QByteArray, toHeader);
    MailMessage message;
    message.from = "Ann Smith <ann@example.com>";
    message.to = MailMessage::splitAddresses(address);
    QCOMPARE(message.to.size(), 1);
    message.subject = subject;
    QVERIFY(message.checkAddresses(nullptr));
    const QByteArray text = message.toRfc5322(false);
    // Exactly the program's own fields, each line within bounds.
    QCOMPARE(headerNames(text),
             (QStringList{"Date", "From", "To", "Subject", "Message-ID", "MIME-Version",
                          "Content-Type", "Content-Transfer-Encoding", "X-Mailer"}));
    QCOMPARE(unfoldedHeader(text, "To"), toHeader);
    QCOMPARE(decodedHeader(unfoldedHeader(text, "Subject")), subject);
    for (const QByteArray& line : text.left(text.indexOf("\r\n\r\n")).split('\n'))
        QVERIFY2(line.size() <= 80, line.constData()); // 78 and the CRLF, where words allow
}

void TestMail::dateHeader_data() {
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");
    const QDate day(2026, 12, 10);
    QTest::newRow("UTC") << QDateTime(day, QTime(14, 30), QTimeZone::utc())
                         << "Thu, 10 Dec 2026 14:30:00 +0000";
    QTest::newRow("east, half hours") << QDateTime(day, QTime(20, 0), QTimeZone(5 * 3600 + 1800))
                                      << "Thu, 10 Dec 2026 20:00:00 +0530";
    QTest::newRow("west, half hours") << QDateTime(day, QTime(11, 0), QTimeZone(-(3 * 3600 + 1800)))
                                      << "Thu, 10 Dec 2026 11:00:00 -0330";
    QTest::newRow("one-digit day and seconds")
        << QDateTime(QDate(2027, 1, 8), QTime(9, 5, 7), QTimeZone(-5 * 3600))
        << "Fri, 08 Jan 2027 09:05:07 -0500";
}

void TestMail::dateHeader() {
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);
    MailMessage message;
    message.to = {"john@acme.test"};
    message.date = moment;
    QCOMPARE(QString::fromLatin1(header(message.toRfc5322(false), "Date")), expected);
}

void TestMail::mailAndStoreReadTheClock() {
    LocalZone zone("EST5EDT,M3.2.0,M11.1.0"); // New York, without needing tzdata
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 20, 30));
    Clock::pin(now);
    const QByteArray expected = "Thu, 10 Dec 2026 09:20:30 -0500";
    const QString stamp = QString::number(now.toSecsSinceEpoch()) + ".";

    MailItem waiting;
    waiting.To = "john@acme.test";
    waiting.Subject = "Waits";
    m_session->expectMessage("No mail server is set in your profile, so the e-mail \"Waits\" "
                             "waits in the Outbox.");
    QString error;
    QVERIFY2(waiting.Send(&error), qPrintable(error));
    const QStringList outbox = MailStore::messages("Outbox");
    QCOMPARE(outbox.size(), 1);
    QCOMPARE(header(readFile(outbox.first()), "Date"), expected);
    QVERIFY2(QFileInfo(outbox.first()).fileName().startsWith(stamp), qPrintable(outbox.first()));

    SmtpTestServer server;
    useServer(server.address());
    MailItem sent;
    sent.To = "john@acme.test";
    sent.Subject = "Goes";
    QVERIFY2(sent.Send(&error), qPrintable(error));
    QCOMPARE(MsgBox::shown().size(), 1); // the mail waits in the Outbox
    QCOMPARE(server.mails().size(), 1);
    QCOMPARE(header(server.mails().first().data, "Date"), expected);
    const QStringList copies = MailStore::messages("Sent Items");
    QCOMPARE(copies.size(), 1);
    QCOMPARE(header(readFile(copies.first()), "Date"), expected);
    QVERIFY2(QFileInfo(copies.first()).fileName().startsWith(stamp), qPrintable(copies.first()));

    TaskItem task;
    task.Subject = "Call back";
    QVERIFY(task.Save());
    const QStringList tasks = QDir(MailStore::folder("Tasks")).entryList({"*.ics"});
    QCOMPARE(tasks.size(), 1);
    Calendar calendar(readFile(MailStore::folder("Tasks") + "/" + tasks.first()),
                      ICAL_VTODO_COMPONENT);
    QVERIFY(calendar.item);
    const icaltimetype stamped = icalproperty_get_dtstamp(
        icalcomponent_get_first_property(calendar.item, ICAL_DTSTAMP_PROPERTY));
    QCOMPARE(QDateTime(QDate(stamped.year, stamped.month, stamped.day),
                       QTime(stamped.hour, stamped.minute, stamped.second), QTimeZone::utc()),
             now.toUTC());
}

void TestMail::profileRoundTrip() {
    UserProfile profile = UserProfile::load();
    QCOMPARE(profile.name, QString("Ann Smith"));
    QCOMPARE(profile.company, QString("Morvane Sales"));
    profile.smtpServer = "smtps://mail.example.com:465";
    profile.smtpUser = "ann";
    profile.smtpPassword = "s3cret";
    QVERIFY(profile.save());
    QCOMPARE(m_session->rows("User.mdb", "SELECT TEXT11, TEXT14, TEXT15 FROM TABLE02"),
             (QList<QVariantList>{{"Ann Smith", "smtps://mail.example.com:465", "ann"}}));
    QCOMPARE(UserProfile::load().smtpPassword, QString("s3cret"));
}

QTEST_MAIN(TestMail)
#include "tst_mail.moc"
