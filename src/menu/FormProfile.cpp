#include "FormProfile.h"

#include "data/DataSource.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QLineEdit* field(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}
} // namespace

FormProfile::FormProfile()
    : Form(QString::fromLatin1(Name)) {
    TextName = field(this, "TextName");
    TextCompany = field(this, "TextCompany");
    TextEmail = field(this, "TextEmail");
    TextStreetAddress = field(this, "TextStreetAddress");
    TextPostalCode = field(this, "TextPostalCode");
    TextCity = field(this, "TextCity");
    TextTelephone = field(this, "TextTelephone");
    TextTelefax = field(this, "TextTelefax");
    TextRegisteredOffice = field(this, "TextRegisteredOffice");
    TextBankDetails = field(this, "TextBankDetails");
    TextSmtpServer = field(this, "TextSmtpServer");
    TextSmtpServer->setPlaceholderText(QStringLiteral("mail.example.com:587"));
    TextSmtpUser = field(this, "TextSmtpUser");
    TextSmtpPassword = field(this, "TextSmtpPassword");
    TextSmtpPassword->setEchoMode(QLineEdit::Password);
    CommandOK = new QPushButton(QStringLiteral("&OK"), this);
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    CommandCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    CommandCancel->setObjectName(QStringLiteral("CommandCancel"));
    connect(CommandOK, &QPushButton::clicked, this, &FormProfile::CommandOK_Click);
    connect(CommandCancel, &QPushButton::clicked, this, &FormProfile::CommandCancel_Click);

    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("User.mdb"));
    Data1->setRecordSource(QStringLiteral("TABLE02"));
    FieldBinder::bind(Data1, TextName, QStringLiteral("TEXT11"));
    FieldBinder::bind(Data1, TextCompany, QStringLiteral("TEXT12"));
    FieldBinder::bind(Data1, TextEmail, QStringLiteral("TEXT13"));
    FieldBinder::bind(Data1, TextStreetAddress, QStringLiteral("TEXT17"));
    FieldBinder::bind(Data1, TextPostalCode, QStringLiteral("TEXT18"));
    FieldBinder::bind(Data1, TextCity, QStringLiteral("TEXT19"));
    FieldBinder::bind(Data1, TextTelephone, QStringLiteral("TEXT20"));
    FieldBinder::bind(Data1, TextTelefax, QStringLiteral("TEXT21"));
    FieldBinder::bind(Data1, TextRegisteredOffice, QStringLiteral("TEXT22"));
    FieldBinder::bind(Data1, TextBankDetails, QStringLiteral("TEXT23"));
    FieldBinder::bind(Data1, TextSmtpServer, QStringLiteral("TEXT14"));
    FieldBinder::bind(Data1, TextSmtpUser, QStringLiteral("TEXT15"));
    FieldBinder::bind(Data1, TextSmtpPassword, QStringLiteral("TEXT16"));

    auto* you = new QFormLayout;
    you->addRow(QStringLiteral("Your name:"), TextName);
    you->addRow(QStringLiteral("Your company:"), TextCompany);
    you->addRow(QStringLiteral("Your e-mail address:"), TextEmail);
    auto* letterhead = new QFormLayout;
    auto* town = new QHBoxLayout;
    town->addWidget(TextPostalCode, 1);
    town->addWidget(TextCity, 3);
    letterhead->addRow(QStringLiteral("Street address:"), TextStreetAddress);
    letterhead->addRow(QStringLiteral("Postal code and city:"), town);
    letterhead->addRow(QStringLiteral("Telephone:"), TextTelephone);
    letterhead->addRow(QStringLiteral("Telefax:"), TextTelefax);
    letterhead->addRow(QStringLiteral("Registered office:"), TextRegisteredOffice);
    letterhead->addRow(QStringLiteral("Bank details:"), TextBankDetails);
    auto* letterheadNote = new QLabel(
        QStringLiteral("Letters and telefaxes show your company's details on the letterhead."),
        this);
    letterheadNote->setWordWrap(true);
    auto* mail = new QFormLayout;
    mail->addRow(QStringLiteral("Mail server (SMTP):"), TextSmtpServer);
    mail->addRow(QStringLiteral("User name:"), TextSmtpUser);
    mail->addRow(QStringLiteral("Password:"), TextSmtpPassword);
    auto* note =
        new QLabel(QStringLiteral("Without a mail server, e-mails wait in the Outbox."), this);
    note->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CommandOK);
    buttons->addWidget(CommandCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(you);
    layout->addSpacing(12);
    layout->addLayout(letterhead);
    layout->addWidget(letterheadNote);
    layout->addSpacing(12);
    layout->addLayout(mail);
    layout->addWidget(note);
    layout->addLayout(buttons);
}

void FormProfile::Form_Load() {
    setWindowTitle(QStringLiteral("Your Profile"));
    resize(460, 520);
    DataMessages::refresh(Data1);
}

void FormProfile::CommandOK_Click() {
    if (Data1->save())
        unload();
}

void FormProfile::CommandCancel_Click() {
    Data1->recordset()->cancelUpdate();
    unload();
}
