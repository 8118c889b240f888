#pragma once

#include "app/Form.h"

#include <QDate>
#include <optional>

class DBCombo;
class DataSource;
class HoverHelp;
class QCalendarWidget;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The call report filter: a date range picked in the calendar (first click
// the start, second the end) and, optionally, patterns for the company name
// and the sales person, with the dialect's wildcards. The call reports that
// match are shown in the all-call-reports window, newest first.
class FormFilter : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormFilter";
    FormFilter();

    void Form_Load() override;

    void MonthView1_DateClick(const QDate& date);
    void DBCombo1_Click();
    void DBCombo2_Click();
    void CommandFilter_Click();

    // The date as the date boxes hold it: mm/dd/yyyy, whatever the locale.
    static QString dateText(const QDate& date);
    // The day a date box names: month/day/year as the query's date literals
    // read it (ISO also accepted); nothing for a prompt, a time or any text
    // that is not a date.
    static std::optional<QDate> readDate(const QString& text);
    // The query of the call reports from `from` to `until`, both days whole,
    // whose company name and sales person match the patterns; nothing when a
    // date box does not hold a date.
    static std::optional<QString> recordSource(const QString& from, const QString& until,
                                               const QString& company, const QString& salesPerson);

    // A pattern that matches `text` alone: the wildcard characters in it
    // stand for themselves.
    static QString literalPattern(const QString& text);

private:
    // The pattern of a box: a name chosen from its list matches that name
    // as written; anything typed keeps its wildcards.
    static QString pattern(const QLineEdit* box, const QString& chosen);

    QCalendarWidget* MonthView1;
    QLineEdit* TextFrom;
    QLineEdit* TextUntil;
    QLineEdit* TextCompany;
    QLineEdit* TextSalesPerson;
    QLineEdit* TextSQL;
    DBCombo* DBCombo1;
    DBCombo* DBCombo2;
    DataSource* DataSalesPerson;
    DataSource* DataCompanies;
    QPushButton* CommandFilter;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    HoverHelp* m_help;
    QString m_chosenCompany;
    QString m_chosenSalesPerson;
};
