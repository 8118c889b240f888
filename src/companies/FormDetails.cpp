#include "FormDetails.h"

#include "app/Forms.h"
#include "companies/FormCompanies.h"
#include "data/Columns.h"
#include "data/DataSource.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"

#include <QLineEdit>
#include <QPlainTextEdit>

FormDetails::FormDetails()
    : Form(QString::fromLatin1(Name)) {
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    TextMemo = new QLineEdit(this);
    TextMemo->setObjectName(QStringLiteral("TextMemo"));
    TextMemo->setVisible(false);
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
}

FormDetails* FormDetails::Open(const QString& caption, const QString& memo, const QString& text,
                               const QString& company, const QString& name) {
    // A zoom still open on other text first takes that text where it belongs.
    if (Form* open = Forms::loaded(QString::fromLatin1(Name)); open && !open->unload())
        return qobject_cast<FormDetails*>(open);
    auto* details = qobject_cast<FormDetails*>(Forms::show(QString::fromLatin1(Name)));
    if (!details)
        return nullptr;
    details->Text1->setPlainText(text);
    details->setWindowTitle(caption);
    details->TextMemo->setText(memo);
    details->m_company = company;
    details->m_companyName = name;
    details->m_opened = text;
    return details;
}

QString FormDetails::companyGoneMessage(const QString& name) {
    return QStringLiteral("The text cannot be stored: the company \"%1\" it belongs to no longer "
                          "exists.\r\nClose the window without storing the text?")
        .arg(name);
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

void FormDetails::Form_Unload(bool& cancel) {
    if (writeIntoCurrentCompany())
        return;
    if (Text1->toPlainText() == m_opened)
        return; // nothing was changed: nothing to store
    if (!storeIntoCompany())
        cancel = true;
}

bool FormDetails::writeIntoCurrentCompany() {
    auto* companies =
        qobject_cast<FormCompanies*>(Forms::loaded(QString::fromLatin1(FormCompanies::Name)));
    if (!companies || m_company.isEmpty() || companies->companyKey() != m_company)
        return false;
    return companies->setMemoText(TextMemo->text(), Text1->toPlainText());
}

bool FormDetails::storeIntoCompany() {
    const QString memo = TextMemo->text();
    bool isKey = false;
    const qint64 key = m_company.toLongLong(&isKey);
    bool found = false;
    if (isKey && (memo == CompanyColumn::Notes || memo == CompanyColumn::Details)) {
        Data1->setRecordSource(QStringLiteral("SELECT * FROM TABLE01 WHERE ") + CompanyColumn::Key +
                               QStringLiteral(" = ") + QString::number(key));
        if (!DataMessages::refresh(Data1))
            return false;
        found = Data1->rowCount() > 0;
    }
    if (!found)
        return MsgBox::show(companyGoneMessage(m_companyName),
                            MsgBox::YesNo | MsgBox::Exclamation) == MsgBox::Yes;
    // A refused store has been shown; the window stays with the text.
    return Data1->setCurrentValue(Data1->fieldIndex(memo), Text1->toPlainText()) && Data1->save();
}
