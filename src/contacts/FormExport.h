#pragma once

#include "app/Form.h"

class DBCombo;
class DataSource;
class FlexGrid;
class QLabel;
class QPushButton;

// The contacts of one sales person's active companies, for the user's mail
// program or phone: Temp/Contacts.csv with the column headings mail
// programs import, and beside it Temp/Contacts.vcf with the same contacts as
// vCards. The grid shows what was written.
class FormExport : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormExport";
    FormExport();

    void Form_Load() override;
    void Form_Unload(bool& cancel) override; // the main menu comes back
    bool Form_KeyUp(QKeyEvent* event) override;

    // The export query for a sales person.
    static QString recordSource(const QString& salesPerson);

    void DBComboName_Click();
    void CommandExport_Click();
    void CommandHelp_Click();
    // Writes the rows of the export query as Temp/Contacts.csv and
    // Temp/Contacts.vcf; false with the reason when a file cannot be written.
    bool OutlookContacts(QString* error);

    DataSource* data() const { return Data1; }

private:
    DBCombo* DBComboName;
    QLabel* LabelName;
    QLabel* LabelDone;
    QPushButton* CommandExport;
    QPushButton* CommandHelp;
    FlexGrid* MSFlexGrid1;
    DataSource* Data1;
    DataSource* DataMT12;
};
