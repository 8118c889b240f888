#pragma once

#include "app/Form.h"

#include <QPointer>

class DataSource;
class QPlainTextEdit;
class QPushButton;
class RichTextBox;

// The user's signature (User.mdb TABLE02.TEXT06), inserted into a document
// editor at its caret. The first time it is empty it offers a signature made
// from the user's profile. OK stores the text, inserts it and hides the
// window, which keeps the text for the next time.
class FormSignature : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormSignature";
    FormSignature();

    // Shows the window for the editor that asks for the signature.
    static FormSignature* Open(QWidget* editor);
    // "Best Regards," and the user's name and company from the profile.
    static QString DefaultSignature();

    void Form_Load() override;
    void Form_Activate() override;
    void CommandOK_Click();

private:
    // The document the signature goes into: the editor that asked for it,
    // or else the visible document editor, or else the visible mail-merge
    // editor; nullptr when none is visible.
    RichTextBox* targetDocument() const;

    QPlainTextEdit* TextSignature;
    QPushButton* CommandOK;
    DataSource* Data1;
    QPointer<QWidget> m_editor;
};
