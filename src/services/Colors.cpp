#include "Colors.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace Colors {

namespace {

// System colour indexes of the 0x800000nn values that windows use.
QColor systemColor(int index) {
    const QPalette palette = QApplication::palette();
    switch (index) {
    case 0x05: // window background
        return palette.color(QPalette::Base);
    case 0x08: // window text
    case 0x12: // button text
        return palette.color(QPalette::WindowText);
    case 0x0F: // button face
        return palette.color(QPalette::Button);
    case 0x0D: // highlight
        return palette.color(QPalette::Highlight);
    default:
        return palette.color(QPalette::Window);
    }
}

} // namespace

QColor color(qint64 value) {
    if (value & 0x80000000LL)
        return systemColor(int(value & 0xFF));
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

qint64 value(const QColor& c) {
    return c.red() | (c.green() << 8) | (qint64(c.blue()) << 16);
}

void setBackground(QWidget* widget, qint64 v) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color(v));
    palette.setColor(QPalette::Base, color(v));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    widget->setProperty("backColor", v);
}

void setForeground(QWidget* widget, qint64 v) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color(v));
    palette.setColor(QPalette::Text, color(v));
    palette.setColor(QPalette::ButtonText, color(v));
    widget->setPalette(palette);
    widget->setProperty("foreColor", v);
}

qint64 foreground(const QWidget* widget) {
    const QVariant v = widget->property("foreColor");
    return v.isValid() ? v.toLongLong() : value(widget->palette().color(QPalette::WindowText));
}

qint64 background(const QWidget* widget) {
    const QVariant v = widget->property("backColor");
    return v.isValid() ? v.toLongLong() : value(widget->palette().color(QPalette::Window));
}

} // namespace Colors
