#include "Locale.h"

#include <QRegularExpression>

namespace {

std::optional<QLocale>& pinned() {
    static std::optional<QLocale> locale;
    return locale;
}

} // namespace

QLocale Locale::current() {
    return pinned() ? *pinned() : QLocale::system();
}

void Locale::pin(const QLocale& locale) {
    pinned() = locale;
}

void Locale::unpin() {
    pinned().reset();
}

QString Locale::shortDateFormat() {
    QString format = current().dateFormat(QLocale::ShortFormat);
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return format;
}

QString Locale::shortTimeFormat() {
    QString format = current().timeFormat(QLocale::ShortFormat);
    // Some locales start with the day period "B", which Qt does not know and
    // would write as a letter B: the hour is then shown on the 24-hour clock.
    static const QRegularExpression dayPeriod(QStringLiteral("^B\\s*"));
    format.remove(dayPeriod);
    return format;
}

QString Locale::amDesignator() {
    return current().amText();
}

QString Locale::pmDesignator() {
    return current().pmText();
}

QString Locale::dateText(const QDate& date) {
    return date.isValid() ? current().toString(date, shortDateFormat()) : QString();
}

QString Locale::timeText(const QTime& time) {
    return time.isValid() ? current().toString(time, shortTimeFormat()) : QString();
}

QString Locale::dateTimeText(const QDateTime& dateTime) {
    if (!dateTime.isValid())
        return {};
    if (dateTime.time() == QTime(0, 0))
        return dateText(dateTime.date());
    return dateText(dateTime.date()) + u' ' + timeText(dateTime.time());
}

