#include "SpellChecker.h"

#include "platform/Locale.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextStream>
#include <hunspell/hunspell.hxx>

QStringList SpellChecker::dictionaryFolders() {
    QStringList folders;
    const QString extra = qEnvironmentVariable("TESSALY_DICTIONARIES");
    if (!extra.isEmpty())
        folders.append(extra);
    folders << QStringLiteral("/usr/share/hunspell") << QStringLiteral("/usr/share/myspell/dicts")
            << QStringLiteral("/usr/share/myspell");
    return folders;
}

QString SpellChecker::personalWordList() {
    return ProgramFolder::file(QStringLiteral("Personal.dic"));
}

SpellChecker::SpellChecker() {
    const QString wanted = Locale::current().name(); // "de_DE"
    QStringList candidates{wanted, wanted.section(u'_', 0, 0), QStringLiteral("en_US")};
    for (const QString& language : candidates) {
        for (const QString& folder : dictionaryFolders()) {
            const QString aff = QDir(folder).filePath(language + QStringLiteral(".aff"));
            const QString dic = QDir(folder).filePath(language + QStringLiteral(".dic"));
            if (QFile::exists(aff) && QFile::exists(dic)) {
                m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                                        QFile::encodeName(dic).constData());
                m_language = language;
                break;
            }
        }
        if (m_hunspell)
            break;
    }
    if (!m_hunspell) {
        m_error = QStringLiteral("No spelling dictionary is installed (Hunspell dictionaries are "
                                 "looked for in %1).")
                      .arg(dictionaryFolders().join(QStringLiteral(", ")));
        return;
    }
    m_encoding = QString::fromStdString(m_hunspell->get_dict_encoding());
    QFile personal(personalWordList());
    if (personal.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&personal);
        while (!in.atEnd()) {
            const QString word = in.readLine().trimmed();
            if (!word.isEmpty())
                m_hunspell->add(encode(word).toStdString());
        }
    }
}

SpellChecker::~SpellChecker() = default;

QByteArray SpellChecker::encode(const QString& word) const {
    if (m_encoding.isEmpty() ||
        m_encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0)
        return word.toUtf8();
    QStringEncoder encoder(m_encoding.toLatin1().constData());
    return encoder.isValid() ? QByteArray(encoder(word)) : word.toUtf8();
}

QString SpellChecker::decode(const std::string& word) const {
    const QByteArray bytes = QByteArray::fromStdString(word);
    if (m_encoding.isEmpty() ||
        m_encoding.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0)
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(m_encoding.toLatin1().constData());
    return decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes);
}

bool SpellChecker::check(const QString& word) const {
    if (!m_hunspell || m_ignored.contains(word))
        return true;
    return m_hunspell->spell(encode(word).toStdString());
}

QStringList SpellChecker::suggest(const QString& word) const {
    QStringList suggestions;
    if (m_hunspell)
        for (const std::string& s : m_hunspell->suggest(encode(word).toStdString()))
            suggestions.append(decode(s));
    return suggestions;
}

void SpellChecker::ignore(const QString& word) {
    m_ignored.insert(word);
}

bool SpellChecker::addToPersonal(const QString& word, QString* error) {
    if (m_hunspell)
        m_hunspell->add(encode(word).toStdString());
    QFile personal(personalWordList());
    if (!personal.open(QIODevice::Append | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("The word list %1 cannot be written: %2")
                         .arg(QDir::toNativeSeparators(personalWordList()), personal.errorString());
        return false;
    }
    personal.write(word.toUtf8() + '\n');
    return true;
}
