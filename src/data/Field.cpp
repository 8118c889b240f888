#include "Field.h"

#include "Schema.h"
#include "platform/Locale.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

namespace FieldFormat {

FieldKind kindOf(const QString& declaredType, const QString& column) {
    const QString type = declaredType.toUpper();
    if (Schema::isDateColumn(column) || type.contains(QLatin1String("DATE")) ||
        type.contains(QLatin1String("TIME")))
        return FieldKind::Date;
    if (type.contains(QLatin1String("INT")))
        return FieldKind::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUM")))
        return FieldKind::Real;
    return FieldKind::Text;
}

namespace {

struct StoredDate {
    QDate date;
    QTime time;
    bool hasTime = false;
    QDateTime dateTime() const { return QDateTime(date, time); }
};

// The number the `count` ASCII digits at `s` write; -1 for anything else.
int digitsAt(const QChar* s, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

// The forms the program stores, "2026-12-10" and "2026-12-10 14:30:00",
// read digit by digit: every date of every row read passes here, and the
// general reader costs more than the rest of the row.
std::optional<StoredDate> storedForm(const QString& text) {
    const qsizetype size = text.size();
    if (size != 10 && size != 19)
        return std::nullopt;
    const QChar* s = text.constData();
    if (s[4] != u'-' || s[7] != u'-')
        return std::nullopt;
    const int year = digitsAt(s, 4), month = digitsAt(s + 5, 2), day = digitsAt(s + 8, 2);
    if (year < 0 || month < 0 || day < 0) // QDate takes year -1 for a year
        return std::nullopt;
    StoredDate stored;
    stored.date = QDate(year, month, day);
    if (!stored.date.isValid())
        return std::nullopt;
    if (size == 10) {
        stored.time = QTime(0, 0);
        return stored;
    }
    if ((s[10] != u' ' && s[10] != u'T') || s[13] != u':' || s[16] != u':')
        return std::nullopt;
    stored.time = QTime(digitsAt(s + 11, 2), digitsAt(s + 14, 2), digitsAt(s + 17, 2));
    if (!stored.time.isValid())
        return std::nullopt;
    stored.hasTime = true;
    return stored;
}

std::optional<StoredDate> storedDate(const QVariant& stored) {
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString& text = *static_cast<const QString*>(stored.constData());
    if (text.size() < 10 || text.at(4) != u'-')
        return std::nullopt;
    if (const auto fast = storedForm(text))
        return fast;
    StoredDate read;
    const auto dt = Locale::parseDateTime(text, &read.hasTime);
    if (!dt)
        return std::nullopt;
    read.date = dt->date();
    read.time = dt->time();
    return read;
}

QString realText(double value) {
    return Locale::numberText(value);
}

} // namespace

QVariant value(const QVariant& stored, FieldKind kind) {
    if (stored.isNull())
        return {};
    if (kind == FieldKind::Date) {
        if (const auto d = storedDate(stored))
            return d->hasTime ? QVariant(d->dateTime()) : QVariant(d->date);
    }
    return stored;
}

QString text(const QVariant& stored, FieldKind kind) {
    if (stored.isNull())
        return {};
    if (kind == FieldKind::Date) {
        if (const auto d = storedDate(stored))
            return d->hasTime ? Locale::dateTimeText(d->dateTime()) : Locale::dateText(d->date);
    }
    if (stored.typeId() == QMetaType::Double)
        return realText(stored.toDouble());
    return stored.toString();
}

std::optional<QVariant> storage(const QVariant& input, FieldKind kind, QString* why) {
    if (input.isNull())
        return QVariant();
    const int type = input.typeId();
    const bool isText = type == QMetaType::QString;
    const QString textValue = isText ? input.toString() : QString();
    if (isText && textValue.trimmed().isEmpty() && kind != FieldKind::Text &&
        kind != FieldKind::Computed)
        return QVariant();

    switch (kind) {
    case FieldKind::Text:
    case FieldKind::Computed:
        if (type == QMetaType::QDate || type == QMetaType::QDateTime)
            return QVariant(
                text(storage(input, FieldKind::Date, why).value_or(QVariant()), FieldKind::Date));
        if (type == QMetaType::Double)
            return QVariant(realText(input.toDouble()));
        return QVariant(input.toString());
    case FieldKind::Integer: {
        // A whole number given as a real or in a real's form ("12.0", "1e3")
        // is taken when it is exact and within the 64-bit range.
        auto whole = [&](double d) -> std::optional<QVariant> {
            if (!std::isfinite(d) || d != std::floor(d))
                return std::nullopt;
            if (d < -9223372036854775808.0 || d >= 9223372036854775808.0) {
                if (why)
                    *why = QStringLiteral("is too large for a whole number");
                return std::nullopt;
            }
            return QVariant(qlonglong(d));
        };
        if (why)
            *why = QStringLiteral("is not a whole number");
        if (type == QMetaType::Double) {
            return whole(input.toDouble());
        } else if (!isText && input.canConvert<qlonglong>() && type != QMetaType::QDate &&
                   type != QMetaType::QDateTime) {
            bool ok = false;
            const qlonglong v = input.toLongLong(&ok);
            if (ok)
                return QVariant(v);
        } else if (isText) {
            if (const auto v = Locale::parseInteger(textValue))
                return QVariant(qlonglong(*v));
            if (const auto d = Locale::parseNumber(textValue))
                return whole(*d);
        }
        return std::nullopt;
    }
    case FieldKind::Real: {
        if (isText) {
            if (const auto d = Locale::parseNumber(textValue))
                return QVariant(*d);
        } else if (type != QMetaType::QDate && type != QMetaType::QDateTime) {
            bool ok = false;
            const double d = input.toDouble(&ok);
            if (ok)
                return QVariant(d);
        }
        if (why)
            *why = QStringLiteral("is not a number");
        return std::nullopt;
    }
    case FieldKind::Date: {
        QDateTime dt;
        bool hasTime = false;
        if (type == QMetaType::QDate) {
            dt = QDateTime(input.toDate(), QTime(0, 0));
        } else if (type == QMetaType::QDateTime) {
            dt = input.toDateTime();
            hasTime = dt.time() != QTime(0, 0);
        } else if (const auto parsed = Locale::parseDateTime(input.toString(), &hasTime)) {
            dt = *parsed;
        }
        if (!dt.isValid()) {
            if (why)
                *why = QStringLiteral("is not a date");
            return std::nullopt;
        }
        return QVariant(hasTime ? dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                : dt.date().toString(Qt::ISODate));
    }
    }
    return std::nullopt;
}

} // namespace FieldFormat
