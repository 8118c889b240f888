#include "Controls.h"

#include "services/Colors.h"
#include "services/Twips.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace Controls {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width, int height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    Twips::setGeometry(b, left, top, width, height);
    return b;
}

QPushButton* pictureButton(QWidget* parent, const char* name, const char* icon, int left, int top) {
    QPushButton* b = button(parent, name, QString(), left, top, 600, 420);
    b->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon))));
    b->setIconSize(QSize(22, 22));
    return b;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top,
              int width, int height) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QLatin1String(name));
    Twips::setGeometry(l, left, top, width, height);
    return l;
}

QLabel* image(QWidget* parent, const char* name, const char* icon, int left, int top) {
    QLabel* l = label(parent, name, QString(), left, top, 300, 300);
    l->setPixmap(QIcon(QStringLiteral(":/icons/%1.png").arg(QLatin1String(icon))).pixmap(16, 16));
    l->setVisible(false);
    return l;
}

void paintEditFrame(QGroupBox* frame, bool editing) {
    Colors::setBackground(frame, editing ? Colors::ButtonFace : Colors::White);
    QPalette palette = frame->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, Qt::white);
    for (auto role : {QPalette::Text, QPalette::WindowText})
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    frame->setPalette(palette);
}

} // namespace Controls
