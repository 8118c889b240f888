#pragma once

#include "app/Form.h"

#include <memory>

class BlankCompanies;
class QTimer;

// The hidden window that removes the companies without a name. Loading it
// starts its walk, which runs on Timer1 a slice at a time.
class FormRemoveBlanks : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormRemoveBlanks";
    FormRemoveBlanks();
    ~FormRemoveBlanks() override;

    void Form_Load() override;
    void Timer1_Timer();

    // Walks the companies again (a later "Remove Blank Entries"); nothing
    // happens while a walk is running.
    void startWalk();
    bool isWalking() const;
    // Blank companies left in place because rows still belong to them.
    int kept() const;

private:
    QTimer* Timer1;
    std::unique_ptr<BlankCompanies> m_walk;
};
