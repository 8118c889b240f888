#pragma once

#include "DBCombo.h"

#include <functional>

class CurrentCompany;
class DataSource;

// "Select a Company...": the company picker of every window that works on
// the current company (object name DBComboSelect). It lists the companies of
// the companies window's view by name, with the type-ahead of a data-bound
// combo box, and a choice moves the companies window to the chosen company
// (its own picker showing the name too); companyChosen() then tells the
// window to follow.
class CompanyPicker : public DBCombo {
    Q_OBJECT
public:
    // When a picker moves the current company: on a choice (an entry picked,
    // or Enter on a whole name), or also as soon as typing completes a name.
    // Following typing, a picker leaves a company that is already current
    // alone.
    enum class Follow { Choice, ChoiceAndTyping };

    static QString prompt();    // "Select a Company...", the text it starts with
    static QString hoverText(); // the hover help over a company picker

    explicit CompanyPicker(Follow follow, QWidget* parent = nullptr);

    // The companies it lists: the rows of the companies window's view.
    void setCompanies(DataSource* companies);
    // The window a choice moves, asked at each choice; none: a choice does
    // nothing.
    void setCurrentCompany(std::function<CurrentCompany*()> current);

signals:
    // The chosen company is now the current one.
    void companyChosen();

private:
    void follow();

    const Follow m_follow;
    std::function<CurrentCompany*()> m_current;
    bool m_moving = false;
};
