#pragma once

#include "app/Form.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Find Duplicate Companies": the groups of company entries that are likely
// one company (see CompanyMatch), the largest group first, each opened to
// its entries with their city, telephone number, status and the number of
// rows that belong to them. The user selects the entry to keep and merges
// the others of its group into it (CompanyMerge).
class FormDuplicates : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormDuplicates";
    FormDuplicates();

    void Form_Load() override;
    bool Form_KeyUp(QKeyEvent* event) override; // F1: the manual's chapter
    void Load() override;                       // reads the groups again
    void CommandMerge_Click();

    QTreeWidget* groups() const { return TreeGroups; }

private:
    void fillCounts(QTreeWidgetItem* group);
    void selectionChanged();

    QLabel* Label1;
    QLabel* LabelCount;
    QTreeWidget* TreeGroups;
    QPushButton* CommandMerge;
    QPushButton* CommandClose;
};
