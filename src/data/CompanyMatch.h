#pragma once

#include <QList>
#include <QString>

// When two company rows are likely the same company: "Acme Ltd", "ACME
// Limited" and "Acme Ltd." are. Letter case, accents, punctuation, repeated
// blanks and the legal form at the end of a name ("Ltd", "GmbH", "(Pty)
// Ltd", "& Co" ...) do not make names different; where both rows have a
// city or a telephone number, those make a match stronger when they agree
// and weaker when they do not.
namespace CompanyMatch {

struct Company {
    QString name;
    QString city;
    QString telephone;
};

enum class Strength {
    None,   // the names differ
    Weak,   // the names agree, but the city or the telephone number does not
    Likely, // the names agree and nothing else disagrees
    Strong, // the names agree, and so does the city or the telephone number
};

// The name as matching sees it: "Müller & Söhne GmbH." -> "muller sohne".
QString key(const QString& name);
// The digits of a telephone number that identify it: its last nine, so that
// "+44 20 7946 0000" and "020 7946 0000" agree.
QString telephoneKey(const QString& number);

Strength compare(const Company& a, const Company& b);
// Likely or Strong: worth showing the user as a duplicate.
inline bool isDuplicate(Strength s) {
    return s == Strength::Likely || s == Strength::Strong;
}

// The groups of likely duplicates among `companies`: each group the
// indexes of two or more companies whose names agree and which nothing
// else sets apart (each is a likely match of one of the others), largest
// group first, then by name. Companies whose names agree but whose city or
// telephone number disagree stay apart.
QList<QList<int>> duplicateGroups(const QList<Company>& companies);

} // namespace CompanyMatch
