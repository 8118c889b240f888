#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

// Cell values to and from text, the way a spreadsheet program takes a typed
// or pasted entry and shows a value through its number format.
//
// Entries recognised as numbers: digits with an optional sign, "." as the
// decimal point and "," between groups of three ("1,234.50"). Kept as text,
// so that nothing of them is lost: several digits starting with 0 (telephone
// numbers, postal codes: "0123"), more than 15 digits (the precision of a
// number), and currency, percent or exponent forms ("$ 2.50", "5%", "1E5"),
// which in contact data are far more often codes or notes than amounts.
//
// Entries recognised as dates: m/d/yyyy (or m/d/yy) and the user's short
// date form, each optionally followed by a time ("2:30 PM", "14:30", or the
// user's short time form). Everything else is text, unchanged.
class CellText {
public:
    struct Entry {
        QVariant value;       // null for an empty entry
        QString numberFormat; // the format the entry implies, empty for none
    };
    static Entry recognise(const QString& text);

    // The value as the number format shows it. Numbers under "General" are
    // written plainly: "." decimal point, no groups, up to 15 digits.
    static QString display(const QVariant& value, const QString& numberFormat);
    // The value as it would be typed back: numbers plainly, dates m/d/yyyy
    // with the time when there is one, TRUE/FALSE.
    static QString entryText(const QVariant& value);
    static QString plainNumber(double value);

    // The spreadsheet's serial day number of a date and time, and back.
    static double serial(const QDateTime& dateTime);
    static QVariant dateFromSerial(double serial);
    static bool isDateFormat(const QString& numberFormat);
};
