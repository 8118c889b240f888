#include "WordDocument.h"

#include "formats/Rtf.h"
#include "services/Clipboard.h"

#include <QDir>
#include <QSaveFile>

WordDocument::WordDocument(QString templateRtf)
    : m_template(std::move(templateRtf)) {}

void WordDocument::TypeText(const QString& text) {
    if (!text.isEmpty())
        m_fragments.append(Rtf::fromPlainText(text));
}

void WordDocument::Paste() {
    const QString rtf = Clipboard::rtf();
    if (!rtf.isEmpty())
        m_fragments.append(rtf);
    else
        TypeText(Clipboard::text());
}

void WordDocument::PasteRtf(const QString& rtf) {
    m_fragments.append(Rtf::isRtf(rtf) ? rtf : Rtf::fromPlainText(rtf));
}

QString WordDocument::rtf() const {
    return Rtf::spliceBody(m_template, m_fragments);
}

QString WordDocument::plainText() const {
    return Rtf::toPlainText(rtf());
}

bool WordDocument::SaveAs(const QString& path, QString* error) {
    QSaveFile file(path);
    // RTF is 7-bit text: everything else is written as escapes.
    const QByteArray bytes = rtf().toLatin1();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("The document cannot be saved as %1: %2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    m_path = path;
    return true;
}
