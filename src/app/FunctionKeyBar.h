#pragma once

#include <QWidget>

class QPushButton;

// The row of function-key buttons every working window carries:
// "COMPANIES F2" to "MS-OUTLOOK F10" (CommandF2 ... CommandF10), each running
// its window switch. The button of the window it sits in is disabled.
class FunctionKeyBar : public QWidget {
    Q_OBJECT
public:
    // `current`: the working window the bar belongs to ("FormContacts").
    FunctionKeyBar(const QString& current, QWidget* parent);

    QPushButton* button(int functionKey) const; // Qt::Key_F2 ... Qt::Key_F10
    static QString Caption(int functionKey);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<QPushButton*> m_buttons;
};
