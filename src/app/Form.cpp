#include "Form.h"

#include "Forms.h"
#include "data/DataSource.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

Form::Form(const QString& name, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

Form::~Form() {
    if (m_keyPreview)
        qApp->removeEventFilter(this);
    Forms::forget(this);
}

void Form::setKeyPreview(bool on) {
    if (on == m_keyPreview)
        return;
    m_keyPreview = on;
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

bool Form::unload() {
    if (m_unloading)
        return true;
    return close();
}

void Form::closeEvent(QCloseEvent* event) {
    if (m_unloading) {
        event->accept();
        return;
    }
    bool cancel = false;
    Form_QueryUnload(cancel);
    // The close is the save point of every data source of the window.
    if (cancel || !DataSource::saveAll(this)) {
        event->ignore();
        return;
    }
    Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    m_unloading = true;
    event->accept();
    Forms::forget(this);
    deleteLater();
}

bool Form::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_unloading)
        Form_Activate();
    return QWidget::event(event);
}

bool Form::eventFilter(QObject* watched, QEvent* event) {
    if (m_keyPreview &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Each key event reaches the filter once, for the widget it is sent to.
        if (widget && widget->window() == this && isVisible() && !m_unloading) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool consumed =
                event->type() == QEvent::KeyPress ? Form_KeyDown(key) : Form_KeyUp(key);
            if (consumed)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form::centerOver(const QWidget* other) {
    if (!other || !other->isVisible())
        return;
    QRect frame(QPoint(), frameGeometry().size());
    frame.moveCenter(other->frameGeometry().center());
    if (const QScreen* screen = other->screen()) {
        const QRect area = screen->availableGeometry();
        frame.moveLeft(std::clamp(frame.left(), area.left(),
                                  std::max(area.left(), area.right() - frame.width() + 1)));
        frame.moveTop(std::clamp(frame.top(), area.top(),
                                 std::max(area.top(), area.bottom() - frame.height() + 1)));
    }
    move(frame.topLeft());
}
