#include "VCard.h"

#include <QRegularExpression>

namespace VCard {

namespace {

QString escaped(QString value) {
    value.replace(u'\\', QStringLiteral("\\\\"));
    value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    value.replace(u'\r', u'\n');
    value.replace(u'\n', QStringLiteral("\\n"));
    value.replace(u',', QStringLiteral("\\,"));
    value.replace(u';', QStringLiteral("\\;"));
    return value;
}

// A content line folded so that no line is longer than 75 octets, never
// inside a UTF-8 sequence.
QByteArray folded(const QString& line) {
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    int length = 0;
    for (qsizetype i = 0; i < utf8.size();) {
        qsizetype next = i + 1;
        while (next < utf8.size() && (uchar(utf8[next]) & 0xC0) == 0x80)
            ++next;
        if (length + (next - i) > 75) {
            out += "\r\n ";
            length = 1;
        }
        out += utf8.mid(i, next - i);
        length += int(next - i);
        i = next;
    }
    return out + "\r\n";
}

void property(QByteArray& out, const QString& name, const QString& value) {
    if (!value.trimmed().isEmpty())
        out += folded(name + u':' + escaped(value.trimmed()));
}

QString unescaped(const QString& value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar c = value[++i];
            out += c == u'n' || c == u'N' ? QChar(u'\n') : c;
        } else {
            out += value[i];
        }
    }
    return out;
}

// A structured value's components, split at unescaped semicolons.
QStringList components(const QString& value) {
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            parts.last() += value.mid(i, 2);
            ++i;
        } else if (value[i] == u';') {
            parts.append(QString());
        } else {
            parts.last() += value[i];
        }
    }
    for (QString& part : parts)
        part = unescaped(part);
    return parts;
}

} // namespace

QString write(const QList<Contact>& contacts) {
    QByteArray out;
    for (const Contact& c : contacts) {
        out += "BEGIN:VCARD\r\nVERSION:4.0\r\n";
        const QString full = QStringList{c.firstName.trimmed(), c.lastName.trimmed()}
                                 .filter(QRegularExpression(QStringLiteral("\\S")))
                                 .join(u' ');
        out += folded(QStringLiteral("FN:") + escaped(full.isEmpty() ? c.company : full));
        out += folded(QStringLiteral("N:") + escaped(c.lastName.trimmed()) + u';' +
                      escaped(c.firstName.trimmed()) + QStringLiteral(";;") +
                      escaped(c.title.trimmed()) + u';');
        property(out, QStringLiteral("ORG"), c.company);
        property(out, QStringLiteral("TITLE"), c.jobTitle);
        if (!c.street.trimmed().isEmpty() || !c.city.trimmed().isEmpty() ||
            !c.postalCode.trimmed().isEmpty())
            out += folded(QStringLiteral("ADR;TYPE=work:;;") + escaped(c.street.trimmed()) + u';' +
                          escaped(c.city.trimmed()) + u';' + u';' +
                          escaped(c.postalCode.trimmed()) + u';');
        property(out, QStringLiteral("TEL;VALUE=text;TYPE=\"work,voice\""), c.telephone);
        property(out, QStringLiteral("TEL;VALUE=text;TYPE=\"work,fax\""), c.telefax);
        property(out, QStringLiteral("TEL;VALUE=text;TYPE=cell"), c.cellphone);
        property(out, QStringLiteral("EMAIL;TYPE=work"), c.email);
        property(out, QStringLiteral("URL"), c.website);
        property(out, QStringLiteral("RELATED;VALUE=text;TYPE=co-worker"), c.assistant);
        out += "END:VCARD\r\n";
    }
    return QString::fromUtf8(out);
}

QList<Contact> parse(const QString& text) {
    // Unfold: a line break followed by a blank or tab continues the line.
    QString unfolded = text;
    unfolded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unfolded.replace(u'\r', u'\n');
    unfolded.replace(QStringLiteral("\n "), QString());
    unfolded.replace(QStringLiteral("\n\t"), QString());
    QList<Contact> contacts;
    Contact card;
    bool inCard = false;
    for (const QString& line : unfolded.split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon <= 0)
            continue;
        const QStringList head = line.left(colon).split(u';');
        // "item1.TEL": a group name before the property's.
        const QString name = head.first().section(u'.', -1).toUpper();
        const QString params = head.mid(1).join(u';').toLower();
        const QString value = line.mid(colon + 1);
        if (name == QLatin1String("BEGIN")) {
            card = Contact();
            inCard = true;
        } else if (name == QLatin1String("END") && inCard) {
            if (!card.firstName.isEmpty() || !card.lastName.isEmpty())
                contacts.append(card);
            inCard = false;
        } else if (!inCard) {
            continue;
        } else if (name == QLatin1String("N")) {
            const QStringList n = components(value);
            card.lastName = n.value(0);
            card.firstName = n.value(1);
            card.title = n.value(3);
        } else if (name == QLatin1String("FN") && card.firstName.isEmpty() &&
                   card.lastName.isEmpty()) {
            const QString full = unescaped(value).trimmed();
            card.firstName = full.section(u' ', 0, 0);
            card.lastName = full.section(u' ', 1);
        } else if (name == QLatin1String("ORG")) {
            card.company = components(value).value(0);
        } else if (name == QLatin1String("TITLE")) {
            card.jobTitle = unescaped(value);
        } else if (name == QLatin1String("ADR")) {
            const QStringList a = components(value);
            card.street = a.value(2);
            card.city = a.value(3);
            card.postalCode = a.value(5);
        } else if (name == QLatin1String("TEL")) {
            const QString number = unescaped(value).remove(QStringLiteral("tel:"));
            if (params.contains(QLatin1String("fax")))
                card.telefax = number;
            else if (params.contains(QLatin1String("cell")))
                card.cellphone = number;
            else if (card.telephone.isEmpty())
                card.telephone = number;
        } else if (name == QLatin1String("EMAIL") && card.email.isEmpty()) {
            card.email = unescaped(value);
        } else if (name == QLatin1String("URL")) {
            card.website = unescaped(value);
        } else if (name == QLatin1String("RELATED") || name == QLatin1String("X-ASSISTANT")) {
            card.assistant = unescaped(value);
        }
    }
    return contacts;
}

} // namespace VCard
