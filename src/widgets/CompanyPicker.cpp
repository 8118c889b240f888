#include "CompanyPicker.h"

#include "CurrentCompany.h"
#include "data/Columns.h"

#include <QLineEdit>

QString CompanyPicker::prompt() {
    return QStringLiteral("Select a Company...");
}

QString CompanyPicker::hoverText() {
    return QStringLiteral("Start typing the name of the company until the correct name is "
                          "displayed. You can also use the 'arrow' keys on your keyboard to "
                          "navigate.");
}

CompanyPicker::CompanyPicker(Follow follow, QWidget* parent)
    : DBCombo(parent)
    , m_follow(follow) {
    setObjectName(QStringLiteral("DBComboSelect"));
    setText(prompt());
    connect(this, &DBCombo::clicked, this, &CompanyPicker::follow);
    // Every change the user makes; the list's own reloads are none. The
    // combo box completes typed text first, so a whole name is seen at once.
    if (m_follow == Follow::ChoiceAndTyping)
        connect(lineEdit(), &QLineEdit::textEdited, this, &CompanyPicker::follow);
}

void CompanyPicker::setCompanies(DataSource* companies) {
    setRowSource(companies, CompanyColumn::Name);
}

void CompanyPicker::setCurrentCompany(std::function<CurrentCompany*()> current) {
    m_current = std::move(current);
}

void CompanyPicker::follow() {
    if (m_moving)
        return;
    const QByteArray bookmark = selectedItem();
    if (bookmark.isEmpty())
        return; // the text names no company: the current one stays
    CurrentCompany* current = m_current ? m_current() : nullptr;
    if (!current)
        return;
    if (m_follow == Follow::ChoiceAndTyping && current->isCurrentCompany(bookmark))
        return; // already there
    m_moving = true;
    if (current->chooseCompany(bookmark, text()))
        emit companyChosen();
    m_moving = false;
}
