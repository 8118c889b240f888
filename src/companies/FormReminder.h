#pragma once

#include "app/Form.h"

class HoverHelp;
class QCalendarWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Reminder...": offers a task in the mail program, two days before the
// current company's next visit is due (never on a weekend), to make the next
// appointment; the companies window's appointment notice tells of it.
class FormReminder : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReminder";
    FormReminder();

    void Form_Load() override;
    void CommandYes_Click();
    void CommandNo_Click();
    void CommandGo_Click();
    void MonthView1_DateClick();

private:
    QString companyName() const;
    QLabel* LabelReminder;
    QPushButton* CommandYes;
    QPushButton* CommandNo;
    QCalendarWidget* MonthView1;
    QLineEdit* TextDueDate;
    QLineEdit* TextDay;
    QPushButton* CommandGo;
    QLabel* ImageOutlook;
    QLabel* LabelLoad;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    HoverHelp* m_help;
};
