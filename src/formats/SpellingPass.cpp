#include "SpellingPass.h"

#include "SpellChecker.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>

SpellingPass::SpellingPass(SpellChecker& checker, Decider decider)
    : m_checker(checker)
    , m_decider(std::move(decider)) {}

bool SpellingPass::isCheckable(const QString& word, const QString& token) {
    if (word.size() < 2)
        return false; // single letters are words of their own
    if (token.contains(u'@') || token.contains(QLatin1String("://")) ||
        token.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return false;
    bool allCapitals = true;
    for (QChar c : token) {
        if (c.isDigit() || c == u'_')
            return false;
        if (c.isLetter() && !c.isUpper())
            allCapitals = false;
    }
    return !allCapitals;
}

bool SpellingPass::run(QTextDocument& document) {
    static const QRegularExpression wordPattern(QStringLiteral("\\p{L}+(?:['\u2019]\\p{L}+)*"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    static const QRegularExpression tokenEdge(QStringLiteral("\\s"));
    int position = 0;
    for (;;) {
        const QString text = document.toPlainText();
        const QRegularExpressionMatch match = wordPattern.match(text, position);
        if (!match.hasMatch())
            return true;
        const int start = int(match.capturedStart());
        const int end = int(match.capturedEnd());
        const QString word = match.captured();
        position = end;
        // The whitespace-delimited token holding the word (for digits, addresses).
        const int tokenStart = int(text.lastIndexOf(tokenEdge, start)) + 1;
        int tokenEnd = int(text.indexOf(tokenEdge, end));
        if (tokenEnd < 0)
            tokenEnd = int(text.size());
        if (!isCheckable(word, text.mid(tokenStart, tokenEnd - tokenStart)) ||
            m_checker.check(word))
            continue;

        QString replacement;
        if (m_changeAll.contains(word)) {
            replacement = m_changeAll.value(word);
        } else {
            ++m_questions;
            const int sentenceStart = std::max(0, int(text.lastIndexOf(u'.', start)) + 1);
            int sentenceEnd = int(text.indexOf(u'.', end));
            sentenceEnd = sentenceEnd < 0 ? int(text.size()) : sentenceEnd + 1;
            const Decision decision =
                m_decider({word, m_checker.suggest(word),
                           text.mid(sentenceStart, sentenceEnd - sentenceStart).trimmed()});
            switch (decision.action) {
            case Action::Cancel:
                return false;
            case Action::IgnoreOnce:
                continue;
            case Action::IgnoreAll:
                m_checker.ignore(word);
                continue;
            case Action::AddToDictionary:
                m_checker.addToPersonal(word);
                continue;
            case Action::ChangeAll:
                m_changeAll.insert(word, decision.replacement);
                [[fallthrough]];
            case Action::Change:
                replacement = decision.replacement;
                break;
            }
        }
        if (replacement == word)
            continue;
        QTextCursor cursor(&document);
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
        cursor.insertText(replacement); // takes the replaced word's formatting
        position = start + int(replacement.size());
        ++m_changes;
    }
}
