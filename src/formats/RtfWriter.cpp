#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

QLatin1String alignmentWord(Qt::Alignment alignment) {
    switch (alignment & Qt::AlignHorizontal_Mask) {
    case Qt::AlignHCenter:
        return QLatin1String("\\qc");
    case Qt::AlignRight:
        return QLatin1String("\\qr");
    case Qt::AlignJustify:
        return QLatin1String("\\qj");
    default:
        return QLatin1String(); // \pard already means left
    }
}

// The font size in half points; a font sized in pixels is taken at 96 dpi.
int halfPoints(const QFont& font) {
    if (font.pointSizeF() > 0)
        return std::max(1, qRound(font.pointSizeF() * 2));
    if (font.pixelSize() > 0)
        return std::max(1, qRound(font.pixelSize() * 0.75 * 2));
    return 24;
}

} // namespace

RtfWriter::RtfWriter(const QTextDocument& document)
    : m_document(document) {}

void RtfWriter::appendText(QString& out, QStringView text) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += u'\\';
            out += c;
        } else if (u == u'\t') {
            out += QLatin1String("\\tab ");
        } else if (u == 0x2028) {
            out += QLatin1String("\\line ");
        } else if (u < 0x20 || u == 0x7F || u == 0xFFFC || u == 0x2029) {
            continue; // controls and object placeholders have no text
        } else if (u < 0x80) {
            out += c;
        } else {
            // A signed 16-bit number; surrogates of astral characters come
            // one after the other, each with its own fallback.
            out +=
                QLatin1String("\\u") + QString::number(u > 32767 ? int(u) - 65536 : int(u)) + u'?';
        }
    }
}

QString RtfWriter::write() {
    const QFont defaultFont = m_document.defaultFont();
    fontIndex(defaultFont.families().value(0, defaultFont.family())); // \deff0

    QString body;
    QString current; // the character properties in effect
    if (!m_document.isEmpty()) {
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            body += QLatin1String("\\pard") + alignmentWord(block.blockFormat().alignment()) + u' ';
            bool empty = true;
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid())
                    continue;
                const QString properties = characterProperties(fragment.charFormat());
                if (properties != current) {
                    body += properties;
                    current = properties;
                }
                appendText(body, fragment.text());
                empty = false;
            }
            // An empty paragraph keeps the size of its mark.
            if (empty) {
                const QString properties = characterProperties(block.charFormat());
                if (properties != current) {
                    body += properties;
                    current = properties;
                }
            }
            body += QLatin1String("\\par\n");
        }
    }

    QString rtf = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl");
    for (int i = 0; i < m_fonts.size(); ++i) {
        QString name;
        appendText(name, QString(m_fonts.at(i)).remove(u';'));
        rtf += QStringLiteral("{\\f%1\\fnil\\fcharset0 %2;}").arg(i).arg(name);
    }
    rtf += QLatin1String("}\n{\\colortbl ;");
    for (const QRgb color : std::as_const(m_colors))
        rtf += QStringLiteral("\\red%1\\green%2\\blue%3;")
                   .arg(qRed(color))
                   .arg(qGreen(color))
                   .arg(qBlue(color));
    rtf += QLatin1String("}\n{\\*\\generator Tessaly;}\\viewkind4\n");
    rtf += body;
    rtf += u'}';
    return rtf;
}

QString RtfWriter::characterProperties(const QTextCharFormat& format) {
    const QFont font = format.font().resolve(m_document.defaultFont());
    QString properties = QStringLiteral("\\plain\\f%1\\fs%2")
                             .arg(fontIndex(font.families().value(0, font.family())))
                             .arg(halfPoints(font));
    if (font.bold())
        properties += QLatin1String("\\b");
    if (font.italic())
        properties += QLatin1String("\\i");
    if (font.underline())
        properties += QLatin1String("\\ul");
    if (font.strikeOut())
        properties += QLatin1String("\\strike");
    if (format.foreground().style() != Qt::NoBrush)
        properties += QStringLiteral("\\cf%1").arg(colorIndex(format.foreground().color().rgb()));
    if (format.background().style() != Qt::NoBrush)
        properties +=
            QStringLiteral("\\highlight%1").arg(colorIndex(format.background().color().rgb()));
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        properties += QLatin1String("\\super");
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        properties += QLatin1String("\\sub");
    properties += u' ';
    return properties;
}

int RtfWriter::fontIndex(const QString& family) {
    const QString name = family.isEmpty() ? QStringLiteral("Arial") : family;
    qsizetype index = m_fonts.indexOf(name);
    if (index < 0) {
        index = m_fonts.size();
        m_fonts.append(name);
    }
    return int(index);
}

int RtfWriter::colorIndex(QRgb color) {
    const QRgb rgb = qRgb(qRed(color), qGreen(color), qBlue(color));
    qsizetype index = m_colors.indexOf(rgb);
    if (index < 0) {
        index = m_colors.size();
        m_colors.append(rgb);
    }
    return int(index) + 1;
}
