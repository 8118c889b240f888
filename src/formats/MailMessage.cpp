#include "MailMessage.h"

#include "platform/Clock.h"

#include <QLocale>
#include <QRegularExpression>
#include <QUuid>

namespace {

// Header lines should stay within 78 characters (RFC 5322 2.1.1).
constexpr qsizetype FoldAt = 78;

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
           c == QChar::ParagraphSeparator || c == QChar(0x85);
}

bool isControl(QChar c) {
    return c.unicode() < 32 || (c.unicode() >= 127 && c.unicode() < 160) || isLineBreak(c);
}

bool isPrintableAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 32 || c.unicode() > 126)
            return false;
    return true;
}

// An address as a message can show it: each run of control characters as one blank.
QString readable(const QString& address) {
    QString shown;
    bool gap = false;
    for (QChar c : address) {
        if (isControl(c)) {
            gap = true;
            continue;
        }
        if (gap && !shown.isEmpty())
            shown += u' ';
        gap = false;
        shown += c;
    }
    return shown;
}

// A header value without control characters, whatever it was given.
QString withoutControls(const QString& text) {
    QString clean;
    for (QChar c : text)
        if (!isControl(c))
            clean += c;
    return clean;
}

// Breaks header text that starts at the given column before blanks, so that
// its lines stay short where the words allow; removing every CRLF gives the
// text back.
QByteArray fold(const QByteArray& line, qsizetype column) {
    const QList<QByteArray> words = line.split(' ');
    QByteArray out = words.first();
    qsizetype length = column + out.size();
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QByteArray& word = words.at(i);
        // A continuation line of blanks alone is not allowed: fold before words only.
        if (!word.isEmpty() && length + 1 + word.size() > FoldAt) {
            out += "\r\n";
            length = 0;
        }
        out += ' ' + word;
        length += 1 + word.size();
    }
    return out;
}

// RFC 2047 encoded words of at most 39 bytes of UTF-8 each (so that a word
// after "Subject: " stays within 78 characters), split between characters,
// one to a line.
QByteArray encodedWords(const QString& text) {
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
        if (chunk.size() + bytes.size() > 39)
            flush();
        chunk += bytes;
    }
    flush();
    return result;
}

// A display name as an RFC 5322 phrase: atoms as they are, a quoted string
// where the name holds separators (the comma of "Doe, John"), encoded words
// where it is not printable ASCII.
QByteArray phrase(const QString& name) {
    if (!isPrintableAscii(name) || name.contains(QLatin1String("=?")))
        return encodedWords(name);
    static const QString specials = QStringLiteral("()<>[]:;@\\,.\"");
    bool plain =
        !name.startsWith(u' ') && !name.endsWith(u' ') && !name.contains(QLatin1String("  "));
    for (QChar c : name)
        plain &= !specials.contains(c);
    if (plain)
        return name.toLatin1();
    QByteArray quoted = "\"";
    for (QChar c : name) {
        if (c == u'"' || c == u'\\')
            quoted += '\\';
        quoted += char(c.unicode());
    }
    return quoted + '"';
}

} // namespace

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

QString MailMessage::displayName(const QString& address) {
    const qsizetype open = address.lastIndexOf(u'<');
    QString name = open > 0 ? address.left(open).trimmed() : QString();
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
        const QString inside = name.mid(1, name.size() - 2);
        name.clear();
        for (qsizetype i = 0; i < inside.size(); ++i) {
            if (inside.at(i) == u'\\' && i + 1 < inside.size())
                ++i;
            name += inside.at(i);
        }
    }
    return name;
}

QString MailMessage::addressProblem(const QString& address) {
    for (QChar c : address) {
        if (isLineBreak(c))
            return QStringLiteral("contains a line break. Write the addresses on one line, "
                                  "separated by \";\".");
        if (isControl(c))
            return QStringLiteral("contains a control character.");
    }
    // What goes between the angle brackets of the SMTP envelope and the
    // header: local@domain without blanks, brackets or separators.
    const QString bare = bareAddress(address);
    static const QString forbidden = QStringLiteral("<>()[],;:\\\"");
    bool valid = bare.count(u'@') == 1 && !bare.startsWith(u'@') && !bare.endsWith(u'@');
    for (QChar c : bare)
        valid &= !c.isSpace() && !forbidden.contains(c);
    if (!valid)
        return QStringLiteral("is not an e-mail address.");
    return {};
}

bool MailMessage::checkAddresses(QString* error) const {
    const QStringList sender = from.isEmpty() ? QStringList() : QStringList{from};
    const std::pair<const QStringList*, QString> fields[] = {
        {&sender, QStringLiteral("your profile")},
        {&to, QStringLiteral("To")},
        {&cc, QStringLiteral("Cc")},
        {&bcc, QStringLiteral("Bcc")}};
    for (const auto& [addresses, field] : fields)
        for (const QString& address : *addresses) {
            const QString problem = addressProblem(address);
            if (problem.isEmpty())
                continue;
            if (error)
                *error = QStringLiteral("The address \"%1\" in %2 %3")
                             .arg(readable(address), field, problem);
            return false;
        }
    return true;
}

