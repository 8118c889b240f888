#include "MsgBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>
#include <optional>

namespace {

struct Hook {
    bool installed = false;
    QQueue<MsgBox::Result> answers;
    std::function<MsgBox::Result(const MsgBox::Shown&)> answerer;
    QList<MsgBox::Shown> shown;
};

Hook& hook() {
    static Hook instance;
    return instance;
}

QList<MsgBox::Result> buttonsOf(int style) {
    switch (style & 7) {
    case MsgBox::OKCancel:
        return {MsgBox::OK, MsgBox::Cancel};
    case MsgBox::AbortRetryIgnore:
        return {MsgBox::Abort, MsgBox::Retry, MsgBox::Ignore};
    case MsgBox::YesNoCancel:
        return {MsgBox::Yes, MsgBox::No, MsgBox::Cancel};
    case MsgBox::YesNo:
        return {MsgBox::Yes, MsgBox::No};
    case MsgBox::RetryCancel:
        return {MsgBox::Retry, MsgBox::Cancel};
    default:
        return {MsgBox::OK};
    }
}

QMessageBox::StandardButton standardButton(MsgBox::Result result) {
    switch (result) {
    case MsgBox::OK:
        return QMessageBox::Ok;
    case MsgBox::Cancel:
        return QMessageBox::Cancel;
    case MsgBox::Abort:
        return QMessageBox::Abort;
    case MsgBox::Retry:
        return QMessageBox::Retry;
    case MsgBox::Ignore:
        return QMessageBox::Ignore;
    case MsgBox::Yes:
        return QMessageBox::Yes;
    case MsgBox::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgBox::Result MsgBox::show(const QString& text, int style, const QString& title) {
    const Shown message{text, style, title.isEmpty() ? defaultTitle() : title};
    const QList<Result> buttons = buttonsOf(style);
    Hook& h = hook();
    if (h.installed) {
        h.shown.append(message);
        std::optional<Result> answer;
        if (!h.answers.isEmpty())
            answer = h.answers.dequeue();
        else if (h.answerer)
            answer = h.answerer(message);
        return answer && buttons.contains(*answer) ? *answer : buttons.first();
    }

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.title);
    box.setText(text);
    switch (style & 0x70) {
    case Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    QMessageBox::StandardButtons standard;
    for (Result r : buttons)
        standard |= standardButton(r);
    box.setStandardButtons(standard);
    box.setDefaultButton(standardButton(buttons.first()));
    const int clicked = box.exec();
    for (Result r : buttons)
        if (clicked == standardButton(r))
            return r;
    // Closed with Escape or the title bar: the box's cancelling answer.
    if (buttons.contains(Cancel))
        return Cancel;
    if (buttons.contains(No))
        return No;
    return buttons.first();
}

void MsgBox::installTestHook() {
    hook() = Hook();
    hook().installed = true;
}

void MsgBox::removeTestHook() {
    hook() = Hook();
}

bool MsgBox::hookInstalled() {
    return hook().installed;
}

void MsgBox::answerNext(Result answer) {
    hook().answers.enqueue(answer);
}

int MsgBox::pendingAnswers() {
    return int(hook().answers.size());
}

void MsgBox::setAnswerer(std::function<Result(const Shown&)> answerer) {
    hook().answerer = std::move(answerer);
}

QList<MsgBox::Shown> MsgBox::shown() {
    return hook().shown;
}

MsgBox::Shown MsgBox::last() {
    return hook().shown.isEmpty() ? Shown() : hook().shown.last();
}

void MsgBox::clearShown() {
    hook().shown.clear();
}
