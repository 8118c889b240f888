#include "SendKeys.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

namespace {

struct Recorder {
    bool on = false;
    QList<SendKeys::Stroke> strokes;
};
Recorder& recorder() {
    static Recorder r;
    return r;
}

const QHash<QString, int>& namedKeys() {
    static const QHash<QString, int> keys = {
        {"BACKSPACE", Qt::Key_Backspace},
        {"BS", Qt::Key_Backspace},
        {"BKSP", Qt::Key_Backspace},
        {"DEL", Qt::Key_Delete},
        {"DELETE", Qt::Key_Delete},
        {"DOWN", Qt::Key_Down},
        {"UP", Qt::Key_Up},
        {"LEFT", Qt::Key_Left},
        {"RIGHT", Qt::Key_Right},
        {"END", Qt::Key_End},
        {"HOME", Qt::Key_Home},
        {"ENTER", Qt::Key_Return},
        {"ESC", Qt::Key_Escape},
        {"ESCAPE", Qt::Key_Escape},
        {"TAB", Qt::Key_Tab},
        {"INSERT", Qt::Key_Insert},
        {"INS", Qt::Key_Insert},
        {"PGDN", Qt::Key_PageDown},
        {"PGUP", Qt::Key_PageUp},
        {"F1", Qt::Key_F1},
        {"F2", Qt::Key_F2},
        {"F3", Qt::Key_F3},
        {"F4", Qt::Key_F4},
        {"F5", Qt::Key_F5},
        {"F6", Qt::Key_F6},
        {"F7", Qt::Key_F7},
        {"F8", Qt::Key_F8},
        {"F9", Qt::Key_F9},
        {"F10", Qt::Key_F10},
        {"F11", Qt::Key_F11},
        {"F12", Qt::Key_F12},
    };
    return keys;
}

SendKeys::Stroke character(QChar c, Qt::KeyboardModifiers modifiers) {
    SendKeys::Stroke stroke;
    stroke.modifiers = modifiers;
    const QChar upper = c.toUpper();
    stroke.key = upper.unicode() < 128 && upper.isLetterOrNumber() ? upper.unicode() : c.unicode();
    // With Ctrl or Alt a key produces no text of its own.
    if (!(modifiers & (Qt::ControlModifier | Qt::AltModifier)))
        stroke.text = c;
    return stroke;
}

} // namespace

std::optional<QList<SendKeys::Stroke>> SendKeys::parse(const QString& keys) {
    QList<Stroke> strokes;
    Qt::KeyboardModifiers modifiers;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar c = keys.at(i);
        if (c == u'^' || c == u'+' || c == u'%') {
            modifiers |= c == u'^'   ? Qt::ControlModifier
                         : c == u'+' ? Qt::ShiftModifier
                                     : Qt::AltModifier;
            continue;
        }
        if (c == u'{') {
            // "{}}" is a closing brace; otherwise up to the next '}'.
            const qsizetype close = keys.indexOf(u'}', i + 2);
            if (close < 0)
                return std::nullopt;
            const QString name = keys.mid(i + 1, close - i - 1);
            i = close;
            if (name.size() == 1) {
                strokes.append(character(name.at(0), modifiers));
            } else if (namedKeys().contains(name.toUpper())) {
                Stroke stroke;
                stroke.key = namedKeys().value(name.toUpper());
                stroke.modifiers = modifiers;
                if (stroke.key == Qt::Key_Return)
                    stroke.text = QStringLiteral("\r");
                strokes.append(stroke);
            } else {
                return std::nullopt;
            }
        } else if (c == u'~') {
            strokes.append(Stroke{Qt::Key_Return, modifiers, QStringLiteral("\r")});
        } else {
            strokes.append(character(c, modifiers));
        }
        modifiers = {};
    }
    return strokes;
}

bool SendKeys::send(const QString& keys) {
    const auto strokes = parse(keys);
    if (!strokes)
        return false;
    if (recorder().on) {
        recorder().strokes += *strokes;
        return true;
    }
    for (const Stroke& stroke : *strokes) {
        QWidget* target = QApplication::focusWidget();
        if (!target)
            return false;
        QKeyEvent press(QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
        QApplication::sendEvent(target, &release);
    }
    return true;
}

void SendKeys::record() {
    recorder() = Recorder{true, {}};
}

void SendKeys::stopRecording() {
    recorder() = Recorder{};
}

QList<SendKeys::Stroke> SendKeys::recorded() {
    return recorder().strokes;
}
