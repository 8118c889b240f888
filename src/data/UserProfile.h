#pragma once

#include <QString>

// Who uses this installation, and how their mail leaves: kept in User.mdb
// (TABLE02) and edited in the profile window. The support request and the
// default signature take the name and company from here.
struct UserProfile {
    QString name;         // TEXT11
    QString company;      // TEXT12
    QString email;        // TEXT13
    QString smtpServer;   // TEXT14: host, host:port or an smtp:// / smtps:// address
    QString smtpUser;     // TEXT15
    QString smtpPassword; // TEXT16

    static UserProfile load(QString* error = nullptr);
    bool save(QString* error = nullptr) const;
};
