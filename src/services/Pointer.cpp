#include "Pointer.h"

#include <QApplication>
#include <QCursor>

namespace {
int& depth() {
    static int d = 0;
    return d;
}
} // namespace

void Pointer::busy() {
    ++depth();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void Pointer::normal() {
    if (depth() == 0)
        return;
    --depth();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

bool Pointer::isBusy() {
    return depth() > 0;
}
