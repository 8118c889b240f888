#include "HoverHelp.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

HoverHelp::HoverHelp(QWidget* window, QWidget* frame, QLabel* label)
    : QObject(window)
    , m_window(window)
    , m_frame(frame)
    , m_label(label) {
    m_window->setMouseTracking(true);
    m_window->installEventFilter(this);
    if (m_label)
        m_label->setWordWrap(true);
}

void HoverHelp::watch(QWidget* widget) {
    widget->installEventFilter(this);
    // A control's inner parts (a combo box's text line) lead to the control.
    for (QWidget* child : widget->findChildren<QWidget*>())
        child->installEventFilter(this);
}

void HoverHelp::setText(QWidget* control, const QString& text) {
    setText(control, [text] { return text; });
}

void HoverHelp::setText(QWidget* control, std::function<QString()> text) {
    m_texts.insert(control, std::move(text));
    watch(control);
    connect(control, &QObject::destroyed, this, [this, control] {
        m_texts.remove(control);
        m_enterActions.remove(control);
    });
}

void HoverHelp::setEnterAction(QWidget* control, std::function<void()> action) {
    m_enterActions.insert(control, std::move(action));
    watch(control);
}

void HoverHelp::addBackground(QWidget* container) {
    m_backgrounds.insert(container);
    container->setMouseTracking(true);
    container->installEventFilter(this);
}

QWidget* HoverHelp::controlFor(QWidget* widget) const {
    for (QWidget* w = widget; w && w != m_window; w = w->parentWidget())
        if (m_texts.contains(w) || m_enterActions.contains(w))
            return w;
    return nullptr;
}

QString HoverHelp::text(QWidget* control) const {
    const auto it = m_texts.find(control);
    return it == m_texts.end() ? QString() : (*it)();
}

void HoverHelp::showFor(QWidget* control) {
    if (m_texts.contains(control) && m_label && m_frame) {
        m_label->setText(text(control));
        m_frame->setVisible(true);
    }
    if (const auto action = m_enterActions.value(control))
        action();
}

void HoverHelp::showBackground() {
    if (m_frame)
        m_frame->setVisible(false);
    if (m_backgroundAction)
        m_backgroundAction();
}

bool HoverHelp::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return false;
    if (event->type() == QEvent::Enter) {
        if (QWidget* control = controlFor(widget))
            showFor(control);
        else if (widget == m_window || m_backgrounds.contains(widget))
            showBackground();
    } else if (event->type() == QEvent::MouseMove &&
               (widget == m_window || m_backgrounds.contains(widget))) {
        // Moves reach the background also from controls that do not track
        // the pointer; only a move over bare background hides the help.
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        QWidget* under = widget->childAt(position);
        if (!under || m_backgrounds.contains(under))
            showBackground();
        else if (QWidget* control = controlFor(under))
            showFor(control);
    }
    return false;
}
