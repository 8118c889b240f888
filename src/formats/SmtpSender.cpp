#include "SmtpSender.h"

#include "data/UserProfile.h"
#include "formats/MailMessage.h"

#include <QFile>
#include <cstring>
#include <curl/curl.h>

namespace {

struct Upload {
    const QByteArray* data;
    qsizetype offset = 0;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    const size_t left = size_t(upload->data->size() - upload->offset);
    const size_t n = std::min(left, size * count);
    std::memcpy(buffer, upload->data->constData() + upload->offset, n);
    upload->offset += qsizetype(n);
    return n;
}

struct CurlGlobal {
    CurlGlobal() { curl_global_init(CURL_GLOBAL_DEFAULT); }
    ~CurlGlobal() { curl_global_cleanup(); }
};

QString& caFile() {
    static QString path;
    return path;
}

} // namespace

void SmtpSender::setCaFile(const QString& path) {
    caFile() = path;
}

QString SmtpSender::serverUrl(const QString& server) {
    const QString trimmed = server.trimmed();
    if (trimmed.startsWith(QLatin1String("smtp://"), Qt::CaseInsensitive) ||
        trimmed.startsWith(QLatin1String("smtps://"), Qt::CaseInsensitive))
        return trimmed;
    return QStringLiteral("smtp://") + trimmed;
}

bool SmtpSender::send(const UserProfile& profile, const QString& from,
                      const QStringList& recipients, const QByteArray& message, QString* error) {
    static CurlGlobal global;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (profile.smtpServer.trimmed().isEmpty())
        return fail(QStringLiteral("No mail server is set in your profile."));
    if (recipients.isEmpty())
        return fail(QStringLiteral("The e-mail has no recipient."));
    // An envelope address goes into an SMTP command line of its own.
    for (const QString& address : from.isEmpty() ? recipients : QStringList{from} + recipients)
        if (const QString problem = MailMessage::addressProblem(address); !problem.isEmpty())
            return fail(QStringLiteral("The address \"%1\" %2")
                            .arg(MailMessage::bareAddress(address).simplified(), problem));

    CURL* curl = curl_easy_init();
    if (!curl)
        return fail(QStringLiteral("The mail connection cannot be started."));
    const QByteArray url = serverUrl(profile.smtpServer).toUtf8();
    const QByteArray sender = ("<" + MailMessage::bareAddress(from) + ">").toUtf8();
    const QByteArray user = profile.smtpUser.toUtf8();
    const QByteArray password = profile.smtpPassword.toUtf8();
    const QByteArray trusted = QFile::encodeName(caFile());
    const bool signsIn = !user.isEmpty();
    curl_slist* rcpt = nullptr;
    for (const QString& recipient : recipients)
        rcpt = curl_slist_append(rcpt, ("<" + recipient + ">").toUtf8().constData());
    Upload upload{&message};
    char message_[CURL_ERROR_SIZE] = {0};

    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, sender.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    // Credentials only inside TLS: with CURLUSESSL_ALL a server that offers no
    // STARTTLS is left before AUTH.
    curl_easy_setopt(curl, CURLOPT_USE_SSL, long(signsIn ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!trusted.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, trusted.constData());
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 20L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 120L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message_);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    if (signsIn) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const CURLcode result = curl_easy_perform(curl);
    long response = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    if (result == CURLE_USE_SSL_FAILED)
        return fail(QStringLiteral("The mail server %1 offers no encrypted connection (STARTTLS), "
                                   "so the e-mail was not sent: your password is never sent "
                                   "unencrypted. Under \"Your Profile\" in the main menu, set a "
                                   "server that offers STARTTLS, or its encrypted port "
                                   "(smtps://server:465).")
                        .arg(profile.smtpServer));
    if (result == CURLE_PEER_FAILED_VERIFICATION)
        return fail(QStringLiteral("The mail server %1 could not prove who it is, so the e-mail "
                                   "was not sent: %2")
                        .arg(profile.smtpServer, QString::fromUtf8(message_)));
    if (result != CURLE_OK) {
        QString why = QString::fromUtf8(message_);
        if (why.isEmpty())
            why = QString::fromUtf8(curl_easy_strerror(result));
        if (response >= 400)
            why += QStringLiteral(" (the server answered %1)").arg(response);
        return fail(QStringLiteral("The mail server %1 did not accept the e-mail: %2")
                        .arg(profile.smtpServer, why));
    }
    return true;
}
