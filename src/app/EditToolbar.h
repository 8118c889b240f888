#pragma once

#include <QToolBar>

// The editing toolbar of the working windows (Toolbar1): Copy, Cut, Delete,
// Undo and Paste, each sent as its keystroke to the control that has the
// focus. The buttons carry the keys "Copy", "Cut", "Delete", "Undo", "Paste"
// as their objectName.
class EditToolbar : public QToolBar {
    Q_OBJECT
public:
    explicit EditToolbar(QWidget* parent);

    // The keystroke a button sends, e.g. "^{c}" for "Copy".
    static QString Keys(const QString& key);
};
