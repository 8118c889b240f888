#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class Hunspell;

// Words checked with Hunspell, in the dictionary of the user's language
// (falling back to American English), plus the user's own words, which are
// kept one per line in the program folder ("Personal.dic").
class SpellChecker {
public:
    SpellChecker();
    ~SpellChecker();

    bool isAvailable() const { return m_hunspell != nullptr; }
    QString language() const { return m_language; } // e.g. "en_US"
    QString error() const { return m_error; }

    bool check(const QString& word) const;
    QStringList suggest(const QString& word) const;
    void ignore(const QString& word); // for this check only
    bool addToPersonal(const QString& word, QString* error = nullptr);

    static QString personalWordList(); // program folder + "/Personal.dic"
    static QStringList dictionaryFolders();

private:
    QByteArray encode(const QString& word) const;
    QString decode(const std::string& word) const;

    std::unique_ptr<Hunspell> m_hunspell;
    QString m_language;
    QString m_encoding;
    QString m_error;
    QSet<QString> m_ignored;
};
