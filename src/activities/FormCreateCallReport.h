#pragma once

#include "app/Form.h"

#include <QDate>

class DBList;
class DataSource;
class FormCompanies;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class RichTextBox;

// Call report entry: four quick steps (method of contact, time and date,
// persons contacted, Go) build the standard heading of a call report for
// the company current in the companies window, which is then written in the
// document editor. A meeting sets the company's date last visited.
class FormCreateCallReport : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormCreateCallReport";
    FormCreateCallReport();

    void Form_Load() override;
    void Form_Activate() override;

    void ListMethod_Click();
    void ComboTime_Click();
    void CheckFormat_Click();
    void MonthView1_DateClick(const QDate& date);
    void DBListNames_Click();
    void CommandGo_Click();

    // The heading as it stands, lines separated by CR LF.
    QString heading() const;
    // The 48 quarter hours from 06:00 AM to 05:45 PM.
    static QStringList Times();
    static const QStringList& Methods();

private:
    FormCompanies* companies() const;
    void appendLine(const QString& line);
    QString method() const;

    QGroupBox* FrameHeader;
    RichTextBox* RichTextBoxHeader;
    QGroupBox* FrameMethod;
    QListWidget* ListMethod;
    QGroupBox* FrameTime;
    QComboBox* ComboTime;
    QLineEdit* TextTime;
    QCheckBox* CheckFormat;
    QGroupBox* FrameDate;
    QCalendarWidget* MonthView1;
    QGroupBox* FrameContacts;
    DBList* DBListNames;
    DataSource* DataContacts;
    QPushButton* CommandGo;
};
