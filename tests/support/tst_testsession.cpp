#include "TestSession.h"

#include "app/Form.h"
#include "app/Forms.h"
#include "office/SpellingDialog.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Pointer.h"
#include "services/SendKeys.h"

#include <QDir>
#include <QPointer>
#include <QTest>
#include <QTimer>

// The test session every test case runs in: a message box nobody announced
// fails the test, an announcement nothing took fails it too, and its end
// leaves nothing behind for the next test case.
class TestTestSession : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(); }
    void cleanup() { m_session.reset(); }

    void announcedMessagesGetTheirAnswers();
    void messageNobodyAnnouncedFailsTheTest();
    void messageOtherThanTheAnnouncedOneFailsTheTest();
    void announcementsNothingTookFailTheTest();
    void theEndLeavesNothingBehind();
    void timersFireWhenTold();
    void spellingQuestionNobodyAnsweredFailsTheTest();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestTestSession::announcedMessagesGetTheirAnswers() {
    m_session->expectMessage("Delete Acme", MsgBox::No);
    m_session->expectMessage("Saved.");
    QCOMPARE(MsgBox::show("Delete Acme?", MsgBox::YesNo | MsgBox::Question), MsgBox::No);
    QCOMPARE(MsgBox::show("Saved.", MsgBox::OKCancel), MsgBox::OK); // the first button
    MsgBox::answerNext(MsgBox::Cancel);
    QCOMPARE(MsgBox::show("Anything at all?", MsgBox::YesNoCancel), MsgBox::Cancel);
    QCOMPARE(MsgBox::shown().size(), 3);
}

void TestTestSession::messageNobodyAnnouncedFailsTheTest() {
    QEXPECT_FAIL("", "a message box nobody announced", Continue);
    QCOMPARE(MsgBox::show("Surprise", MsgBox::YesNo), MsgBox::Yes);
    QCOMPARE(MsgBox::last().text, QString("Surprise")); // recorded all the same
}

void TestTestSession::messageOtherThanTheAnnouncedOneFailsTheTest() {
    m_session->expectMessage("Archive Acme?");
    QEXPECT_FAIL("", "another message than the one announced", Continue);
    MsgBox::show("Delete Acme?", MsgBox::YesNo);
    QCOMPARE(MsgBox::show("Archive Acme?", MsgBox::YesNo), MsgBox::Yes);
}

void TestTestSession::announcementsNothingTookFailTheTest() {
    for (const bool scripted : {false, true}) {
        auto session = std::make_unique<TestSession>();
        if (scripted)
            MsgBox::answerNext(MsgBox::No);
        else
            session->expectMessage("Never shown");
        QEXPECT_FAIL("", "an announcement no message box took", Continue);
        session.reset();
    }
}

void TestTestSession::theEndLeavesNothingBehind() {
    const QString folder = m_session->path();
    auto session = std::make_unique<TestSession>();
    QCOMPARE(QDir::currentPath(), session->path());
    QCOMPARE(qEnvironmentVariable("TESSALY_HOME"), session->path());
    QCOMPARE(Clock::now(), TestSession::Moment);
    QCOMPARE(Locale::current(), QLocale(QLocale::English, QLocale::UnitedStates));
    session->registerForms();
    QPointer<Form> menu = Forms::show("FormMenu");
    QVERIFY(menu);
    QPointer<QWidget> window = new QWidget;
    window->show();
    Clock::pin(QDateTime(QDate(2030, 1, 1), QTime(8, 0)));
    Locale::pin(QLocale(QLocale::German, QLocale::Germany));
    SendKeys::record();
    Pointer::busy();
    QEXPECT_FAIL("", "a pointer left busy", Continue);
    session.reset();

    QVERIFY(menu.isNull());
    QVERIFY(window.isNull());
    QVERIFY(!Forms::isRegistered("FormMenu"));
    QVERIFY(!Clock::isPinned());
    QCOMPARE(Locale::current(), QLocale::system());
    QVERIFY(!MsgBox::hookInstalled());
    QVERIFY(!Pointer::isBusy());
    QVERIFY(!SendKeys::send("{DEL}")); // no focused control to send it to: not recorded
    QVERIFY(SendKeys::recorded().isEmpty());
    QCOMPARE(QDir::currentPath(), folder); // the outer session's folder again
    QCOMPARE(qEnvironmentVariable("TESSALY_HOME"), folder);
}

void TestTestSession::timersFireWhenTold() {
    QObject owner;
    auto* timer = new QTimer(&owner);
    timer->setObjectName("TimerLoad");
    timer->setInterval(3'600'000);
    int ticks = 0;
    connect(timer, &QTimer::timeout, [&] { ++ticks; });
    timer->start();
    fireTimer(&owner, "TimerLoad");
    fireTimer(&owner, "TimerLoad");
    QCOMPARE(ticks, 2);
    timer->setSingleShot(true);
    timer->start();
    fireTimer(&owner, "TimerLoad");
    QCOMPARE(ticks, 3);
    QVERIFY(!timer->isActive());
    QEXPECT_FAIL("", "a timer that is not running does not fire", Continue);
    fireTimer(&owner, "TimerLoad");
    QCOMPARE(ticks, 3);
}

void TestTestSession::spellingQuestionNobodyAnsweredFailsTheTest() {
    QEXPECT_FAIL("", "a spelling question nobody answered", Continue);
    const auto decision = SpellingDialog::decider(nullptr)({"hosue", {"house"}, "The hosue."});
    QCOMPARE(decision.action, SpellingPass::Action::Cancel);
}

QTEST_MAIN(TestTestSession)
#include "tst_testsession.moc"
