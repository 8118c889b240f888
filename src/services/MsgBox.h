#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

// Message boxes, with the button and icon values the windows are written in
// (OK only 0, Yes/No 4, critical 16, question 32, exclamation 48,
// information 64) and the program's name as the default title.
//
// Test hook: installTestHook() makes show() record every message and answer
// from a script instead of opening a window; a message that finds no scripted
// answer gets the box's first button.
class MsgBox {
public:
    enum Style {
        OKOnly = 0,
        OKCancel = 1,
        AbortRetryIgnore = 2,
        YesNoCancel = 3,
        YesNo = 4,
        RetryCancel = 5,
        Critical = 16,
        Question = 32,
        Exclamation = 48,
        Information = 64,
    };
    enum Result { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

    struct Shown {
        QString text;
        int style = 0;
        QString title;
    };

    static Result show(const QString& text, int style = OKOnly, const QString& title = {});
    static Result critical(const QString& text) { return show(text, OKOnly | Critical); }

    static QString defaultTitle() { return QStringLiteral("Tessaly"); }

    // Test hook.
    static void installTestHook();
    static void removeTestHook();
    static bool hookInstalled();
    static void answerNext(Result answer); // queued in order
    static int pendingAnswers();           // queued answers no message has taken yet
    static void setAnswerer(std::function<Result(const Shown&)> answerer);
    static QList<Shown> shown(); // everything shown since install
    static Shown last();
    static void clearShown();
};
