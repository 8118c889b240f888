#include "CompanyMatch.h"

#include <QSet>
#include <QStringList>

namespace CompanyMatch {

namespace {

// Legal forms and their parts, as they end company names.
const QSet<QString>& legalForms() {
    static const QSet<QString> words{
        "ltd",         "limited", "gmbh", "ag",  "inc",  "incorporated", "llc",  "llp", "lp",
        "pty",         "plc",     "sa",   "sas", "sarl", "bv",           "nv",   "co",  "corp",
        "corporation", "kg",      "ohg",  "gbr", "ug",   "se",           "srl",  "spa", "oy",
        "ab",          "as",      "aps",  "cc",  "and",  "mbh",          "kgaa", "eg"};
    return words;
}

} // namespace

QString key(const QString& name) {
    // Letters without accents, case folded; everything else a blank.
    const QString decomposed = name.normalized(QString::NormalizationForm_KD).toCaseFolded();
    QString plain;
    plain.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        plain.append(c.isLetterOrNumber() ? c : QChar(u' '));
    }
    // Letters written one by one are one word: "A.C.M.E." is "acme", and
    // "N.V." the legal form "nv".
    QStringList words;
    bool lastWasLetter = false;
    for (const QString& word : plain.split(u' ', Qt::SkipEmptyParts)) {
        const bool letter = word.size() == 1 && word.at(0).isLetter();
        if (letter && lastWasLetter)
            words.last() += word;
        else
            words.append(word);
        lastWasLetter = letter;
    }
    // "(Pty) Ltd", "& Co. KG", "Inc.": the legal form goes from the end, but
    // never the whole name ("AG" alone stays "ag").
    while (words.size() > 1 && legalForms().contains(words.last()))
        words.removeLast();
    return words.join(u' ');
}

QString telephoneKey(const QString& number) {
    QString digits;
    for (QChar c : number)
        if (c.isDigit())
            digits.append(QChar(u'0' + c.digitValue()));
    return digits.right(9);
}

Strength compare(const Company& a, const Company& b) {
    const QString nameA = key(a.name);
    if (nameA.isEmpty() || nameA != key(b.name))
        return Strength::None;
    int agree = 0, disagree = 0;
    const QString cityA = key(a.city), cityB = key(b.city);
    if (!cityA.isEmpty() && !cityB.isEmpty())
        ++(cityA == cityB ? agree : disagree);
    const QString phoneA = telephoneKey(a.telephone), phoneB = telephoneKey(b.telephone);
    if (phoneA.size() >= 5 && phoneB.size() >= 5)
        ++(phoneA == phoneB ? agree : disagree);
    if (disagree > agree)
        return Strength::Weak;
    return agree > disagree ? Strength::Strong : Strength::Likely;
}

} // namespace CompanyMatch
