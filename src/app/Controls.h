#pragma once

#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// Controls of the windows built in code: each named by its objectName and
// placed in twips.
namespace Controls {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height = 375);
// A button that shows a 22-pixel picture from the program's icons.
QPushButton* pictureButton(QWidget* parent, const char* name, const char* icon, int left, int top);
QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height = 255);
// A 16-pixel picture from the program's icons, hidden until needed.
QLabel* image(QWidget* parent, const char* name, const char* icon, int left, int top);

// An edit frame locked (white) or open for editing (button face). Its boxes
// stay white and a locked frame's text is not greyed out: only input is
// refused, so the locked window reads like a record card.
void paintEditFrame(QGroupBox* frame, bool editing);

} // namespace Controls
