#include "CellText.h"

#include "XlsxReader.h"
#include "platform/Locale.h"

#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

constexpr int MaxDigits = 15; // what a double holds exactly

// The user's short date form as a pattern: numbers where the form has day,
// month and year, its separators as they are. The field order is returned
// as "DMY", "MDY" ...
QRegularExpression regionalDatePattern(QString* order) {
    const QString format = Locale::shortDateFormat();
    QString pattern = QStringLiteral("^");
    order->clear();
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (c == u'd' && run <= 2) {
            pattern += QStringLiteral("(\\d{1,2})");
            order->append(u'D');
        } else if (c == u'M' && run <= 2) {
            pattern += QStringLiteral("(\\d{1,2})");
            order->append(u'M');
        } else if (c == u'y') {
            pattern += run >= 4 ? QStringLiteral("(\\d{4})") : QStringLiteral("(\\d{2})");
            order->append(u'Y');
        } else if (c == u'\'') {
            ++i;
            continue;
        } else {
            pattern += QRegularExpression::escape(format.mid(i, run));
        }
        i += run;
    }
    pattern += QStringLiteral("(?:\\s+(.+))?$");
    return QRegularExpression(pattern);
}

// A Qt date form ("dd.MM.yyyy") as a spreadsheet number format ("dd.mm.yyyy").
QString excelDateFormat(const QString& qtFormat) {
    QString code;
    for (const QChar c : qtFormat) {
        if (c == u'M')
            code += u'm';
        else if (c == u'd' || c == u'y')
            code += c;
        else if (c == u'\'')
            continue;
        else if (c.isLetter())
            code += QStringLiteral("\\") + c;
        else
            code += c;
    }
    return code;
}

std::optional<CellText::Entry> dateEntry(int year, int month, int day, bool fourDigitYear,
                                         const QString& timeText, const QString& dateFormat) {
    if (!fourDigitYear)
        year = Locale::widenYear(year);
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1900)
        return std::nullopt;
    if (timeText.isEmpty())
        return CellText::Entry{date, dateFormat};
    const auto time = Locale::parseTime(timeText);
    if (!time)
        return std::nullopt;
    bool twelveHour = false;
    for (const QChar c : timeText)
        twelveHour |= c.isLetter();
    QString format = dateFormat + QStringLiteral(" h:mm");
    if (time->second() != 0)
        format += QStringLiteral(":ss");
    if (twelveHour)
        format += QStringLiteral(" AM/PM");
    return CellText::Entry{QDateTime(date, *time), format};
}

std::optional<CellText::Entry> recogniseDate(const QString& text) {
    // Every date form begins with a number.
    if (text.isEmpty() || !text.at(0).isDigit())
        return std::nullopt;
    static const QRegularExpression usual(
        QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4}|\\d{2})(?:\\s+(.+))?$"));
    if (const auto m = usual.match(text); m.hasMatch()) {
        const auto entry =
            dateEntry(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt(),
                      m.captured(3).size() == 4, m.captured(4), QStringLiteral("m/d/yyyy"));
        if (entry)
            return entry;
    }
    // The pattern of the short date form in use, made again when it changes.
    static QString patternFormat;
    static QString order;
    static QRegularExpression regional;
    if (const QString format = Locale::shortDateFormat(); format != patternFormat) {
        regional = regionalDatePattern(&order);
        patternFormat = format;
    }
    if (order.size() != 3)
        return std::nullopt;
    const auto m = regional.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    int day = 0, month = 0, year = 0;
    bool fourDigitYear = false;
    for (int i = 0; i < 3; ++i) {
        const int value = m.captured(i + 1).toInt();
        if (order.at(i) == u'D') {
            day = value;
        } else if (order.at(i) == u'M') {
            month = value;
        } else {
            year = value;
            fourDigitYear = m.captured(i + 1).size() == 4;
        }
    }
    return dateEntry(year, month, day, fourDigitYear, m.captured(4),
                     excelDateFormat(Locale::shortDateFormat()));
}

std::optional<CellText::Entry> recogniseNumber(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("^([-+]?)(\\d{1,3}(?:,\\d{3})+|\\d*)(?:\\.(\\d*))?$"));
    const auto m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString whole = m.captured(2);
    const bool grouped = whole.contains(u',');
    whole.remove(u',');
    const QString fraction = m.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (whole.size() > 1 && whole.startsWith(u'0'))
        return std::nullopt;
    if (whole.size() + fraction.size() > MaxDigits)
        return std::nullopt;
    double value = (whole.isEmpty() ? QStringLiteral("0") : whole).toDouble();
    if (!fraction.isEmpty())
        value = (whole + u'.' + fraction).toDouble();
    if (m.captured(1) == QLatin1String("-"))
        value = -value;
    QString format;
    if (grouped)
        format = fraction.isEmpty() ? QStringLiteral("#,##0") : QStringLiteral("#,##0.00");
    return CellText::Entry{value, format};
}

