#pragma once

#include <QString>

// Who uses this installation, and how their mail leaves: kept in User.mdb
// (TABLE02) and edited in the profile window. The support request and the
// default signature take the name and company from here, the letterhead
// the company's details.
struct UserProfile {
    QString name;         // TEXT11
    QString company;      // TEXT12
    QString email;        // TEXT13
    QString smtpServer;   // TEXT14: host, host:port or an smtp:// / smtps:// address
    QString smtpUser;     // TEXT15
    QString smtpPassword; // TEXT16
    // The letterhead's details (the company name and e-mail address above
    // serve it too).
    QString streetAddress;    // TEXT17
    QString postalCode;       // TEXT18
    QString city;             // TEXT19
    QString telephone;        // TEXT20
    QString telefax;          // TEXT21
    QString registeredOffice; // TEXT22
    QString bankDetails;      // TEXT23

    static UserProfile load(QString* error = nullptr);
    bool save(QString* error = nullptr) const;
};
