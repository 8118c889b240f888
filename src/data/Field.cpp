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

std::optional<QDateTime> storedDate(const QVariant& stored, bool* hasTime) {
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    const QString text = stored.toString();
    if (text.size() < 10 || text.at(4) != u'-')
        return std::nullopt;
    return Locale::parseDateTime(text, hasTime);
}

QString realText(double value) {
    return Locale::numberText(value);
}

} // namespace

QVariant value(const QVariant& stored, FieldKind kind) {
    if (stored.isNull())
        return {};
    if (kind == FieldKind::Date) {
        bool hasTime = false;
        if (const auto dt = storedDate(stored, &hasTime))
            return hasTime ? QVariant(*dt) : QVariant(dt->date());
    }
    return stored;
}

QString text(const QVariant& stored, FieldKind kind) {
    if (stored.isNull())
        return {};
    if (kind == FieldKind::Date) {
        bool hasTime = false;
        if (const auto dt = storedDate(stored, &hasTime))
            return hasTime ? Locale::dateTimeText(*dt) : Locale::dateText(dt->date());
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
