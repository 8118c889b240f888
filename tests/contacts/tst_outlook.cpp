#include "SmtpTestServer.h"
#include "TestSession.h"

#include "app/Forms.h"
#include "contacts/FormOutlook.h"
#include "data/UserProfile.h"
#include "formats/MailMessage.h"
#include "formats/MailStore.h"
#include "mail/OutlookItems.h"
#include "services/MsgBox.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

// The mail window over a store of real .eml and .ics files: the calendar by
// day, week and month, the mail folders, Delete Item, Move Item, Search,
// Send & Receive, and the remembered window state.
class TestOutlook : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuOpensTheCalendarWeek();
    void calendarByDayWeekAndMonth();
    void inboxListsTheNewestFirst();
    void deleteItem();
    void moveItem();
    void search();
    void sendAndReceiveSendsTheOutbox();
    void sendAndReceiveWithoutAServerSaysSo();
    void maximizedStateIsRemembered();

private:
    FormOutlook* window() const { return qobject_cast<FormOutlook*>(Forms::loaded("FormOutlook")); }
    template <class T = QWidget> T* child(const QString& name) const {
        T* widget = window()->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void click(const QString& name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    QStringList listed(int column) const {
        QStringList texts;
        QTreeWidget* list = window()->itemList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            texts << list->topLevelItem(i)->text(column);
        return texts;
    }
    void selectListed(const QString& subject) {
        QTreeWidget* list = window()->itemList();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (list->topLevelItem(i)->text(1) == subject) {
                list->setCurrentItem(list->topLevelItem(i));
                return;
            }
        QFAIL(qPrintable("no item " + subject));
    }
    QStringList cellTexts() const {
        QStringList texts;
        QTableWidget* grid = window()->calendar();
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (grid->item(r, c) && !grid->item(r, c)->text().isEmpty())
                    texts << QString("%1/%2 %3").arg(r).arg(c).arg(grid->item(r, c)->text());
        return texts;
    }
    static void deliver(const QString& folder, const QString& from, const QString& subject,
                        const QDateTime& date, const QString& body = "Hello") {
        MailMessage m;
        m.from = from;
        m.to = {"ann@acme.test"};
        m.subject = subject;
        m.body = body;
        m.date = date;
        QString error;
        if (MailStore::deliver(folder, m.toRfc5322(true), false, &error).isEmpty())
            qFatal("%s", qPrintable(error));
    }
    static void event(const QString& summary, const QDateTime& start, const QString& where = {}) {
        MailStore::Event e;
        e.summary = summary;
        e.start = start;
        e.location = where;
        QString error;
        if (MailStore::saveEvent(e, &error).isEmpty())
            qFatal("%s", qPrintable(error));
    }

    std::unique_ptr<TestSession> m_session;
    std::unique_ptr<SmtpTestServer> m_server;
};

void TestOutlook::init() {
    m_session = std::make_unique<TestSession>(); // today is Thursday 10 December 2026
    const QDate today(2026, 12, 10);
    event("Visit Acme", QDateTime(today, QTime(9, 0)), "Tacoma");
    event("Anvil demo", QDateTime(today, QTime(14, 30)));
    event("Call Baker", QDateTime(today.addDays(1), QTime(10, 0)));
    event("Trade fair", QDateTime(QDate(2026, 12, 21), QTime(8, 0)));
    event("Last year's", QDateTime(QDate(2025, 12, 10), QTime(8, 0)));
    deliver("Inbox", "Bob <bob@baker.test>", "Order of anvils", QDateTime(today, QTime(8, 0)),
            "Please send 12 anvils.");
    deliver("Inbox", QString::fromUtf8("Zoë <zoe@acme.test>"),
            QString::fromUtf8("Prices for Zoë's café"), QDateTime(today, QTime(11, 0)));
    deliver("Inbox", "Cid <cid@crane.test>", "Old news",
            QDateTime(today.addDays(-30), QTime(9, 0)));
    MailStore::Todo todo;
    todo.summary = "Send the catalogue";
    todo.due = today.addDays(3);
    QString error;
    QVERIFY2(!MailStore::saveTodo(todo, &error).isEmpty(), qPrintable(error));
    m_session->registerForms();
}

void TestOutlook::cleanup() {
    m_session.reset();
    m_server.reset();
}

void TestOutlook::menuOpensTheCalendarWeek() {
    auto* menu = Forms::show("FormMenu");
    auto* command = menu->findChild<QPushButton*>("CommandOutlook");
    QVERIFY(command && command->isEnabled());
    QTest::mouseClick(command, Qt::LeftButton);
    QVERIFY(window() && window()->isVisible());
    QCOMPARE(window()->windowTitle(), QString("MS-Outlook Calendar"));
    QVERIFY(child<QRadioButton>("OptionWeek")->isChecked());
    // Monday 7 to Sunday 13 December; today is the fourth column.
    QTableWidget* grid = window()->calendar();
    QCOMPARE(grid->columnCount(), 7);
    QVERIFY(grid->horizontalHeaderItem(0)->text().endsWith("12/7/2026"));
    QCOMPARE(cellTexts(), (QStringList{"0/3 9:00 AM Visit Acme", "0/4 10:00 AM Call Baker",
                                       "1/3 2:30 PM Anvil demo"}));
    // F10 in another window comes back here.
    window()->close();
    Forms::show("FormMenu");
    QVERIFY(!Forms::isLoaded("FormOutlook"));
}

void TestOutlook::calendarByDayWeekAndMonth() {
    Forms::show("FormOutlook");
    QTest::mouseClick(child<QRadioButton>("OptionDay"), Qt::LeftButton);
    QCOMPARE(cellTexts(), (QStringList{"0/0 9:00 AM Visit Acme", "1/0 2:30 PM Anvil demo"}));
    QCOMPARE(child<QLabel>("LabelPeriod")->text(), QString("12/10/2026"));
    click("CommandNext");
    QCOMPARE(cellTexts(), QStringList{"0/0 10:00 AM Call Baker"});
    QTest::mouseClick(child<QRadioButton>("OptionMonth"), Qt::LeftButton);
    QCOMPARE(child<QLabel>("LabelPeriod")->text(), QString("December 2026"));
    QTableWidget* grid = window()->calendar();
    QCOMPARE(grid->rowCount(), 5); // 30 November to 3 January
    // Thursday 10 December is in the second week's fourth column.
    QCOMPARE(grid->item(1, 3)->text(), QString("10\n9:00 AM Visit Acme\n2:30 PM Anvil demo"));
    QCOMPARE(grid->item(3, 0)->text(), QString("21\n8:00 AM Trade fair"));
    click("CommandPrevious");
    QCOMPARE(child<QLabel>("LabelPeriod")->text(), QString("November 2026"));
    QVERIFY(!cellTexts().join(' ').contains("Visit Acme"));
}

void TestOutlook::inboxListsTheNewestFirst() {
    Forms::show("FormOutlook");
    click("CommandInbox");
    QCOMPARE(window()->windowTitle(), QString("MS-Outlook Inbox"));
    QVERIFY(!child<QRadioButton>("OptionDay")->isVisible());
    QCOMPARE(listed(1), (QStringList{QString::fromUtf8("Prices for Zoë's café"), "Order of anvils",
                                     "Old news"}));
    QCOMPARE(listed(0).first(), QString::fromUtf8("Zoë <zoe@acme.test>"));
    click("CommandTasks");
    QCOMPARE(listed(0), QStringList{"Send the catalogue"});
    QCOMPARE(listed(1), QStringList{"12/13/2026"});
}

void TestOutlook::deleteItem() {
    Forms::show("FormOutlook");
    click("CommandInbox");
    selectListed("Old news");
    click("CommandDelete");
    QCOMPARE(MailStore::messages("Inbox").size(), 2);
    QCOMPARE(MailStore::messages("Deleted Items").size(), 1);
    // From Deleted Items an item goes for good, after a question.
    click("CommandDeletedItems");
    selectListed("Old news");
    m_session->expectMessage("Delete \"Old news\" for good?", MsgBox::No);
    click("CommandDelete");
    QCOMPARE(MailStore::messages("Deleted Items").size(), 1);
    m_session->expectMessage("Delete \"Old news\" for good?", MsgBox::Yes);
    click("CommandDelete");
    QVERIFY(MailStore::messages("Deleted Items").isEmpty());
    // An appointment too, from the day view.
    click("CommandCalendar");
    QTest::mouseClick(child<QRadioButton>("OptionDay"), Qt::LeftButton);
    window()->calendar()->setCurrentCell(1, 0);
    m_session->expectMessage("Delete \"Anvil demo\" for good?", MsgBox::Yes);
    click("CommandDelete");
    QCOMPARE(MailStore::events().size(), 4);
    // Nothing chosen: the user is told.
    window()->calendar()->setCurrentCell(-1, -1);
    m_session->expectMessage("Choose an item first.");
    click("CommandDelete");
}

void TestOutlook::moveItem() {
    Forms::show("FormOutlook");
    click("CommandInbox");
    selectListed("Order of anvils");
    click("CommandMove");
    auto* menu = window()->findChild<QMenu*>("MenuMove");
    QVERIFY(menu);
    QAction* sent = menu->findChild<QAction*>("Sent Items");
    QVERIFY(sent);
    QVERIFY(!menu->findChild<QAction*>("Inbox")); // not to where it is
    sent->trigger();
    QCOMPARE(MailStore::messages("Inbox").size(), 2);
    QCOMPARE(MailStore::messages("Sent Items").size(), 1);
    QCOMPARE(listed(1), (QStringList{QString::fromUtf8("Prices for Zoë's café"), "Old news"}));
}

void TestOutlook::search() {
    Forms::show("FormOutlook");
    click("CommandInbox");
    QVERIFY(!child<QLineEdit>("TextSearch")->isVisible());
    click("CommandFind");
    auto* search = child<QLineEdit>("TextSearch");
    QVERIFY(search->isVisible());
    QTest::keyClicks(search, "ANVIL");
    QCOMPARE(listed(1), QStringList{"Order of anvils"}); // the subject and the text are searched
    // In the calendar the matching appointments are listed.
    click("CommandCalendar");
    QCOMPARE(listed(1), QStringList{"Anvil demo"});
    search->clear();
    QCOMPARE(window()->calendar()->columnCount(), 7);
}

void TestOutlook::sendAndReceiveSendsTheOutbox() {
    m_server = std::make_unique<SmtpTestServer>();
    UserProfile profile = UserProfile::load();
    profile.email = "ann@acme.test";
    profile.smtpServer = m_server->address();
    QVERIFY(profile.save());
    MailItem mail;
    mail.To = "bob@baker.test";
    mail.BCC = "boss@acme.test";
    mail.Subject = "Offer";
    mail.Body = "Dear Bob,\r\nthe offer.";
    QString error;
    QVERIFY2(mail.Queue(&error), qPrintable(error));
    Forms::show("FormOutlook");
    click("CommandSendReceive");
    QCOMPARE(window()->windowTitle(), QString("MS-Outlook Inbox"));
    QVERIFY(MailStore::messages("Outbox").isEmpty());
    QCOMPARE(MailStore::messages("Sent Items").size(), 1);
    const auto mails = m_server->mails();
    QCOMPARE(mails.size(), 1);
    QCOMPARE(mails[0].recipients, (QStringList{"bob@baker.test", "boss@acme.test"}));
    QVERIFY(!mails[0].data.contains("boss@acme.test")); // no Bcc header for the recipients
    QVERIFY(mails[0].data.contains("Subject: Offer"));
    QCOMPARE(child<QLabel>("LabelStatus")->text(), QString("1 e-mails sent."));
    // A refusal leaves the mail waiting, and says so.
    QVERIFY2(mail.Queue(&error), qPrintable(error));
    m_server->refuseNext(1);
    m_session->expectMessage("These e-mails could not be sent and wait in the Outbox:");
    click("CommandSendReceive");
    QCOMPARE(MailStore::messages("Outbox").size(), 1);
}

void TestOutlook::sendAndReceiveWithoutAServerSaysSo() {
    MailItem mail;
    mail.To = "bob@baker.test";
    mail.Subject = "Offer";
    QString error;
    QVERIFY2(mail.Queue(&error), qPrintable(error));
    Forms::show("FormOutlook");
    m_session->expectMessage("No mail server is set in your profile");
    click("CommandSendReceive");
    QCOMPARE(MailStore::messages("Outbox").size(), 1);
}

void TestOutlook::maximizedStateIsRemembered() {
    Forms::show("FormOutlook");
    window()->showMaximized();
    fireTimer(window(), "Timer1");
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT09 FROM TABLE01").toString(), QString("2"));
    window()->close();
    settle();
    Forms::show("FormOutlook");
    QVERIFY(window()->isMaximized());
    window()->showNormal();
    fireTimer(window(), "Timer1");
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT09 FROM TABLE01").toString(), QString("0"));
    // The import flag lives in a column of its own.
    QCOMPARE(m_session->scalar("User.mdb", "SELECT TEXT10 FROM TABLE01").toString(), QString());
}

QTEST_MAIN(TestOutlook)
#include "tst_outlook.moc"
