#pragma once

#include "app/Form.h"

class DataSource;
class DBCombo;
class QLabel;
class QLineEdit;
class QPushButton;

// "Find & Replace": a sales person's (or sales manager's) name replaced by
// another in every company, active and archived. The mode comes from the
// master tables window: "SP" sales persons (TEXT18), "SM" sales managers
// (TEXT19). Letter case counts. All companies change at once or none.
class FormFindandReplace : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormFindandReplace";
    FormFindandReplace();

    void Form_Load() override;
    void DBComboFind_Click();
    void DBComboReplace_Click();
    void CommandFindReplace_Click();

    // Replaces `find` by `replacement` in the column of `mode` of every
    // company; the rows changed, or -1 with the reason.
    static int replaceInCompanies(const QString& mode, const QString& find,
                                  const QString& replacement, QString* error);

private:
    QLabel* LabelFind;
    QLabel* LabelReplace;
    DBCombo* DBComboFind;
    DBCombo* DBComboReplace;
    QLineEdit* TextFind;
    QLineEdit* TextReplace;
    QPushButton* CommandFindReplace;
    DataSource* Data1;
    QString m_mode;
};
