#include "TestSession.h"

#include "app/Form.h"
#include "app/Forms.h"
#include "contacts/DocumentToolbar.h"
#include "data/Compaction.h"
#include "formats/DocumentTexts.h"
#include "formats/SmtpSender.h"
#include "formats/WorkbookSheets.h"
#include "formats/XlsReader.h"
#include "menu/RegisterForms.h"
#include "office/SpellingDialog.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Clipboard.h"
#include "services/Desktop.h"
#include "services/FileChooser.h"
#include "services/MSComm.h"
#include "services/ModemDial.h"
#include "services/Pointer.h"
#include "services/PrintWindow.h"
#include "services/SendKeys.h"
#include "widgets/DataMessages.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

namespace {

bool hasWidgets() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool hasClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// The button a message box takes when nobody chooses one (see MsgBox).
MsgBox::Result firstButton(int style) {
    switch (style & 7) {
    case MsgBox::AbortRetryIgnore:
        return MsgBox::Abort;
    case MsgBox::YesNoCancel:
    case MsgBox::YesNo:
        return MsgBox::Yes;
    case MsgBox::RetryCancel:
        return MsgBox::Retry;
    default:
        return MsgBox::OK;
    }
}

void fail(const QString& message) {
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

// Puts every hook back as the program has it, and forgets what a test left.
void resetHooks() {
    MsgBox::removeTestHook();
    Clock::unpin();
    Locale::unpin();
    Desktop::stopRecording();
    SendKeys::stopRecording();
    PrintWindow::printToPrinter();
    SmtpSender::setCaFile({});
    XlsReader::setTimeLimit(0);
    SpellingDialog::setAnswerer({});
    DocumentToolbar::setFontChooser({});
    FileChooser::setChooser({});
    Compaction::setFaultHook({});
    MSComm::useSystemDevices();
    ModemDial::setSecond(std::chrono::seconds(1));
    DataMessages::install();
    WorkbookSheets::install();
    DocumentTexts::install();
    Forms::removeAll();
    while (Pointer::isBusy())
        Pointer::normal();
    if (hasClipboard())
        Clipboard::clear();
}

} // namespace

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void fireTimer(const QObject* owner, const QString& name) {
    auto* timer = owner ? owner->findChild<QTimer*>(name) : nullptr;
    if (!timer) {
        fail(QStringLiteral("no timer %1").arg(name));
        return;
    }
    if (!timer->isActive()) {
        fail(QStringLiteral("the timer %1 is not running").arg(name));
        return;
    }
    QTimerEvent tick(timer->timerId());
    QCoreApplication::sendEvent(timer, &tick);
}

TestSession::TestSession(Folder folder) {
    resetHooks();
    Locale::pin(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::pin(Moment);
    MsgBox::installTestHook();
    MsgBox::setAnswerer([this](const MsgBox::Shown& message) { return answer(message); });
    Desktop::record();
    SpellingDialog::setAnswerer([](const SpellingPass::Question& question) {
        fail(QStringLiteral("A spelling question nobody answered: \"%1\"").arg(question.word));
        return SpellingPass::Decision{SpellingPass::Action::Cancel, {}};
    });
    DocumentToolbar::setFontChooser([](const QFont&, QWidget*) -> std::optional<QFont> {
        fail(QStringLiteral("A font dialog nobody answered"));
        return std::nullopt;
    });
    FileChooser::setChooser([](const QString& caption, const QString&) {
        fail(QStringLiteral("A file dialog nobody answered: \"%1\"").arg(caption));
        return QString();
    });
    // No test reaches the machine's serial ports; a test names its own.
    MSComm::setDevices({});
    m_folder = std::make_unique<TestFolder>(folder);
    PrintWindow::printToFile(m_folder->file(QStringLiteral("Printed.pdf")));
}

TestSession::~TestSession() {
    closeWindows();
    if (!QTest::currentTestFailed()) {
        checkAnnouncements();
        if (Pointer::isBusy())
            fail(QStringLiteral("The pointer was left busy"));
    }
    m_folder.reset();
    resetHooks();
}

void TestSession::registerForms() {
    Forms::removeAll();
    ::registerForms();
}

void TestSession::expectMessage(const QString& text, std::optional<MsgBox::Result> answer) {
    m_expected.append({text, answer});
}

MsgBox::Result TestSession::answer(const MsgBox::Shown& message) {
    const MsgBox::Result first = firstButton(message.style);
    if (!m_expected.isEmpty() && message.text.startsWith(m_expected.first().text))
        return m_expected.takeFirst().answer.value_or(first);
    QString problem = QStringLiteral("A message box nobody announced: \"%1\"").arg(message.text);
    if (!m_expected.isEmpty())
        problem +=
            QStringLiteral(" (the one announced next begins \"%1\")").arg(m_expected.first().text);
    fail(problem);
    return first;
}

void TestSession::checkAnnouncements() {
    for (const Expected& expected : std::as_const(m_expected))
        fail(QStringLiteral("An announced message box never came: \"%1\"").arg(expected.text));
    if (const int answers = MsgBox::pendingAnswers(); answers > 0)
        fail(QStringLiteral("%1 scripted answer(s) no message box took").arg(answers));
}

void TestSession::closeWindows() {
    for (Form* form : Forms::all())
        delete form;
    if (hasWidgets()) {
        QList<QPointer<QWidget>> windows;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (!window->parentWidget() && window->windowType() != Qt::Desktop)
                windows.append(window);
        for (const QPointer<QWidget>& window : std::as_const(windows))
            delete window.data();
    }
    settle();
}
