#pragma once

#include <QString>
#include <functional>

class QWidget;

// The dialog in which the user picks a file to open. Test hook: a chooser
// answers instead of the user (an empty answer is a cancel); an empty
// function brings the dialog back.
namespace FileChooser {

// The file chosen, or an empty text when the user cancelled.
QString openFile(QWidget* parent, const QString& caption, const QString& filter);

using Chooser = std::function<QString(const QString& caption, const QString& filter)>;
void setChooser(Chooser chooser);

} // namespace FileChooser
