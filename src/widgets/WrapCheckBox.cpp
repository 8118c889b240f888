#include "WrapCheckBox.h"

#include <QPainter>
#include <QStyleOptionButton>

WrapCheckBox::WrapCheckBox(QWidget* parent)
    : QCheckBox(parent) {}

QRect WrapCheckBox::indicatorRect() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    return QRect(indicator.x(), 2, indicator.width(), indicator.height());
}

QRect WrapCheckBox::textRect() const {
    const QRect indicator = indicatorRect();
    const int left = indicator.right() + 6;
    return QRect(left, 0, width() - left, height());
}

QSize WrapCheckBox::sizeHint() const {
    const QRect text = fontMetrics().boundingRect(
        QRect(0, 0, std::max(50, textRect().width()), 1000), Qt::TextWordWrap, this->text());
    return QSize(QCheckBox::sizeHint().width(),
                 std::max(text.height(), indicatorRect().height()) + 4);
}

void WrapCheckBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = indicatorRect();
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    QString shown = text();
    shown.remove(u'&');
    painter.drawText(textRect(), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, shown);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            painter.boundingRect(textRect(), Qt::TextWordWrap, shown).adjusted(-1, 0, 1, 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

bool WrapCheckBox::hitButton(const QPoint& position) const {
    return rect().contains(position);
}
