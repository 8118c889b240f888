#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// The user's regional forms for dates, times and numbers. Every window shows
// and parses dates through this class, so tests can pin one locale and get the
// same texts on every machine.
class Locale {
public:
    static QLocale current();

    // Test hook: use this locale instead of the system's until unpinned.
    static void pin(const QLocale& locale);
    static void unpin();

    // Short date form as a Qt format string; a two-digit year is widened to
    // four digits, because a date shown with two digits and parsed back would
    // land in the wrong century.
    static QString shortDateFormat();
    static QString shortTimeFormat();
    static QString amDesignator();
    static QString pmDesignator();

    static QString dateText(const QDate& date);
    static QString timeText(const QTime& time);
    // Date, and the time after a blank when it is not midnight.
    static QString dateTimeText(const QDateTime& dateTime);

    // Accepts the short date form (with one- or two-digit day and month and a
    // two- or four-digit year) and ISO 8601; an optional time may follow.
    static std::optional<QDateTime> parseDateTime(const QString& text, bool* hasTime = nullptr);
    static std::optional<QDate> parseDate(const QString& text);
    static std::optional<QTime> parseTime(const QString& text);

    // Whole numbers in the user's form (group separators allowed) or plain.
    static std::optional<qint64> parseInteger(const QString& text);
    static std::optional<double> parseNumber(const QString& text);
    static QString numberText(double value);

    // Two-digit years as the regional settings read them: 00-29 are 2000-2029.
    static int widenYear(int twoDigitYear);
};
