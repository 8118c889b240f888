#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct UserProfile;

// Sends a message over SMTP with libcurl, to the server named in the user's
// profile (host, host:port, smtp://host:port or smtps://host:port), with the
// profile's user and password when one is set. Blocking: the caller shows
// the hourglass meanwhile.
//
// A password goes only over TLS (STARTTLS or smtps://): a server that offers
// neither gets nothing, and the user is told why. Without a password the mail
// goes over TLS when the server offers STARTTLS, otherwise in plain SMTP. The
// server's certificate is always verified.
class SmtpSender {
public:
    static bool send(const UserProfile& profile, const QString& from, const QStringList& recipients,
                     const QByteArray& message, QString* error);
    static QString serverUrl(const QString& server);

    // Test hook: trust the certificates in this PEM file instead of the
    // system's (a test server's own); empty for the system's again.
    static void setCaFile(const QString& path);
};