int Locale::widenYear(int twoDigitYear) {
    return twoDigitYear < 30 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

namespace {

// A text as the reader sees it: every decimal digit of any script as its
// ASCII digit, every kind of blank as one space, and the marks that only
// steer the writing direction left out.
QString normalized(const QString& text) {
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (const char32_t c : text.toUcs4()) {
        if (QChar::category(c) == QChar::Other_Format) // RLM, ALM, ...
            continue;
        if (QChar::isSpace(c)) {
            if (!blank && !out.isEmpty())
                out.append(u' ');
            blank = true;
            continue;
        }
        blank = false;
        if (QChar::category(c) == QChar::Number_DecimalDigit && QChar::digitValue(c) >= 0)
            out.append(QChar(u'0' + QChar::digitValue(c)));
        else
            out.append(QString::fromUcs4(&c, 1));
    }
    return out.trimmed();
}

struct FormatParts {
    QString fields;       // D, M (number), N (month name), Y, h, m, s, a (AM/PM) in order
    QStringList literals; // words the format writes as they stand: "г", "h", "Kl"
};

// The fields and literal words of a Qt date or time format. Letters Qt does
// not know as a field (the "B" of some locales' time forms) are written as
// they stand, so they count as literal words.
FormatParts formatParts(const QString& format) {
    FormatParts parts;
    QString literal;
    auto endLiteral = [&] {
        parts.literals.append(normalized(literal).split(u' ', Qt::SkipEmptyParts));
        literal.clear();
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') {
            const qsizetype close = format.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            literal += format.mid(i + 1, end - i - 1);
            i = end;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        QChar field;
        switch (c.unicode()) {
        case u'd':
            if (run < 3) // day names are not read
                field = u'D';
            break;
        case u'M':
            field = run >= 3 ? u'N' : u'M';
            break;
        case u'y':
            field = u'Y';
            break;
        case u'h':
        case u'H':
            field = u'h';
            break;
        case u'm':
            field = u'm';
            break;
        case u's':
            field = u's';
            break;
        case u'a':
        case u'A':
            field = u'a';
            if (run == 1 && i + 1 < format.size() && format.at(i + 1).toLower() == u'p')
                run = 2;
            break;
        case u'z':
        case u't':
            break;
        default:
            literal += c.isLetter() ? format.mid(i, run) : QStringLiteral(" ");
            i += run - 1;
            continue;
        }
        endLiteral();
        if (!field.isNull())
            parts.fields += field;
        i += run - 1;
    }
    endLiteral();
    return parts;
}

// Removes the longest of `words` found in `text` (letter case ignored) and
// tells which one it was; -1 when none is there.
int takeWord(QString& text, const QStringList& words) {
    int best = -1;
    qsizetype bestAt = -1;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words.at(i);
        if (word.isEmpty() || (best >= 0 && word.size() <= words.at(best).size()))
            continue;
        if (const qsizetype at = text.indexOf(word, 0, Qt::CaseInsensitive); at >= 0) {
            best = i;
            bestAt = at;
        }
    }
    if (best >= 0)
        text.replace(bestAt, words.at(best).size(), u' ');
    return best;
}

// A date or time text taken apart: its numbers in order, the month a name
// gave, and the half of the day a designator gave.
struct Reading {
    QStringList numbers;
    int month = 0;    // 1-12 where the text names the month
    int halfDay = -1; // 0 AM, 1 PM, -1 none
};

std::optional<Reading> read(const QString& input, const FormatParts& date, const FormatParts& time,
                            const QLocale& locale) {
    QString text = normalized(input);
    Reading reading;
    if (date.fields.contains(u'N')) {
        QStringList names;
        for (int month = 1; month <= 12; ++month)
            for (const auto form : {QLocale::LongFormat, QLocale::ShortFormat}) {
                names.append(normalized(locale.monthName(month, form)));
                names.append(normalized(locale.standaloneMonthName(month, form)));
            }
        const int found = takeWord(text, names);
        if (found < 0)
            return std::nullopt;
        reading.month = found / 4 + 1;
    }
    const QStringList designators{normalized(locale.amText()), normalized(locale.pmText()),
                                  QStringLiteral("AM"), QStringLiteral("PM")};
    if (const int found = takeWord(text, designators); found >= 0)
        reading.halfDay = found % 2;
    const QStringList literals = date.literals + time.literals;
    while (takeWord(text, literals) >= 0) {
    }
    QString number;
    for (const QChar c : text + u' ') {
        if (c >= u'0' && c <= u'9') {
            number += c;
            continue;
        }
        if (!number.isEmpty())
            reading.numbers.append(number);
        number.clear();
        if (c.isLetterOrNumber())
            return std::nullopt; // a word no date or time is written with
    }
    return reading;
}

// The time of day in the numbers from `first` on: hours, minutes, seconds.
std::optional<QTime> timeOf(const Reading& reading, qsizetype first) {
    const qsizetype count = reading.numbers.size() - first;
    if (count <= 0 || count > 3 || (count == 1 && reading.halfDay < 0))
        return std::nullopt;
    int value[3] = {0, 0, 0};
    for (qsizetype i = 0; i < count; ++i) {
        const QString& part = reading.numbers.at(first + i);
        if (part.size() > 2)
            return std::nullopt;
        value[i] = part.toInt();
    }
    int hour = value[0];
    if (reading.halfDay >= 0) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (reading.halfDay == 1 ? 12 : 0);
    }
    const QTime time(hour, value[1], value[2]);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

} // namespace

std::optional<QTime> Locale::parseTime(const QString& text) {
    const QLocale locale = current();
    const auto reading = read(text, FormatParts(), formatParts(shortTimeFormat()), locale);
    if (!reading)
        return std::nullopt;
    return timeOf(*reading, 0);
}

