#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// An e-mail as RFC 5322 text: UTF-8, headers with non-ASCII words encoded,
// the body quoted-printable, CRLF line ends.
struct MailMessage {
    QString from; // "Ann Smith <ann@example.com>" or a bare address
    QStringList to, cc, bcc;
    QString subject;
    QString body;
    QDateTime date; // the program's clock when not set
    QString messageId;

    // The text to store or send; Bcc is kept only where the message is stored
    // for the sender (withBcc), never in what recipients get.
    QByteArray toRfc5322(bool withBcc) const;
    // Every recipient's bare address, for the SMTP envelope.
    QStringList envelopeRecipients() const;

    // "a@b.c; Name <d@e.f>, g@h.i" as a list of addresses as written.
    static QStringList splitAddresses(const QString& text);
    static QString bareAddress(const QString& address);
    static QByteArray encodeHeaderWord(const QString& text);
    // "Thu, 10 Dec 2026 14:30:00 +0000", with the moment's own offset from UTC.
    static QByteArray dateHeader(const QDateTime& moment);
    static QByteArray quotedPrintable(const QByteArray& utf8);
    static QString newMessageId(const QString& fromAddress);
};
