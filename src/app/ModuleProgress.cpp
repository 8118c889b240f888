#include "ModuleProgress.h"

#include "Form.h"
#include "Forms.h"
#include "services/Twips.h"

#include <QWidget>

namespace ModuleProgress {

void ProgressStep() {
    Form* reports = Forms::loaded(QStringLiteral("FormReports"));
    if (!reports)
        return;
    auto* bar = reports->findChild<QWidget*>(QStringLiteral("Shape1"));
    auto* frame = reports->findChild<QWidget*>(QStringLiteral("Shape2"));
    if (!bar || !frame)
        return;
    bar->setVisible(true);
    frame->setVisible(true);
    const QRect twips = Twips::geometry(bar);
    if (twips.width() < 8000)
        Twips::setGeometry(bar, twips.x(), twips.y(), twips.width() + 350, twips.height());
}

} // namespace ModuleProgress
