#include "MailMessage.h"

#include "platform/Clock.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

QStringList MailMessage::splitAddresses(const QString& text) {
    QStringList addresses;
    QString current;
    bool quoted = false;
    int angle = 0;
    for (QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'<')
            ++angle;
        else if (c == u'>')
            angle = std::max(0, angle - 1);
        if ((c == u',' || c == u';') && !quoted && angle == 0) {
            if (!current.trimmed().isEmpty())
                addresses.append(current.trimmed());
            current.clear();
            continue;
        }
        current.append(c);
    }
    if (!current.trimmed().isEmpty())
        addresses.append(current.trimmed());
    return addresses;
}

QString MailMessage::bareAddress(const QString& address) {
    const qsizetype open = address.lastIndexOf(u'<');
    const qsizetype close = address.lastIndexOf(u'>');
    if (open >= 0 && close > open)
        return address.mid(open + 1, close - open - 1).trimmed();
    return address.trimmed();
}

QByteArray MailMessage::encodeHeaderWord(const QString& text) {
    bool ascii = true;
    for (QChar c : text)
        ascii &= c.unicode() < 128 && c.unicode() >= 32;
    if (ascii)
        return text.toLatin1();
    // Encoded words of at most 45 bytes of UTF-8 each, split between characters.
    QByteArray result;
    QByteArray chunk;
    auto flush = [&] {
        if (chunk.isEmpty())
            return;
        if (!result.isEmpty())
            result += "\r\n ";
        result += "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (uint codePoint : text.toUcs4()) {
        const QByteArray bytes =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1).toUtf8();
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
    }
    flush();
    return result;
}

QByteArray MailMessage::quotedPrintable(const QByteArray& utf8) {
    QByteArray out;
    int lineLength = 0;
    auto append = [&](const QByteArray& piece) {
        if (lineLength + piece.size() > 75) {
            out += "=\r\n";
            lineLength = 0;
        }
        out += piece;
        lineLength += int(piece.size());
    };
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(utf8.at(i));
        if (c == '\r' && i + 1 < utf8.size() && utf8.at(i + 1) == '\n')
            continue; // the LF ends the line
        if (c == '\n') {
            // A blank before a line end would be lost in transport.
            if (out.endsWith(' ') || out.endsWith('\t')) {
                const char last = out.back();
                out.chop(1);
                --lineLength;
                append(QByteArray("=") +
                       QByteArray::number(uchar(last), 16).toUpper().rightJustified(2, '0'));
            }
            out += "\r\n";
            lineLength = 0;
            continue;
        }
        if ((c >= 33 && c <= 126 && c != '=') || c == ' ' || c == '\t')
            append(QByteArray(1, char(c)));
        else
            append(QByteArray("=") + QByteArray::number(c, 16).toUpper().rightJustified(2, '0'));
    }
    return out;
}

QString MailMessage::newMessageId(const QString& fromAddress) {
    const QString domain = bareAddress(fromAddress).section(u'@', 1);
    return QStringLiteral("<%1@%2>").arg(QUuid::createUuid().toString(QUuid::WithoutBraces),
                                         domain.isEmpty() ? QStringLiteral("tessaly.localhost")
                                                          : domain);
}

QByteArray MailMessage::dateHeader(const QDateTime& moment) {
    // The day and month names are English whatever the user's locale.
    QByteArray text =
        QLocale::c().toString(moment, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")).toLatin1();
    const int offset = moment.offsetFromUtc() / 60;
    const int hours = std::abs(offset) / 60;
    const int minutes = std::abs(offset) % 60;
    text += offset < 0 ? '-' : '+';
    text += QByteArray::number(hours).rightJustified(2, '0');
    text += QByteArray::number(minutes).rightJustified(2, '0');
    return text;
}

QStringList MailMessage::envelopeRecipients() const {
    QStringList all;
    for (const QStringList* list : {&to, &cc, &bcc})
        for (const QString& address : *list)
            all.append(bareAddress(address));
    return all;
}

QByteArray MailMessage::toRfc5322(bool withBcc) const {
    auto addressList = [](const QStringList& addresses) {
        QList<QByteArray> encoded;
        for (const QString& address : addresses) {
            const QString bare = bareAddress(address);
            const qsizetype open = address.lastIndexOf(u'<');
            QString name = open > 0 ? address.left(open).trimmed() : QString();
            if (name.startsWith(u'"') && name.endsWith(u'"') && name.size() >= 2)
                name = name.mid(1, name.size() - 2);
            if (name.isEmpty())
                encoded.append(bare.toUtf8());
            else
                encoded.append(encodeHeaderWord(name) + " <" + bare.toUtf8() + ">");
        }
        return encoded.join(",\r\n ");
    };
    QByteArray text;
    text += "Date: " + dateHeader(date.isValid() ? date : Clock::now()) + "\r\n";
    if (!from.isEmpty())
        text += "From: " + addressList({from}) + "\r\n";
    if (!to.isEmpty())
        text += "To: " + addressList(to) + "\r\n";
    if (!cc.isEmpty())
        text += "Cc: " + addressList(cc) + "\r\n";
    if (withBcc && !bcc.isEmpty())
        text += "Bcc: " + addressList(bcc) + "\r\n";
    text += "Subject: " + encodeHeaderWord(subject) + "\r\n";
    text +=
        "Message-ID: " + (messageId.isEmpty() ? newMessageId(from) : messageId).toLatin1() + "\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: quoted-printable\r\n";
    text += "X-Mailer: Tessaly\r\n\r\n";
    text += quotedPrintable(body.toUtf8());
    if (!text.endsWith("\r\n"))
        text += "\r\n";
    return text;
}
