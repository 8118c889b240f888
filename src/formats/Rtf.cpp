#include "Rtf.h"

#include "RtfReader.h"
#include "RtfSplicer.h"
#include "RtfWriter.h"

#include <QTextDocument>

QString Rtf::fromDocument(const QTextDocument& document) {
    return RtfWriter(document).write();
}

bool Rtf::toDocument(const QString& rtf, QTextDocument& document) {
    return RtfReader(document).read(rtf);
}

QString Rtf::fromPlainText(const QString& text) {
    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n");
    if (!text.isEmpty()) {
        QString normalized = text;
        normalized.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
        const QStringList lines = normalized.split(u'\n');
        rtf += QLatin1String("\\pard ");
        for (const QString& line : lines) {
            RtfWriter::appendText(rtf, line);
            rtf += QLatin1String("\\par\n");
        }
    }
    rtf += u'}';
    return rtf;
}

QString Rtf::toPlainText(const QString& rtf) {
    QTextDocument document;
    if (!toDocument(rtf, document))
        return rtf;
    return document.toPlainText();
}

bool Rtf::isRtf(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text.at(i).isSpace())
            return QStringView(text).mid(i).startsWith(QLatin1String("{\\rtf"));
    return false;
}

std::optional<Rtf::Font> Rtf::insertionFont(const QString& templateRtf) {
    const auto font = RtfSplicer(templateRtf).insertionFont();
    if (!font)
        return std::nullopt;
    return Font{font->first, font->second / 2.0};
}

QString Rtf::spliceBody(const QString& templateRtf, const QStringList& fragmentsRtf) {
    RtfSplicer splicer(templateRtf);
    for (const QString& fragment : fragmentsRtf)
        splicer.add(fragment);
    return splicer.result();
}
