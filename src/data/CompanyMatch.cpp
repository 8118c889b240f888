#include "CompanyMatch.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <numeric>

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
    // "&" and "and" join names and set nothing apart: "Smith & Sons" is
    // "Smith and Sons" is "Smith Sons".
    words.removeAll(QStringLiteral("and"));
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

QList<QList<int>> duplicateGroups(const QList<Company>& companies) {
    // Only companies whose names have the same key can match: one pass
    // sorts them into buckets, and only within a bucket are pairs compared.
    QHash<QString, QList<int>> buckets;
    for (int i = 0; i < companies.size(); ++i)
        if (const QString k = key(companies[i].name); !k.isEmpty())
            buckets[k].append(i);
    QList<QList<int>> groups;
    for (const QList<int>& bucket : std::as_const(buckets)) {
        if (bucket.size() < 2)
            continue;
        // Joined where two are a likely match (a union of the pairs).
        QList<int> parent(bucket.size());
        std::iota(parent.begin(), parent.end(), 0);
        const auto root = [&](int i) {
            while (parent[i] != i)
                i = parent[i] = parent[parent[i]];
            return i;
        };
        for (int a = 0; a < bucket.size(); ++a)
            for (int b = a + 1; b < bucket.size(); ++b)
                if (isDuplicate(compare(companies[bucket[a]], companies[bucket[b]])))
                    parent[root(b)] = root(a);
        QHash<int, QList<int>> joined;
        for (int i = 0; i < bucket.size(); ++i)
            joined[root(i)].append(bucket[i]);
        for (QList<int>& group : joined)
            if (group.size() > 1) {
                std::sort(group.begin(), group.end());
                groups.append(group);
            }
    }
    std::sort(groups.begin(), groups.end(), [&](const QList<int>& a, const QList<int>& b) {
        if (a.size() != b.size())
            return a.size() > b.size();
        const int byName = QString::compare(companies[a.first()].name, companies[b.first()].name,
                                            Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.first() < b.first();
    });
    return groups;
}

} // namespace CompanyMatch
