#include "FileChooser.h"

#include <QDir>
#include <QFileDialog>

namespace FileChooser {

namespace {
Chooser& chooser() {
    static Chooser instance;
    return instance;
}
} // namespace

QString openFile(QWidget* parent, const QString& caption, const QString& filter) {
    if (chooser())
        return chooser()(caption, filter);
    return QFileDialog::getOpenFileName(parent, caption, QDir::homePath(), filter);
}

void setChooser(Chooser c) {
    chooser() = std::move(c);
}

} // namespace FileChooser
