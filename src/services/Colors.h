#pragma once

#include <QColor>

class QWidget;

// The numeric colour values windows are written in: 0x00BBGGRR (255 red,
// 32768 and 65280 green, 16711680 blue), and system colours with the high bit
// set (2147483663, 0x8000000F, the button face).
namespace Colors {

constexpr qint64 Red = 255;
constexpr qint64 Green = 65280;
constexpr qint64 DarkGreen = 32768;
constexpr qint64 Blue = 16711680;
constexpr qint64 Black = 0;
constexpr qint64 White = 16777215;
constexpr qint64 ButtonFace = 2147483663LL;

QColor color(qint64 value);
qint64 value(const QColor& color);
void setBackground(QWidget* widget, qint64 value);
void setForeground(QWidget* widget, qint64 value);
qint64 foreground(const QWidget* widget);
qint64 background(const QWidget* widget);

} // namespace Colors
