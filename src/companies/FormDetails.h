#pragma once

#include "app/Form.h"

class DataSource;
class QLineEdit;
class QPlainTextEdit;

// The zoom window of the companies window's notes (MEMO01) or company
// details (MEMO02): a large editor whose text goes back, when the window
// closes, into the company it was opened on. While that company is current
// in the companies window the text becomes an edit there, stored with the
// company at its next save point; once another company is current (or the
// companies window is closed) it is stored straight into its own row. A
// company that no longer exists gets nothing, and the user is told.
class FormDetails : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormDetails";
    FormDetails();

    // Shows the window on the text of the company field named by memo, for
    // the company with the key `company` (its AUTONUMBER) and name `name`.
    static FormDetails* Open(const QString& caption, const QString& memo, const QString& text,
                             const QString& company, const QString& name);

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

    // The question asked when the company of the text no longer exists.
    static QString companyGoneMessage(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Writes the text into the companies window's box while the company is
    // current there; false when it is not.
    bool writeIntoCurrentCompany();
    // Stores the text into the company's own row; false (the window stays)
    // when the user keeps the window after a failure.
    bool storeIntoCompany();

    QPlainTextEdit* Text1;
    QLineEdit* TextMemo;
    DataSource* Data1; // the company the text belongs to
    QString m_company; // its key
    QString m_companyName;
    QString m_opened; // the text as it was opened
};
