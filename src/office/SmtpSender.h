#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct UserProfile;

// Sends a message over SMTP with libcurl, to the server named in the user's
// profile (host, host:port, smtp://host:port or smtps://host:port), with the
// profile's user and password when one is set and STARTTLS when the server
// offers it. Blocking: the caller shows the hourglass meanwhile.
class SmtpSender {
public:
    static bool send(const UserProfile& profile, const QString& from, const QStringList& recipients,
                     const QByteArray& message, QString* error);
    static QString serverUrl(const QString& server);
};
