#include "FunctionKeyBar.h"

#include "ModuleButtons.h"

#include <QPushButton>

namespace {
const char* const Captions[] = {"COMPANIES F2", "CONTACTS F3",    "ACTIVITIES F4",
                                "PROJECTS F5",  "COMPETITION F6", "ATTACHMENTS F7",
                                "SALES F8",     "REPORTS F9",     "MS-OUTLOOK F10"};
} // namespace

QString FunctionKeyBar::Caption(int functionKey) {
    const int index = functionKey - Qt::Key_F2;
    return index >= 0 && index < 9 ? QString::fromLatin1(Captions[index]) : QString();
}

FunctionKeyBar::FunctionKeyBar(const QString& current, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("FunctionKeyBar"));
    for (int i = 0; i < 9; ++i) {
        const int key = Qt::Key_F2 + i;
        auto* button = new QPushButton(Caption(key), this);
        button->setObjectName(QStringLiteral("CommandF%1").arg(i + 2));
        button->setFocusPolicy(Qt::NoFocus);
        QFont font = button->font();
        font.setPointSizeF(font.pointSizeF() * 7 / 8); // the longest caption fits its ninth
        button->setFont(font);
        button->setEnabled(ModuleButtons::WorkingWindows().at(i) != current);
        connect(button, &QPushButton::clicked, this, [key] { ModuleButtons::SwitchForKey(key); });
        m_buttons.append(button);
    }
}

QPushButton* FunctionKeyBar::button(int functionKey) const {
    const int index = functionKey - Qt::Key_F2;
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

void FunctionKeyBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Nine equal buttons across the whole width.
    const int count = int(m_buttons.size());
    for (int i = 0; i < count; ++i) {
        const int left = width() * i / count;
        const int right = width() * (i + 1) / count;
        m_buttons.at(i)->setGeometry(left, 0, right - left, height());
    }
}
