#pragma once

#include <QList>
#include <QString>
#include <optional>

// Keystrokes to the focused control, written as the windows write them:
// "^{c}" (Ctrl+C), "{DEL}", "^{END}", "+{TAB}", "%{F4}", "~" (Enter), plain
// characters. ^ is Ctrl, + is Shift, % is Alt for the key that follows.
class SendKeys {
public:
    struct Stroke {
        int key = 0;
        Qt::KeyboardModifiers modifiers;
        QString text;
    };

    // Sends the keystrokes; false when the text cannot be read as keystrokes.
    static bool send(const QString& keys);
    static std::optional<QList<Stroke>> parse(const QString& keys);

    // Test hook: keep the strokes instead of sending them.
    static void record();
    static void stopRecording();
    static QList<Stroke> recorded();
};
