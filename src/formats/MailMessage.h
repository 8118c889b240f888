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

    // Checks every address before the message is stored or sent: a line
    // break in an address would end the header line or SMTP command it is
    // written into and start one of the writer's choosing. The message names
    // the address and its field.
    bool checkAddresses(QString* error) const;
    // Why an address cannot be used; empty when it can.
    static QString addressProblem(const QString& address);

    // The text to store or send; Bcc is kept only where the message is stored
    // for the sender (withBcc), never in what recipients get. Every header is
    // written from clean values: names and subjects that are not plain
    // printable ASCII are encoded, so no value can start a header line.
    QByteArray toRfc5322(bool withBcc) const;
    // Every recipient's bare address, for the SMTP envelope.
    QStringList envelopeRecipients() const;

    // "a@b.c; Name <d@e.f>, g@h.i" as a list of addresses as written.
    static QStringList splitAddresses(const QString& text);
    static QString bareAddress(const QString& address);
    // The display name of "Name <a@b.c>" or "\"Doe, John\" <a@b.c>", unquoted.
    static QString displayName(const QString& address);
    // Unstructured header text (a subject): plain where it is printable ASCII,
    // otherwise RFC 2047 encoded words; folded to short lines for a text that
    // starts at the given column (after "Subject: ").
    static QByteArray encodeHeaderWord(const QString& text, qsizetype column = 0);
    // "Thu, 10 Dec 2026 14:30:00 +0000", with the moment's own offset from UTC.
    static QByteArray dateHeader(const QDateTime& moment);
    static QByteArray quotedPrintable(const QByteArray& utf8);
    static QString newMessageId(const QString& fromAddress);

    // A stored message read back: its headers (encoded words decoded, folded
    // lines joined) and its body (quoted-printable or base64 decoded as its
    // headers say). Parts of a multipart message beyond the first text part
    // are left out.
    static MailMessage parse(const QByteArray& rfc5322);
    static QString decodeHeaderWords(const QByteArray& text);
};
