#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace {

QScreen* screen() {
    return QGuiApplication::primaryScreen();
}
double dpiX() {
    return screen() ? screen()->logicalDotsPerInchX() : 96.0;
}
double dpiY() {
    return screen() ? screen()->logicalDotsPerInchY() : 96.0;
}

} // namespace

namespace Twips {

int toPixelsX(int twips) {
    return int(std::lround(twips * dpiX() / 1440.0));
}
int toPixelsY(int twips) {
    return int(std::lround(twips * dpiY() / 1440.0));
}
int fromPixelsX(int pixels) {
    return int(std::lround(pixels * 1440.0 / dpiX()));
}
int fromPixelsY(int pixels) {
    return int(std::lround(pixels * 1440.0 / dpiY()));
}

// The twips a geometry was set in are kept beside it, so that reading it
// back gives exactly what was set, not what pixel rounding left of it.
constexpr const char* TwipsProperty = "twipsGeometry";

QRect pixels(const QRect& twips) {
    return {toPixelsX(twips.x()), toPixelsY(twips.y()), toPixelsX(twips.width()),
            toPixelsY(twips.height())};
}

void setGeometry(QWidget* widget, int left, int top, int width, int height) {
    const QRect twips(left, top, width, height);
    widget->setGeometry(pixels(twips));
    widget->setProperty(TwipsProperty, twips);
}

void setSize(QWidget* widget, int width, int height) {
    // A resize only: a window not placed yet is left to the window manager
    // rather than pinned to the corner of the screen.
    const QRect current = geometry(widget);
    const QRect twips(current.x(), current.y(), width, height);
    widget->resize(pixels(twips).size());
    widget->setProperty(TwipsProperty, twips);
}

void setFixedSize(QWidget* widget, int width, int height) {
    const QRect current = geometry(widget);
    const QRect twips(current.x(), current.y(), width, height);
    widget->setFixedSize(pixels(twips).size());
    widget->setProperty(TwipsProperty, twips);
}

void move(QWidget* widget, int left, int top) {
    const QRect current = geometry(widget);
    setGeometry(widget, left, top, current.width(), current.height());
}

QRect geometry(const QWidget* widget) {
    const QRect g = widget->geometry();
    QRect twips(fromPixelsX(g.x()), fromPixelsY(g.y()), fromPixelsX(g.width()),
                fromPixelsY(g.height()));
    // Position and size are each taken as set while the pixels still match;
    // a window manager may move a window without resizing it.
    const QRect kept = widget->property(TwipsProperty).toRect();
    if (kept.isNull())
        return twips;
    const QRect keptPixels = pixels(kept);
    if (keptPixels.topLeft() == g.topLeft())
        twips.moveTopLeft(kept.topLeft());
    if (keptPixels.size() == g.size())
        twips.setSize(kept.size());
    return twips;
}

int screenWidth() {
    return screen() ? fromPixelsX(screen()->geometry().width()) : 0;
}
int screenHeight() {
    return screen() ? fromPixelsY(screen()->geometry().height()) : 0;
}

} // namespace Twips
