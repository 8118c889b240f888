#pragma once

#include "app/Form.h"
#include "data/CompanyMatch.h"

#include <QList>

class DataSource;
class SqliteConnection;
class QLabel;
class QLineEdit;
class QPushButton;

// Companies and contacts from the user's mail program or address book: a
// "Contacts" table exported from the mail program into the main database,
// or, when there is none, a vCard or CSV file the user picks. A second
// import asks first, since it may bring the same companies again.
class FormImport : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormImport";
    FormImport();

    void Form_Load() override;
    void Form_Unload(bool& cancel) override; // the staging table goes, the main menu comes back
    bool Form_KeyUp(QKeyEvent* event) override;

    void CommandImport_Click();
    void CommandYes_Click();
    void CommandNo_Click();
    void CommandHelp_Click();

    // The statement that takes the companies of the staging table.
    static QString importStatement();
    static QString failureMessage();
    static QString againQuestion();

private:
    struct Duplicates {
        enum Choice { Add, Skip, Cancel } choice;
        QList<int> indexes; // of the companies that may be in the database already
    };
    // Counts the companies to import that may be in the database already and
    // asks whether to add them anyway, skip them or import nothing.
    Duplicates askAboutDuplicates(SqliteConnection& connection,
                                  const QList<CompanyMatch::Company>& incoming);
    // Imports and says so; false when nothing was imported.
    bool import();
    void imported(const QString& what);

    QPushButton* CommandImport;
    QPushButton* CommandYes;
    QPushButton* CommandNo;
    QPushButton* CommandHelp;
    QLabel* LabelDone;
    QLineEdit* Text09; // "1" once an import was done
    DataSource* Data1;
};
