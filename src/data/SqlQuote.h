#pragma once

#include <QString>

// The one way user values enter SQL texts. Windows build their statements as
// "... TEXT18 = '" + SqlQuote::text(name) + "' ..."; doubling the apostrophes
// keeps a value such as O'Brien inside its literal, so it can never end the
// literal early or change the statement. Wildcards (* ? #) a user types into a
// filter are left alone and still act as wildcards.
namespace SqlQuote {

inline QString text(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char('\''), QLatin1String("''"));
    return escaped;
}

// A name the user chose (a worksheet, a column of it) as a bracketed name:
// blanks, dots and apostrophes stay inside the brackets, and a "]" of the
// name is doubled so that it cannot close them.
inline QString name(const QString& value) {
    QString escaped = value;
    escaped.replace(QLatin1Char(']'), QLatin1String("]]"));
    return QLatin1Char('[') + escaped + QLatin1Char(']');
}

} // namespace SqlQuote
