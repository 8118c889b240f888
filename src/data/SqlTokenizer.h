#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace sql {

struct Token {
    enum class Type { Identifier, BracketName, String, Number, Date, Operator, End };
    Type type = Type::End;
    QString text; // unquoted content; ISO 8601 for dates; upper-case for operators
    int position = 0;
};

// Splits an SQL text of the desktop dialect into tokens: 'strings' and
// "strings" with doubled quotes, [bracketed names], #date literals#, numbers,
// bare words and operators. Fails with a message on an unterminated quote,
// bracket or date, and on a date literal that is no date.
class SqlTokenizer {
public:
    static std::optional<std::vector<Token>> tokenize(const QString& text, QString* error);

    // A #...# literal's content as ISO 8601 text: month first (m/d/yyyy),
    // day first only where the first number cannot be a month, ISO accepted,
    // an optional time of day with AM/PM.
    static std::optional<QString> dateLiteralToIso(const QString& content);
};

} // namespace sql
