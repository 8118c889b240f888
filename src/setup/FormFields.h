#pragma once

#include "app/Form.h"

class DataSource;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Select Fields...": switches the seven optional fields of the companies
// window on or off. The flags ("1" shown, "0" hidden) are User.mdb TABLE01
// TEXT01..TEXT07, edited through the hidden boxes Text01..Text07, which the
// companies window reads. OK stores the choice at once.
class FormFields : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormFields";
    FormFields();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void CommandOK_Click();

    // The flag of field 1..7 as the boxes hold it.
    QString flag(int field) const;

private:
    QGroupBox* Frame1;
    QLabel* Label1;
    QList<QCheckBox*> m_checks; // Check1..Check7
    QList<QLineEdit*> m_flags;  // Text01..Text07
    QPushButton* CommandOK;
    DataSource* Data1;
};
