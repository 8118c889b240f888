#include "SqlTokenizer.h"

#include "platform/Locale.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace sql {

namespace {

bool isWordStart(QChar c) {
    return c.isLetter() || c == u'_';
}
bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QString snippet(const QString& text, int position) {
    return text.mid(position, 20).simplified();
}

} // namespace

std::optional<QString> SqlTokenizer::dateLiteralToIso(const QString& content) {
    const QString text = content.trimmed();
    static const QRegularExpression pattern(
        QStringLiteral("^(?:(\\d{1,4})[/\\-.](\\d{1,2})[/\\-.](\\d{1,4}))?\\s*"
                       "(?:(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*([AaPp][Mm])?)?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (text.isEmpty() || !m.hasMatch())
        return std::nullopt;

    QDate date(1899, 12, 30); // a time alone is a time on the dialect's day zero
    const bool hasDate = !m.captured(1).isEmpty();
    if (hasDate) {
        const QString a = m.captured(1), b = m.captured(2), c = m.captured(3);
        int year = 0, month = 0, day = 0;
        if (a.size() >= 3) { // yyyy-m-d
            year = a.toInt();
            month = b.toInt();
            day = c.toInt();
        } else {
            month = a.toInt();
            day = b.toInt();
            year = c.toInt();
            if (month > 12 && day <= 12)
                std::swap(month, day);
            if (c.size() <= 2)
                year = Locale::widenYear(year);
            else if (c.size() == 3)
                return std::nullopt;
        }
        date = QDate(year, month, day);
        if (!date.isValid())
            return std::nullopt;
    }

    QTime time(0, 0);
    const bool hasTime = !m.captured(4).isEmpty();
    if (hasTime) {
        int hour = m.captured(4).toInt();
        const QString designator = m.captured(7).toUpper();
        if (!designator.isEmpty()) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + (designator == QLatin1String("PM") ? 12 : 0);
        }
        time = QTime(hour, m.captured(5).toInt(), m.captured(6).toInt());
        if (!time.isValid())
            return std::nullopt;
    }
    if (!hasDate && !hasTime)
        return std::nullopt;

    QString iso = date.toString(Qt::ISODate);
    if (hasTime && time != QTime(0, 0))
        iso += u' ' + time.toString(QStringLiteral("HH:mm:ss"));
    return iso;
}

std::optional<std::vector<Token>> SqlTokenizer::tokenize(const QString& text, QString* error) {
    std::vector<Token> tokens;
    const int n = text.size();
    int i = 0;
    auto fail = [&](const QString& message) -> std::optional<std::vector<Token>> {
        if (error)
            *error = message;
        return std::nullopt;
    };

    while (i < n) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        token.position = i;

        if (c == u'\'' || c == u'"') {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (text.at(j) == c) {
                    if (j + 1 < n && text.at(j + 1) == c) {
                        value.append(c);
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value.append(text.at(j++));
            }
            if (!closed)
                return fail(QStringLiteral("Syntax error in SQL text: the text literal that "
                                           "begins at position %1 (%2) has no closing quote.")
                                .arg(i + 1)
                                .arg(snippet(text, i)));
            token.type = Token::Type::String;
            token.text = value;
            i = j + 1;
        } else if (c == u'[') {
            // "]]" inside the brackets stands for one "]" of the name.
            QString name;
            int close = i + 1;
            for (;;) {
                close = text.indexOf(u']', close);
                if (close < 0 || close + 1 >= text.size() || text.at(close + 1) != u']')
                    break;
                close += 2;
            }
            if (close < 0)
                return fail(QStringLiteral("Syntax error in SQL text: the name that begins at "
                                           "position %1 (%2) has no closing bracket.")
                                .arg(i + 1)
                                .arg(snippet(text, i)));
            token.type = Token::Type::BracketName;
            token.text =
                text.mid(i + 1, close - i - 1).replace(QLatin1String("]]"), QLatin1String("]"));
            if (token.text.trimmed().isEmpty())
                return fail(QStringLiteral("Syntax error in SQL text: empty name [] at "
                                           "position %1.")
                                .arg(i + 1));
            i = close + 1;
        } else if (c == u'#') {
            const int close = text.indexOf(u'#', i + 1);
            if (close < 0)
                return fail(QStringLiteral("Syntax error in SQL text: the date that begins at "
                                           "position %1 (%2) has no closing #.")
                                .arg(i + 1)
                                .arg(snippet(text, i)));
            const QString content = text.mid(i + 1, close - i - 1);
            const auto iso = dateLiteralToIso(content);
            if (!iso)
                return fail(QStringLiteral("Syntax error in date in SQL text: #%1# at position "
                                           "%2 is not a date.")
                                .arg(content)
                                .arg(i + 1));
            token.type = Token::Type::Date;
            token.text = *iso;
            i = close + 1;
        } else if (c.isDigit() ||
                   (c == u'.' && i + 1 < n && text.at(i + 1).isDigit() &&
                    (tokens.empty() || tokens.back().type == Token::Type::Operator))) {
            int j = i;
            while (j < n && text.at(j).isDigit())
                ++j;
            if (j < n && text.at(j) == u'.' && j + 1 < n && text.at(j + 1).isDigit()) {
                ++j;
                while (j < n && text.at(j).isDigit())
                    ++j;
            }
            if (j < n && (text.at(j) == u'e' || text.at(j) == u'E')) {
                int k = j + 1;
                if (k < n && (text.at(k) == u'+' || text.at(k) == u'-'))
                    ++k;
                if (k < n && text.at(k).isDigit()) {
                    while (k < n && text.at(k).isDigit())
                        ++k;
                    j = k;
                }
            }
            if (j < n && isWordStart(text.at(j)))
                return fail(QStringLiteral("Syntax error in SQL text at position %1: %2 is "
                                           "neither a number nor a name.")
                                .arg(i + 1)
                                .arg(snippet(text, i)));
            token.type = Token::Type::Number;
            token.text = text.mid(i, j - i);
            i = j;
        } else if (isWordStart(c)) {
            int j = i;
            while (j < n && isWordChar(text.at(j)))
                ++j;
            token.type = Token::Type::Identifier;
            token.text = text.mid(i, j - i);
            i = j;
        } else {
            static const QStringList twoChar = {QStringLiteral("<>"), QStringLiteral("<="),
                                                QStringLiteral(">="), QStringLiteral("!=")};
            const QString pair = text.mid(i, 2);
            if (twoChar.contains(pair)) {
                token.text = pair == QLatin1String("!=") ? QStringLiteral("<>") : pair;
                i += 2;
            } else if (QStringLiteral("=<>&+-*/\\^(),.;!").contains(c)) {
                token.text = c;
                i += 1;
            } else {
                return fail(QStringLiteral("Syntax error in SQL text: unexpected character "
                                           "'%1' at position %2.")
                                .arg(c)
                                .arg(i + 1));
            }
            token.type = Token::Type::Operator;
        }
        tokens.push_back(token);
    }
    Token end;
    end.type = Token::Type::End;
    end.position = n;
    tokens.push_back(end);
    return tokens;
}

} // namespace sql