std::optional<QDateTime> Locale::parseDateTime(const QString& input, bool* hasTime) {
    if (hasTime)
        *hasTime = false;
    const QString text = normalized(input);
    if (text.isEmpty())
        return std::nullopt;

    // ISO 8601: 2026-12-10, 2026-12-10 14:30:00, 2026-12-10T14:30
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T ](\\d{1,2}):(\\d{2})(?::(\\d{2}))?)?$"));
    if (const QRegularExpressionMatch m = iso.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid())
            return std::nullopt;
        if (m.captured(4).isEmpty())
            return QDateTime(date, QTime(0, 0));
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!time.isValid())
            return std::nullopt;
        if (hasTime)
            *hasTime = true;
        return QDateTime(date, time);
    }

    // The short date form, perhaps with a time after it: the numbers in the
    // order the form gives, whatever separates them, in any script's digits.
    const QLocale locale = current();
    const FormatParts dateParts = formatParts(shortDateFormat());
    const auto reading = read(text, dateParts, formatParts(shortTimeFormat()), locale);
    if (!reading)
        return std::nullopt;
    QString order = dateParts.fields;
    if (order.size() != 3 || !order.contains(u'D') || !order.contains(u'Y') ||
        !(order.contains(u'M') || order.contains(u'N')))
        order = QStringLiteral("MDY");
    int day = 0, month = reading->month, year = 0;
    qsizetype next = 0;
    for (const QChar field : std::as_const(order)) {
        if (field == u'N')
            continue;
        if (next >= reading->numbers.size())
            return std::nullopt;
        const QString& part = reading->numbers.at(next++);
        if (field == u'D')
            day = part.size() <= 2 ? part.toInt() : 0;
        else if (field == u'M')
            month = part.size() <= 2 ? part.toInt() : 0;
        else if (part.size() == 4)
            year = part.toInt();
        else if (part.size() <= 2)
            year = widenYear(part.toInt());
        else
            return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    if (next == reading->numbers.size()) {
        if (reading->halfDay >= 0)
            return std::nullopt;
        return QDateTime(date, QTime(0, 0));
    }
    const auto time = timeOf(*reading, next);
    if (!time)
        return std::nullopt;
    if (hasTime)
        *hasTime = true;
    return QDateTime(date, *time);
}

std::optional<QDate> Locale::parseDate(const QString& text) {
    const auto dateTime = parseDateTime(text);
    if (!dateTime)
        return std::nullopt;
    return dateTime->date();
}

namespace {

// Plain numbers as programs write them ("1234", "-12.5"): the fallback for
// a text the user's form does not read. It takes no group separators, so
// "1,000" in a locale whose decimal sign is the comma stays what that
// locale makes of it.
QLocale plainNumbers() {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}

// A number in the locale's own signs and digits as a plain number: the
// locale's reader does not take every form its writer makes (a minus sign
// with a direction mark before it, for one).
QString plainNumberText(const QString& text, const QLocale& locale) {
    QString plain = normalized(text);
    plain.replace(normalized(locale.negativeSign()), QStringLiteral("-"));
    plain.replace(normalized(locale.positiveSign()), QStringLiteral("+"));
    plain.replace(normalized(locale.decimalPoint()), QStringLiteral("."));
    plain.replace(normalized(locale.exponential()), QStringLiteral("e"), Qt::CaseInsensitive);
    return plain;
}

} // namespace

std::optional<qint64> Locale::parseInteger(const QString& input) {
    const QString text = input.trimmed();
    bool ok = false;
    qint64 value = current().toLongLong(text, &ok);
    if (ok)
        return value;
    value = plainNumbers().toLongLong(plainNumberText(text, current()), &ok);
    if (ok)
        return value;
    return std::nullopt;
}

std::optional<double> Locale::parseNumber(const QString& input) {
    const QString text = input.trimmed();
    bool ok = false;
    double value = current().toDouble(text, &ok);
    if (ok)
        return value;
    value = plainNumbers().toDouble(plainNumberText(text, current()), &ok);
    if (ok)
        return value;
    return std::nullopt;
}

QString Locale::numberText(double value) {
    QString text = current().toString(value, 'f', 10);
    // Trim the zeros that a fixed precision leaves behind, in the locale's digits.
    const QString decimal = current().decimalPoint();
    const QString zero = current().zeroDigit();
    if (text.contains(decimal)) {
        while (text.endsWith(zero))
            text.chop(zero.size());
        if (text.endsWith(decimal))
            text.chop(decimal.size());
    }
    text.remove(current().groupSeparator());
    return text;
}
