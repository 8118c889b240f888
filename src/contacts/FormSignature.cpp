#include "FormSignature.h"

#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/UserProfile.h"
#include "services/Clipboard.h"
#include "services/Colors.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"
#include "widgets/RichTextBox.h"

#include <QPlainTextEdit>
#include <QPushButton>

FormSignature::FormSignature()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    setWindowTitle(QStringLiteral("Signature"));
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("User.mdb"));
    Data1->setRecordSource(QStringLiteral("TABLE02"));
    TextSignature = new QPlainTextEdit(this);
    TextSignature->setObjectName(QStringLiteral("TextSignature"));
    Twips::setGeometry(TextSignature, 120, 120, 4980, 2400);
    FieldBinder::bind(Data1, TextSignature, QStringLiteral("TEXT06"));
    CommandOK = new QPushButton(QStringLiteral("&OK"), this);
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    Twips::setGeometry(CommandOK, 3840, 2640, 1260, 375);
    connect(CommandOK, &QPushButton::clicked, this, &FormSignature::CommandOK_Click);
}

FormSignature* FormSignature::Open(QWidget* editor) {
    auto* signature = Forms::get<FormSignature>();
    if (!signature)
        return nullptr;
    signature->m_editor = editor;
    if (!signature->isVisible())
        signature->centerOver(editor ? editor->window() : nullptr);
    Forms::show(QString::fromLatin1(Name));
    return signature;
}

QString FormSignature::DefaultSignature() {
    const UserProfile profile = UserProfile::load();
    return QStringLiteral("Best Regards,\r\n\r\n") + profile.name + QStringLiteral("\r\n") +
           profile.company;
}

void FormSignature::Form_Load() {
    Colors::setBackground(this, Colors::White);
    // The design height counts the caption bar.
    Twips::setFixedSize(this, 5220, 3600 - 400);
    setKeyPreview(true);
    DataMessages::refresh(Data1);
}

void FormSignature::Form_Activate() {
    if (TextSignature->toPlainText().isEmpty())
        TextSignature->setPlainText(DefaultSignature());
}

RichTextBox* FormSignature::targetDocument() const {
    auto documentOf = [](const QWidget* window) -> RichTextBox* {
        return window && window->isVisible()
                   ? window->findChild<RichTextBox*>(QStringLiteral("RichTextBox1"))
                   : nullptr;
    };
    if (RichTextBox* asked = documentOf(m_editor))
        return asked;
    if (RichTextBox* editor = documentOf(Forms::loaded(QStringLiteral("FormWrite"))))
        return editor;
    return documentOf(Forms::loaded(QStringLiteral("FormMailMerge")));
}

void FormSignature::CommandOK_Click() {
    RichTextBox* document = targetDocument();
    if (!document)
        return;
    // The refresh stores the signature as edited.
    DataMessages::refresh(Data1);
    Clipboard::setText(TextSignature->toPlainText());
    document->setSelText(Clipboard::text());
    Clipboard::clear();
    hide();
    document->window()->activateWindow();
    document->setFocus();
}
