#pragma once

#include "OutlookItems.h"

#include <QWidget>

class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// A new appointment: subject, place, start and length; "Save & Close" files
// it in the calendar.
class AppointmentWindow : public QWidget {
    Q_OBJECT
public:
    explicit AppointmentWindow(const AppointmentItem& item, QWidget* parent = nullptr);

    AppointmentItem item() const;
    void CommandSave_Click();

private:
    QLineEdit* TextSubject;
    QLineEdit* TextLocation;
    QDateTimeEdit* DateStart;
    QSpinBox* SpinDuration;
    QPlainTextEdit* TextBody;
    QPushButton* CommandSave;
};
