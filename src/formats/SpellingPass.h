#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

class QTextDocument;
class SpellChecker;

// One spelling check of a document: every word the checker does not know is
// put to the decider (the spelling dialog, or a test), and the decision is
// carried out in the document, keeping each word's formatting.
class SpellingPass {
public:
    enum class Action { IgnoreOnce, IgnoreAll, Change, ChangeAll, AddToDictionary, Cancel };
    struct Decision {
        Action action = Action::IgnoreOnce;
        QString replacement;
    };
    struct Question {
        QString word;
        QStringList suggestions;
        QString context; // the sentence around the word
    };
    using Decider = std::function<Decision(const Question& question)>;

    SpellingPass(SpellChecker& checker, Decider decider);

    // False when the user cancelled; the changes made until then stay.
    bool run(QTextDocument& document);
    int questions() const { return m_questions; }
    int changes() const { return m_changes; }

    // Words a check leaves alone: with digits, all capitals, addresses.
    static bool isCheckable(const QString& word, const QString& token);

private:
    SpellChecker& m_checker;
    Decider m_decider;
    QHash<QString, QString> m_changeAll;
    int m_questions = 0;
    int m_changes = 0;
};
