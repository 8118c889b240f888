#pragma once

#include <QCheckBox>

// A check box whose caption wraps onto further lines within its width, as a
// long caption does on the windows this program's layouts come from.
class WrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit WrapCheckBox(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& position) const override;

private:
    QRect indicatorRect() const;
    QRect textRect() const;
};
