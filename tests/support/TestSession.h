#pragma once

#include "TestFolder.h"
#include "services/MsgBox.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class QObject;

// Runs what the event loop has queued (posted events, the deferred deletion
// of a window that went) without waiting for any timer.
void settle();

// Runs the handlers of the timer `name` (its object name) among the children
// of `owner` once, as if it had fired, instead of waiting for it. The test
// fails when there is no such timer or it is not running.
void fireTimer(const QObject* owner, const QString& name);

// Everything one test case runs in: made in init(), gone in cleanup().
//
// It makes a fresh program folder (see TestFolder), pins the clock to
// Moment and the locale to en_US, and installs the program's test hooks:
// message boxes are recorded and answered by the script below, files and
// web addresses are recorded instead of opened (Desktop), printing goes to
// Printed.pdf in the program folder, data sources report through message
// boxes (DataMessages), workbooks are read through WorkbookSheets, the
// spelling dialog and the font dialog fail the test unless the test answers
// them itself, and there are no serial ports (MSComm) unless the test names
// its own. Its end closes and deletes every window, settles, and puts every
// hook back as the program has it (clock, locale, message boxes, desktop,
// keystrokes, printing, clipboard, pointer, serial ports and the length of
// the modem's waits, the SMTP sender's certificates, the .xls time limit,
// spelling and font answerers, the compaction's fault hook, the data
// sources' handlers, the window registry), so the next test case starts
// from nothing. A pointer still
// busy at the end fails the test: the user would be left with the hourglass.
//
// Message boxes: the test announces each one it expects, before the action
// that shows it. A message box nobody announced fails the test at once (it
// is answered with its first button, so the test goes on to show what
// followed). Announced are:
//   - expectMessage(text, answer): the next message box; its text begins with
//     `text`; it is answered with `answer`, or its first button;
//   - MsgBox::answerNext(answer): the next message box, whatever it says
//     (scripted answers are taken before announced texts: use one or the
//     other for a message);
//   - every message box, while the test's own MsgBox::setAnswerer() answers.
// An announcement no message box took by the end of the test fails the test
// as well (unless it failed already): what the test relied on never came.
class TestSession {
public:
    using Folder = TestFolder::Kind;

    // Thursday, 10 December 2026, 10:00: the clock until a test pins another.
    static inline const QDateTime Moment{QDate(2026, 12, 10), QTime(10, 0)};

    explicit TestSession(Folder folder = Folder::Installed);
    ~TestSession();
    TestSession(const TestSession&) = delete;
    TestSession& operator=(const TestSession&) = delete;

    // The program folder and plain SQL on its databases.
    TestFolder& folder() { return *m_folder; }
    QString path() const { return m_folder->path(); }
    QString file(const QString& name) const { return m_folder->file(name); }
    void exec(const QString& database, const QString& sql) const { m_folder->exec(database, sql); }
    QVariant scalar(const QString& database, const QString& sql) const {
        return m_folder->scalar(database, sql);
    }
    QList<QVariantList> rows(const QString& database, const QString& sql) const {
        return m_folder->rows(database, sql);
    }
    QStringList column(const QString& database, const QString& sql) const {
        return m_folder->column(database, sql);
    }

    // Registers every window of the program with the registry (Forms).
    void registerForms();

    // The next message box begins with `text`; it gets `answer`, or its first
    // button. Announcements are taken in the order they were made.
    void expectMessage(const QString& text, std::optional<MsgBox::Result> answer = {});

    // Closes and deletes every window (the registry's and any other
    // top-level window without a parent) and settles.
    static void closeWindows();

private:
    struct Expected {
        QString text;
        std::optional<MsgBox::Result> answer;
    };
    MsgBox::Result answer(const MsgBox::Shown& message);
    void checkAnnouncements();

    std::unique_ptr<TestFolder> m_folder;
    QList<Expected> m_expected;
};
