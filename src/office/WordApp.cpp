#include "WordApp.h"

#include "Letterhead.h"

#include "data/UserProfile.h"
#include "formats/Rtf.h"
#include "platform/ProgramFolder.h"
#include "services/Desktop.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

QString WordApp::LetterheadPath() {
    return ProgramFolder::file(QStringLiteral("Letterhead.rtf"));
}

WordDocument* WordApp::DocumentsAdd(const QString& templatePath, QString* error) {
    QFile file(templatePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.exists()
                         ? QStringLiteral("The template %1 cannot be opened: %2")
                               .arg(QDir::toNativeSeparators(templatePath), file.errorString())
                         : QStringLiteral("The template %1 was not found.")
                               .arg(QDir::toNativeSeparators(templatePath));
        return nullptr;
    }
    // RTF files are 7-bit; a template that is not RTF is taken as plain text.
    const QString text = QString::fromLatin1(file.readAll());
    m_document = std::make_unique<WordDocument>(
        Rtf::isRtf(text) ? text : Rtf::fromPlainText(QString::fromUtf8(text.toLatin1())));
    return m_document.get();
}

WordDocument* WordApp::DocumentsAddLetterhead(QString* error) {
    if (!DocumentsAdd(LetterheadPath(), error))
        return nullptr;
    const Letterhead::Details details = Letterhead::fromProfile(UserProfile::load());
    m_document =
        std::make_unique<WordDocument>(Letterhead::fill(m_document->templateRtf(), details));
    return m_document.get();
}

bool WordApp::SetVisible(QString* error) {
    if (!m_document) {
        if (error)
            *error = QStringLiteral("There is no document to show.");
        return false;
    }
    if (m_document->path().isEmpty()) {
        const QString temp = ProgramFolder::tempFolder();
        QDir().mkpath(temp);
        const int number = 100000 + int(QRandomGenerator::global()->bounded(900000));
        const QString path =
            QDir(temp).filePath(QStringLiteral("Tessaly Document %1.rtf").arg(number));
        if (!m_document->SaveAs(path, error))
            return false;
    }
    m_visible = true;
    return Desktop::openFile(m_document->path());
}

void WordApp::Quit() {
    m_document.reset();
}
