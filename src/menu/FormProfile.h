#pragma once

#include "app/Form.h"

class DataSource;
class QLineEdit;
class QPushButton;

// "Your Profile": the user's name, company and e-mail address, the company's
// details that its letterhead shows, and the mail server that sends their
// e-mail. Kept in User.mdb.
class FormProfile : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormProfile";
    FormProfile();

    void Form_Load() override;
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    QLineEdit* TextName;
    QLineEdit* TextCompany;
    QLineEdit* TextEmail;
    QLineEdit* TextStreetAddress;
    QLineEdit* TextPostalCode;
    QLineEdit* TextCity;
    QLineEdit* TextTelephone;
    QLineEdit* TextTelefax;
    QLineEdit* TextRegisteredOffice;
    QLineEdit* TextBankDetails;
    QLineEdit* TextSmtpServer;
    QLineEdit* TextSmtpUser;
    QLineEdit* TextSmtpPassword;
    QPushButton* CommandOK;
    QPushButton* CommandCancel;
    DataSource* Data1;
};
