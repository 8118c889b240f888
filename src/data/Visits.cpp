#include "Visits.h"

#include "platform/Locale.h"

#include <QDateTime>
#include <cmath>

namespace Visits {

std::optional<QDate> lastVisitOf(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::QDate:
        if (value.toDate().isValid())
            return value.toDate();
        return std::nullopt;
    case QMetaType::QDateTime:
        if (value.toDateTime().isValid())
            return value.toDateTime().date();
        return std::nullopt;
    case QMetaType::QString:
        return Locale::parseDate(value.toString());
    default:
        return std::nullopt;
    }
}

std::optional<qint64> frequencyOf(const QVariant& value) {
    std::optional<double> number;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return std::nullopt;
    case QMetaType::QString:
        number = Locale::parseNumber(value.toString());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        number = value.toDouble();
        break;
    default: {
        bool ok = false;
        const qlonglong whole = value.toLongLong(&ok);
        if (ok)
            return whole;
        return std::nullopt;
    }
    }
    // Beyond this a number is no count of days (and no qint64).
    constexpr double Largest = 9.0e18;
    if (!number || !std::isfinite(*number) || std::fabs(*number) >= Largest)
        return std::nullopt;
    return qint64(std::trunc(*number));
}

std::optional<qint64> daysOverdue(std::optional<QDate> lastVisit, std::optional<qint64> frequency,
                                  bool active, const QDate& today) {
    if (!lastVisit || !frequency || *frequency == 0)
        return std::nullopt;
    const qint64 beyond = lastVisit->daysTo(today) - *frequency;
    return active && beyond > 0 ? beyond : 0;
}

QDate reminderDue(std::optional<QDate> lastVisit, qint64 frequency, const QDate& today) {
    return lastVisit.value_or(today).addDays(frequency - 2);
}

QDate offWeekend(const QDate& date) {
    switch (date.dayOfWeek()) {
    case Qt::Saturday:
        return date.addDays(2);
    case Qt::Sunday:
        return date.addDays(1);
    default:
        return date;
    }
}

QDate reminderDate(std::optional<QDate> lastVisit, qint64 frequency, const QDate& today) {
    return offWeekend(reminderDue(lastVisit, frequency, today));
}

} // namespace Visits
