#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class QLabel;
class QWidget;

// The hover help of a window: while the pointer rests on a control that has
// a text, the window's frame FrameHelp is shown with that text in LabelHelp;
// over the window's background (or a container named as background) the
// frame is hidden. Texts may be fixed or built when shown (with the current
// company's name, say). One event filter per window does it all.
class HoverHelp : public QObject {
    Q_OBJECT
public:
    HoverHelp(QWidget* window, QWidget* frame, QLabel* label);

    void setText(QWidget* control, const QString& text);
    void setText(QWidget* control, std::function<QString()> text);
    void addBackground(QWidget* container);
    // Runs when the pointer moves over the background (after hiding the frame).
    void setBackgroundAction(std::function<void()> action) {
        m_backgroundAction = std::move(action);
    }
    // Runs when the pointer enters the control (after showing its text).
    void setEnterAction(QWidget* control, std::function<void()> action);

    QString text(QWidget* control) const; // the text the control would show
    void showFor(QWidget* control);       // as if the pointer entered it
    void showBackground();                // as if the pointer moved over the background

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* controlFor(QWidget* widget) const;
    void watch(QWidget* widget);

    QWidget* m_window;
    QPointer<QWidget> m_frame;
    QPointer<QLabel> m_label;
    QHash<QWidget*, std::function<QString()>> m_texts;
    QHash<QWidget*, std::function<void()>> m_enterActions;
    QSet<QWidget*> m_backgrounds;
    std::function<void()> m_backgroundAction;
};
