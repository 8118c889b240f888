#pragma once

#include "app/Form.h"

#include <array>

class HoverHelp;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

// "Reports": the reports the user asks for. Five commands make spreadsheet
// workbooks (companies and contacts after the user chose their fields with
// the check boxes, active projects, competitor activity and sales figures at
// once); three open the windows that filter and search call reports and
// list the overdue visits. A finished report reloads this window, so each
// report starts from its initial state.
class FormReports : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormReports";
    static constexpr int FieldBoxes = 20; // Check1 .. Check20
    FormReports();

    void Form_Load() override;
    bool Form_KeyUp(QKeyEvent* event) override;

    void CommandCompanies_Click();
    void CommandContacts_Click();
    void Check18_Click();
    void CommandGoCompanies_Click();
    void CommandGoContacts_Click();
    void CommandProjects_Click();
    void CommandCompetitors_Click();
    void CommandSales_Click();
    void CommandCallReports_Click();
    void CommandSearch_Click();
    void CommandOverdue_Click();
    void CommandHelp_Click();

private:
    // Shows the field boxes of one report with their captions and its Go
    // button; the ticks stay as they are.
    void chooseFields(const QStringList& captions, QPushButton* go, QPushButton* other);
    void hideFieldBoxes();
    void showLoading(bool on);
    // The progress bar back as it was before the report (after a failure).
    void resetProgress();
    QCheckBox* check(int box) const { return m_checks.at(size_t(box - 1)); }

    QGroupBox* FrameDisplay;
    std::array<QCheckBox*, FieldBoxes> m_checks{};
    QPushButton* CommandGoCompanies;
    QPushButton* CommandGoContacts;
    QLabel* LabelLoad;
    QLabel* Image1;
    QFrame* Shape1;
    QFrame* Shape2;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    QPushButton* CommandHelp;
    QPushButton* CommandCallReports = nullptr;
    QLabel* LabelCallReports = nullptr;
    HoverHelp* m_help;
};
