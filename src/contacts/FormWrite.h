#pragma once

#include "app/Form.h"

#include <optional>

class DocumentToolbar;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class RichTextBox;

// The document editor: one letter, telefax, e-mail or call report for the
// company (and contact) current when the document is begun, written in a rich
// text box. The document stays with them: choosing another company meanwhile,
// or closing the companies window, changes nothing. The opener sets the kind
// (TextMethod: "LETTER", "TELEFAX", "EMAIL" or "REPORT") and the text, and
// shows the window; the kind decides the caption, the toolbar buttons and the
// e-mail header. The document goes to the word processor on the letterhead
// (Word) or to the mail program (Outlook), and every close files it: letters,
// telefaxes and e-mails as a correspondence row (TABLE09), call reports as a
// call report row (TABLE08), stored at once. A company that no longer exists
// gets no row: the user is told, and chooses between keeping the editor open
// and closing it without storing.
class FormWrite : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormWrite";
    FormWrite();

    // For openers: sets the kind and the text (plain, CR LF between lines),
    // shows the window, puts the focus into the document (the subject for an
    // e-mail) and the caret at the end. An open editor is reused: it takes the
    // new kind and text, and the text it held is not filed.
    void openDocument(const QString& kind, const QString& text);
    // Before an e-mail is opened: whom it goes to.
    void setMailTo(const QString& address);
    // Before a call report is opened: the company's name and sales person it
    // is filed with.
    void setReportCompany(const QString& company, const QString& salesPerson);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel) override;
    bool Form_KeyDown(QKeyEvent* event) override;

    void Toolbar1_ButtonClick(const QString& key);
    void TextMethod_Change();
    void myFont();
    void Word();
    void Outlook();
    void SpellCheck();
    void ShowSignature();

    QString kind() const;
    RichTextBox* document() const { return RichTextBox1; }

    // The question asked when the document's company no longer exists.
    static QString companyGoneMessage(const QString& company);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void applyKind();
    void arrange();
    enum class Filing { Stored, CompanyGone, Failed };
    // Stores the document as one row of its kind, for its company.
    Filing fileDocument(QString* error);
    QString emailRecord() const;
    QString plainText() const; // the document, CR LF between lines
    // Takes the current company and contact as the ones the document is for.
    void beginDocument();
    QString currentContactName() const;
    bool m_fontChosen = false; // the user chose the document's font (myFont)

    DocumentToolbar* Toolbar1;
    RichTextBox* RichTextBox1;
    QGroupBox* FrameEMail;
    QLabel* LabelTo;
    QLabel* LabelCC;
    QLabel* LabelBCC;
    QLabel* LabelSubject;
    QLineEdit* TextTo;
    QLineEdit* TextCC;
    QLineEdit* TextBCC;
    QLineEdit* TextSubject;
    QLineEdit* TextMethod;
    QLineEdit* TextCompany;
    QLineEdit* TextSalesPerson;
    QProgressBar* ProgressBar1;

    // The row filed at an end of the program that another window then
    // stopped: the next filing of the same document rewrites it.
    struct FiledRow {
        QString table;
        qint64 key = 0;
    };
    std::optional<FiledRow> m_filed;

    // Whom the document is for, taken when it is begun.
    QString m_companyKey;
    QString m_companyName;
    QString m_contactName;
};