QByteArray MailMessage::encodeHeaderWord(const QString& text, qsizetype column) {
    // Plain text only where nothing in it can end the line or be taken for an
    // encoded word; the rest is encoded, line breaks included.
    if (isPrintableAscii(text) && !text.contains(QLatin1String("=?")))
        return fold(text.toLatin1(), column);
    return encodedWords(text);
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
    QString domain = bareAddress(fromAddress).section(u'@', 1);
    for (QChar c : domain)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'.' && c != u'-')
            domain.clear();
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
    // Control characters are left out of addresses here as well, so that
    // even an unchecked message cannot carry a header of its own.
    auto addressList = [](const QStringList& addresses) {
        QList<QByteArray> encoded;
        for (const QString& address : addresses) {
            const QByteArray bare = withoutControls(bareAddress(address)).toUtf8();
            const QString name = displayName(address);
            if (name.isEmpty())
                encoded.append(bare);
            else
                encoded.append(phrase(name) + " <" + bare + ">");
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
    text += "Subject: " + encodeHeaderWord(subject, 9) + "\r\n";
    const bool ownId = isPrintableAscii(messageId) && !messageId.contains(u' ') &&
                       messageId.startsWith(u'<') && messageId.endsWith(u'>');
    text += "Message-ID: " + (ownId ? messageId : newMessageId(from)).toLatin1() + "\r\n";
    text += "MIME-Version: 1.0\r\n";
    text += "Content-Type: text/plain; charset=UTF-8\r\n";
    text += "Content-Transfer-Encoding: quoted-printable\r\n";
    text += "X-Mailer: Tessaly\r\n\r\n";
    text += quotedPrintable(body.toUtf8());
    if (!text.endsWith("\r\n"))
        text += "\r\n";
    return text;
}

QString MailMessage::decodeHeaderWords(const QByteArray& text) {
    // =?charset?B|Q?text?= words; the blanks between two words go.
    static const QRegularExpression word(QStringLiteral(R"(=\?([^?]+)\?([BbQq])\?([^?]*)\?=)"));
    const QString input = QString::fromUtf8(text);
    QString out;
    qsizetype from = 0;
    bool lastWasWord = false;
    for (auto it = word.globalMatch(input); it.hasNext();) {
        const auto m = it.next();
        const QString between = input.mid(from, m.capturedStart() - from);
        if (!(lastWasWord && between.trimmed().isEmpty()))
            out += between;
        const QByteArray raw = m.captured(3).toLatin1();
        QByteArray bytes;
        if (m.captured(2).compare(QLatin1String("B"), Qt::CaseInsensitive) == 0) {
            bytes = QByteArray::fromBase64(raw);
        } else {
            QByteArray q = raw;
            q.replace('_', ' ');
            bytes = QByteArray::fromPercentEncoding(q, '=');
        }
        out += m.captured(1).compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0
                   ? QString::fromUtf8(bytes)
                   : QString::fromLatin1(bytes);
        from = m.capturedEnd();
        lastWasWord = true;
    }
    out += input.mid(from);
    return out;
}

MailMessage MailMessage::parse(const QByteArray& rfc5322) {
    MailMessage message;
    QByteArray text = rfc5322;
    text.replace("\r\n", "\n");
    const qsizetype end = text.indexOf("\n\n");
    const QByteArray head = end < 0 ? text : text.left(end);
    QByteArray body = end < 0 ? QByteArray() : text.mid(end + 2);
    // Folded header lines continue with a blank or a tab.
    QList<QByteArray> lines;
    for (const QByteArray& line : head.split('\n')) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !lines.isEmpty())
            lines.last() += ' ' + line.trimmed();
        else
            lines.append(line);
    }
    QByteArray encoding;
    for (const QByteArray& line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "from")
            message.from = decodeHeaderWords(value);
        else if (name == "to")
            message.to = splitAddresses(decodeHeaderWords(value));
        else if (name == "cc")
            message.cc = splitAddresses(decodeHeaderWords(value));
        else if (name == "bcc")
            message.bcc = splitAddresses(decodeHeaderWords(value));
        else if (name == "subject")
            message.subject = decodeHeaderWords(value);
        else if (name == "message-id")
            message.messageId = QString::fromLatin1(value);
        else if (name == "date")
            message.date = QDateTime::fromString(QString::fromLatin1(value), Qt::RFC2822Date);
        else if (name == "content-transfer-encoding")
            encoding = value.toLower();
    }
    if (encoding == "quoted-printable") {
        body.replace("=\n", "");
        body = QByteArray::fromPercentEncoding(body, '=');
    } else if (encoding == "base64") {
        body = QByteArray::fromBase64(body);
    }
    message.body = QString::fromUtf8(body);
    message.body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (message.body.endsWith(u'\n'))
        message.body.chop(1);
    return message;
}
