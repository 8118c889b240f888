#include "Locale.h"

#include <QRegularExpression>

namespace {

std::optional<QLocale>& pinned() {
    static std::optional<QLocale> locale;
    return locale;
}

// Order of day, month and year in a Qt date format, e.g. "MDY" for M/d/yyyy.
QString fieldOrder(const QString& format) {
    QString order;
    for (QChar c : format) {
        QChar field;
        if (c == u'd')
            field = u'D';
        else if (c == u'M')
            field = u'M';
        else if (c == u'y')
            field = u'Y';
        if (!field.isNull() && !order.contains(field))
            order.append(field);
    }
    return order.size() == 3 ? order : QStringLiteral("MDY");
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
    return current().timeFormat(QLocale::ShortFormat);
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

std::optional<QTime> Locale::parseTime(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})(?::(\\d{1,2}))?(?::(\\d{1,2}))?\\s*([^\\d\\s:]+)?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(4).isEmpty()))
        return std::nullopt;
    int hour = m.captured(1).toInt();
    const int minute = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    const int second = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
    const QString designator = m.captured(4);
    if (!designator.isEmpty()) {
        const bool am = designator.compare(amDesignator(), Qt::CaseInsensitive) == 0 ||
                        designator.compare(QLatin1String("AM"), Qt::CaseInsensitive) == 0;
        const bool pm = designator.compare(pmDesignator(), Qt::CaseInsensitive) == 0 ||
                        designator.compare(QLatin1String("PM"), Qt::CaseInsensitive) == 0;
        if ((!am && !pm) || hour < 1 || hour > 12)
            return std::nullopt;
        hour = (hour % 12) + (pm ? 12 : 0);
    }
    const QTime time(hour, minute, second);
    if (!time.isValid())
        return std::nullopt;
    return time;
}

std::optional<QDateTime> Locale::withTime(const QDate& date, const QString& timeText,
                                          bool* hasTime) {
    if (timeText.isEmpty())
        return QDateTime(date, QTime(0, 0));
    const auto time = parseTime(timeText);
    if (!time)
        return std::nullopt;
    if (hasTime)
        *hasTime = true;
    return QDateTime(date, *time);
}

std::optional<QDateTime> Locale::parseDateTime(const QString& input, bool* hasTime) {
    const QString text = input.trimmed();
    if (hasTime)
        *hasTime = false;
    if (text.isEmpty())
        return std::nullopt;

    // ISO 8601: 2026-12-10, 2026-12-10 14:30:00, 2026-12-10T14:30
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[T ](\\d{1,2}:\\d{2}(?::\\d{2})?))?$"));
    if (const QRegularExpressionMatch m = iso.match(text); m.hasMatch()) {
        const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (!date.isValid())
            return std::nullopt;
        return withTime(date, m.captured(4), hasTime);
    }

    // The short date form as written, where it names the month ("2 Nov 2026"),
    // perhaps followed by a time.
    const QString dateFormat = shortDateFormat();
    if (dateFormat.contains(QLatin1String("MMM"))) {
        const qsizetype words = dateFormat.split(u' ', Qt::SkipEmptyParts).size();
        const QStringList parts = text.split(u' ', Qt::SkipEmptyParts);
        const QDate date = current().toDate(parts.mid(0, words).join(u' '), dateFormat);
        if (date.isValid())
            return withTime(date, parts.mid(words).join(u' '), hasTime);
    }

    // Short date form: three numbers in the locale's order, any separators.
    static const QRegularExpression regional(
        QStringLiteral("^(\\d{1,4})[^\\d\\s]+(\\d{1,2})[^\\d\\s]+(\\d{1,4})\\.?(?:\\s+(.+))?$"));
    const QRegularExpressionMatch m = regional.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString order = fieldOrder(dateFormat);
    int day = 0, month = 0, year = 0;
    bool yearWritten = false;
    for (int i = 0; i < 3; ++i) {
        const QString part = m.captured(i + 1);
        const int value = part.toInt();
        switch (order.at(i).unicode()) {
        case u'D':
            day = value;
            break;
        case u'M':
            month = value;
            break;
        default:
            year = value;
            yearWritten = part.size() == 4;
            break;
        }
    }
    if (!yearWritten) {
        if (year >= 100)
            return std::nullopt;
        year = widenYear(year);
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return withTime(date, m.captured(4), hasTime);
}

std::optional<QDate> Locale::parseDate(const QString& text) {
    const auto dateTime = parseDateTime(text);
    if (!dateTime)
        return std::nullopt;
    return dateTime->date();
}

std::optional<qint64> Locale::parseInteger(const QString& input) {
    const QString text = input.trimmed();
    bool ok = false;
    qint64 value = current().toLongLong(text, &ok);
    if (ok)
        return value;
    value = QLocale::c().toLongLong(text, &ok);
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
    value = QLocale::c().toDouble(text, &ok);
    if (ok)
        return value;
    return std::nullopt;
}

QString Locale::numberText(double value) {
    QString text = current().toString(value, 'f', 10);
    // Trim the zeros that a fixed precision leaves behind.
    const QString decimal = current().decimalPoint();
    if (text.contains(decimal)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(decimal))
            text.chop(decimal.size());
    }
    text.remove(current().groupSeparator());
    return text;
}