// ---- number formats ----

// The sections of a format code ("pos;neg;zero;text"), split outside quotes.
QStringList sections(const QString& code) {
    QStringList parts;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"')
            quoted = !quoted;
        if (c == u'\\' && !quoted && i + 1 < code.size()) {
            current += c;
            current += code.at(++i);
            continue;
        }
        if (c == u';' && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.append(current);
    return parts;
}

struct DateToken {
    enum Kind { Literal, Year, Month, Day, Hour, Minute, Second, AmPm } kind;
    int width = 0; // letters in the code: "mmm" is 3
    QString text;  // the literal, or the AM/PM form as written
};

QList<DateToken> dateTokens(const QString& code) {
    QList<DateToken> tokens;
    auto literal = [&](const QString& text) {
        if (!tokens.isEmpty() && tokens.last().kind == DateToken::Literal)
            tokens.last().text += text;
        else
            tokens.append({DateToken::Literal, 0, text});
    };
    for (qsizetype i = 0; i < code.size();) {
        const QChar c = code.at(i);
        const QChar lower = c.toLower();
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            literal(code.mid(i + 1, (close < 0 ? code.size() : close) - i - 1));
            i = close < 0 ? code.size() : close + 1;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            if (i + 1 < code.size() && c != u'*')
                literal(c == u'_' ? QStringLiteral(" ") : QString(code.at(i + 1)));
            i += 2;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            const QString inside = code.mid(i + 1, close - i - 1).toLower();
            if (!inside.isEmpty() && QStringLiteral("hms").contains(inside.at(0)) &&
                inside.count(inside.at(0)) == inside.size())
                tokens.append({inside.at(0) == u'h'   ? DateToken::Hour
                               : inside.at(0) == u'm' ? DateToken::Minute
                                                      : DateToken::Second,
                               int(inside.size()),
                               {}});
            i = close < 0 ? code.size() : close + 1;
        } else if (code.mid(i, 5).compare(QLatin1String("AM/PM"), Qt::CaseInsensitive) == 0) {
            tokens.append({DateToken::AmPm, 5, code.mid(i, 5)});
            i += 5;
        } else if (code.mid(i, 3).compare(QLatin1String("A/P"), Qt::CaseInsensitive) == 0) {
            tokens.append({DateToken::AmPm, 3, code.mid(i, 3)});
            i += 3;
        } else if (QStringLiteral("ymdhs").contains(lower)) {
            qsizetype run = 1;
            while (i + run < code.size() && code.at(i + run).toLower() == lower)
                ++run;
            const DateToken::Kind kind = lower == u'y'   ? DateToken::Year
                                         : lower == u'm' ? DateToken::Month
                                         : lower == u'd' ? DateToken::Day
                                         : lower == u'h' ? DateToken::Hour
                                                         : DateToken::Second;
            tokens.append({kind, int(run), {}});
            i += run;
        } else {
            literal(QString(c));
            ++i;
        }
    }
    // "m" next to hours or seconds is minutes.
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens.at(i).kind != DateToken::Month || tokens.at(i).width > 2)
            continue;
        DateToken::Kind before = DateToken::Literal, after = DateToken::Literal;
        for (qsizetype j = i - 1; j >= 0 && before == DateToken::Literal; --j)
            before = tokens.at(j).kind;
        for (qsizetype j = i + 1; j < tokens.size() && after == DateToken::Literal; ++j)
            after = tokens.at(j).kind;
        if (before == DateToken::Hour || after == DateToken::Second)
            tokens[i].kind = DateToken::Minute;
    }
    return tokens;
}

