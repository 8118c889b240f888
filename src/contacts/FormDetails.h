#pragma once

#include "app/Form.h"

class QLineEdit;
class QPlainTextEdit;

// The zoom window of the companies window's notes (MEMO01) or company
// details (MEMO02): a large editor whose text goes back into the company
// when the window closes, stored with the company at its next save point.
class FormDetails : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormDetails";
    FormDetails();

    // Shows the window on the text of the company field named by memo.
    static FormDetails* Open(const QString& caption, const QString& memo, const QString& text);

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPlainTextEdit* Text1;
    QLineEdit* TextMemo;
};
