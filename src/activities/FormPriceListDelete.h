#pragma once

#include "app/Form.h"

class QLabel;
class QPushButton;
class QTimer;

// "Delete": asks whether the price list's current record or all of its
// records go. All records go on Timer1, as many per tick as fit in its time
// slice, always from the first one, while this window is hidden again.
class FormPriceListDelete : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormPriceListDelete";
    static constexpr int SliceMs = 30;

    FormPriceListDelete();

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

    void CommandThis_Click();
    void CommandAll_Click();
    void Timer1_Timer();
    bool isDeleting() const;

private:
    QLabel* Label1;
    QPushButton* CommandThis;
    QPushButton* CommandAll;
    QTimer* Timer1;
};