QString formatDate(const QDateTime& value, const QString& code) {
    const QList<DateToken> tokens = dateTokens(code);
    bool twelveHour = false;
    for (const DateToken& t : tokens)
        twelveHour |= t.kind == DateToken::AmPm;
    const QLocale locale = Locale::current();
    const QDate date = value.date();
    const QTime time = value.time();
    auto padded = [](int number, int width) {
        return QString::number(number).rightJustified(width, u'0');
    };
    QString text;
    for (const DateToken& t : tokens) {
        switch (t.kind) {
        case DateToken::Literal:
            text += t.text;
            break;
        case DateToken::Year:
            text += t.width <= 2 ? padded(date.year() % 100, 2) : padded(date.year(), 4);
            break;
        case DateToken::Month:
            if (t.width <= 2)
                text += padded(date.month(), t.width);
            else if (t.width == 3)
                text += locale.monthName(date.month(), QLocale::ShortFormat);
            else if (t.width == 4)
                text += locale.monthName(date.month(), QLocale::LongFormat);
            else
                text += locale.monthName(date.month(), QLocale::LongFormat).left(1);
            break;
        case DateToken::Day:
            if (t.width <= 2)
                text += padded(date.day(), t.width);
            else
                text += locale.dayName(date.dayOfWeek(),
                                       t.width == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case DateToken::Hour: {
            int hour = time.hour();
            if (twelveHour)
                hour = hour % 12 == 0 ? 12 : hour % 12;
            text += padded(hour, std::min(t.width, 2));
            break;
        }
        case DateToken::Minute:
            text += padded(time.minute(), std::min(t.width, 2));
            break;
        case DateToken::Second:
            text += padded(time.second(), std::min(t.width, 2));
            break;
        case DateToken::AmPm: {
            const bool pm = time.hour() >= 12;
            QString mark = t.width == 5 ? (pm ? QStringLiteral("PM") : QStringLiteral("AM"))
                                        : (pm ? QStringLiteral("P") : QStringLiteral("A"));
            if (t.text.at(0).isLower())
                mark = mark.toLower();
            text += mark;
            break;
        }
        }
    }
    return text;
}

QString groupThousands(const QString& digits) {
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += u',';
        grouped += digits.at(i);
    }
    return grouped;
}

// One section of a number format: literal text around one run of digit
// placeholders, with grouping, decimals, percent and exponent.
QString formatNumber(double value, const QString& code) {
    QString prefix, suffix;
    QString pattern;
    bool inPattern = false, afterPattern = false, percent = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        QString literal;
        if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            literal = code.mid(i + 1, (close < 0 ? code.size() : close) - i - 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\') {
            literal = code.mid(i + 1, 1);
            ++i;
        } else if (c == u'_') {
            literal = QStringLiteral(" ");
            ++i;
        } else if (c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype close = code.indexOf(u']', i);
            i = close < 0 ? code.size() : close;
        } else if (!afterPattern &&
                   (c == u'0' || c == u'#' || c == u'?' || c == u'.' || (c == u',' && inPattern) ||
                    ((c == u'E' || c == u'e') && inPattern))) {
            inPattern = true;
            pattern += c;
            if ((c == u'E' || c == u'e') && i + 1 < code.size()) {
                pattern += code.at(++i);
            }
        } else {
            if (inPattern)
                afterPattern = true;
            if (c == u'%')
                percent = true;
            literal = c;
        }
        if (!literal.isEmpty())
            (inPattern || afterPattern ? suffix : prefix) += literal;
    }
    if (percent)
        value *= 100;
    if (pattern.isEmpty())
        return prefix + suffix;

    const qsizetype exponent = pattern.indexOf(u'E', 0, Qt::CaseInsensitive);
    const QString mantissa = exponent < 0 ? pattern : pattern.left(exponent);
    const qsizetype point = mantissa.indexOf(u'.');
    const QString wholePart = point < 0 ? mantissa : mantissa.left(point);
    const QString decimalPart = point < 0 ? QString() : mantissa.mid(point + 1);
    const int decimals =
        int(decimalPart.count(u'0') + decimalPart.count(u'#') + decimalPart.count(u'?'));
    const int requiredDecimals = int(decimalPart.count(u'0'));
    const int requiredWhole = int(wholePart.count(u'0'));
    QString trailingCommas = wholePart;
    // Each comma after the last digit shows the number in thousands.
    while (trailingCommas.endsWith(u',')) {
        value /= 1000;
        trailingCommas.chop(1);
    }
    const bool grouped = trailingCommas.contains(u',');

    if (exponent >= 0) {
        QString text = QString::number(value, 'E', decimals);
        // Qt writes "1.50E+04"; the format's exponent digits decide the width.
        const qsizetype e = text.indexOf(u'E');
        const int expDigits = std::max<int>(1, int(pattern.size() - exponent - 2));
        const int exp = text.mid(e + 1).toInt();
        return prefix + text.left(e) + u'E' + (exp < 0 ? u'-' : u'+') +
               QString::number(std::abs(exp)).rightJustified(expDigits, u'0') + suffix;
    }

    QString text = QString::number(std::abs(value), 'f', decimals);
    QString whole = text.section(u'.', 0, 0);
    QString fraction = text.section(u'.', 1);
    while (fraction.size() > requiredDecimals && fraction.endsWith(u'0'))
        fraction.chop(1);
    if (whole == QLatin1String("0") && requiredWhole == 0)
        whole.clear();
    whole = whole.rightJustified(requiredWhole, u'0');
    if (grouped)
        whole = groupThousands(whole);
    QString number = whole;
    if (point >= 0 && (!fraction.isEmpty() || requiredDecimals > 0 || decimalPart.isEmpty()))
        number += u'.' + fraction;
    // Rounded to nothing, a negative number shows no sign.
    const bool negative = value < 0 && std::any_of(text.cbegin(), text.cend(),
                                                   [](QChar c) { return c >= u'1' && c <= u'9'; });
    return (negative ? QStringLiteral("-") : QString()) + prefix + number + suffix;
}

