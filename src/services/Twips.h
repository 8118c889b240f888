#pragma once

#include <QRect>

class QWidget;

// Window geometry is written in twips (1440 to the inch), converted with the
// screen's logical resolution, so a window keeps its proportions on any
// screen.
namespace Twips {

int toPixelsX(int twips);
int toPixelsY(int twips);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);

void setGeometry(QWidget* widget, int left, int top, int width, int height);
void setSize(QWidget* widget, int width, int height);
void setFixedSize(QWidget* widget, int width, int height); // a window the user cannot resize
void move(QWidget* widget, int left, int top);
QRect geometry(const QWidget* widget); // in twips
int screenWidth();                     // the screen's size in twips
int screenHeight();

} // namespace Twips
