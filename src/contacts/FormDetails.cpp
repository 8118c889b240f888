#include "FormDetails.h"

#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "platform/Colors.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>

FormDetails::FormDetails()
    : Form(QString::fromLatin1(Name)) {
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    TextMemo = new QLineEdit(this);
    TextMemo->setObjectName(QStringLiteral("TextMemo"));
    TextMemo->setVisible(false);
}

FormDetails* FormDetails::Open(const QString& caption, const QString& memo, const QString& text) {
    auto* details = static_cast<FormDetails*>(Forms::show(QString::fromLatin1(Name)));
    details->Text1->setPlainText(text);
    details->setWindowTitle(caption);
    details->TextMemo->setText(memo);
    return details;
}

void FormDetails::Form_Load() {
    Colors::setBackground(this, Colors::White);
    Twips::setSize(this, 5800, 3600);
    centerOver(Forms::loaded(QStringLiteral("FormCompanies")));
}

void FormDetails::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    Text1->setGeometry(rect());
}

void FormDetails::Form_Unload(bool&) {
    auto* companies = qobject_cast<FormCompanies*>(Forms::loaded(QStringLiteral("FormCompanies")));
    if (!companies)
        return;
    QPlainTextEdit* target = companies->memo(TextMemo->text());
    if (!target)
        return;
    // The text goes in as an edit of the company, also while the window is locked.
    QGroupBox* frame = companies->editFrame();
    const bool locked = !frame->isEnabled();
    if (locked)
        frame->setEnabled(true);
    if (target->toPlainText() != Text1->toPlainText())
        target->setPlainText(Text1->toPlainText());
    if (locked)
        frame->setEnabled(false);
}