QString textSection(const QString& text, const QString& code) {
    QString shown;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'@') {
            shown += text;
        } else if (c == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            shown += code.mid(i + 1, (close < 0 ? code.size() : close) - i - 1);
            i = close < 0 ? code.size() : close;
        } else if (c == u'\\' && i + 1 < code.size()) {
            shown += code.at(++i);
        } else if (c != u'_' && c != u'*') {
            shown += c;
        } else {
            ++i;
        }
    }
    return shown;
}

} // namespace

CellText::Entry CellText::recognise(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {text.isEmpty() ? QVariant() : QVariant(text), {}};
    if (const auto number = recogniseNumber(trimmed))
        return *number;
    if (const auto date = recogniseDate(trimmed))
        return *date;
    return {text, {}};
}

QString CellText::plainNumber(double value) {
    if (!std::isfinite(value))
        return QStringLiteral("#NUM!");
    if (value == std::floor(value) && std::abs(value) < 1e15)
        return QString::number(qint64(value));
    QString text = QString::number(value, 'g', MaxDigits);
    if (text.contains(u'e')) {
        const double magnitude = std::abs(value);
        if (magnitude >= 1e-5 && magnitude < 1e15) {
            text = QString::number(value, 'f', MaxDigits);
            while (text.endsWith(u'0'))
                text.chop(1);
            if (text.endsWith(u'.'))
                text.chop(1);
        } else {
            text = text.toUpper();
        }
    }
    return text;
}

double CellText::serial(const QDateTime& dateTime) {
    static const QDate epoch(1899, 12, 30);
    double days = double(epoch.daysTo(dateTime.date()));
    // Serial 60 is the 29 February 1900 the spreadsheet believes in.
    if (dateTime.date() < QDate(1900, 3, 1))
        days -= 1;
    return days + dateTime.time().msecsSinceStartOfDay() / 86400000.0;
}

QVariant CellText::dateFromSerial(double serial) {
    return XlsxReader::serialToDate(serial, false);
}

bool CellText::isDateFormat(const QString& numberFormat) {
    return XlsxReader::isDateFormat(0, numberFormat);
}

QString CellText::entryText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return plainNumber(value.toDouble());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::QDate:
        return formatDate(QDateTime(value.toDate(), QTime(0, 0), Qt::UTC),
                          QStringLiteral("m/d/yyyy"));
    case QMetaType::QDateTime:
        return formatDate(value.toDateTime(), QStringLiteral("m/d/yyyy h:mm:ss AM/PM"));
    default:
        return value.toString();
    }
}

QString CellText::display(const QVariant& value, const QString& numberFormat) {
    if (value.isNull())
        return {};
    const QStringList parts = sections(numberFormat);
    const bool general = numberFormat.isEmpty() ||
                         numberFormat.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
    switch (value.typeId()) {
    case QMetaType::QString:
        if (parts.size() >= 4)
            return textSection(value.toString(), parts.at(3));
        if (parts.first().contains(u'@'))
            return textSection(value.toString(), parts.first());
        return value.toString();
    case QMetaType::Bool:
        return entryText(value);
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const QDateTime dateTime = value.typeId() == QMetaType::QDate
                                       ? QDateTime(value.toDate(), QTime(0, 0), Qt::UTC)
                                       : value.toDateTime();
        if (general || !isDateFormat(numberFormat))
            return general ? entryText(value) : display(serial(dateTime), numberFormat);
        return formatDate(dateTime, parts.first());
    }
    default:
        break;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        return value.toString();
    if (general)
        return plainNumber(number);
    if (isDateFormat(numberFormat)) {
        const QVariant date = dateFromSerial(number);
        const QDateTime dateTime = date.typeId() == QMetaType::QDate
                                       ? QDateTime(date.toDate(), QTime(0, 0))
                                       : date.toDateTime();
        return formatDate(dateTime, parts.first());
    }
    QString section = parts.first();
    double shown = number;
    if (number < 0 && parts.size() >= 2) {
        section = parts.at(1);
        shown = -number;
    } else if (number == 0 && parts.size() >= 3) {
        section = parts.at(2);
    }
    if (section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return plainNumber(shown);
    return formatNumber(shown, section);
}
