#pragma once

#include "app/Form.h"

class DocumentToolbar;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class RichTextBox;

// The template of the all-contacts window's mail merge: one subject and one
// formatted body, written once and then turned into a letter, telefax or
// e-mail for each contact the user produces one for. Done hides the window
// and keeps the template; it goes when the all-contacts window closes.
class FormMailMerge : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormMailMerge";
    FormMailMerge();

    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyDown(QKeyEvent* event) override;

    // Sets the document kind ("LETTER", "TELEFAX" or "EMAIL"), shows the
    // window and puts the focus into the subject.
    void open(const QString& kind);

    void Toolbar1_ButtonClick(const QString& key);
    void CommandDone_Click();
    void myFont();
    void SpellCheck();
    void ShowSignature();

    QString kind() const;
    QString subject() const;
    RichTextBox* document() const { return RichTextBox1; }
    bool fontChosen() const { return m_fontChosen; } // the user chose the body's font

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyKind();
    void arrange();

    DocumentToolbar* Toolbar1;
    QLabel* LabelSubject;
    QLineEdit* TextSubject;
    QLineEdit* TextMethod;
    QLineEdit* TextCompany;
    QLineEdit* TextSalesPerson;
    RichTextBox* RichTextBox1;
    QPushButton* CommandDone;
    QProgressBar* ProgressBar1;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    HoverHelp* m_help;
    bool m_fontChosen = false;
};
