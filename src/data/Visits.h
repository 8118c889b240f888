#pragma once

#include <QDate>
#include <QVariant>
#include <optional>

// The visit schedule of a company: how many days it is overdue for a visit,
// and when the reminder to make the next appointment falls. A visit
// frequency is a number of whole days; 0 or none means no schedule.
//
// The companies window, the overdue visits list and the reminder window all
// work out their dates here.
namespace Visits {

// The date of a date last visited as a field gives it: a date, the day of a
// date and time, or a text in the user's date form or ISO; none for an
// empty field or a text that is no date.
std::optional<QDate> lastVisitOf(const QVariant& value);
// The whole days of a visit frequency as a field gives it: a number, or a
// text in the user's form (a frequency typed with a fraction counts its
// whole days); none for an empty field or a text that is no number.
std::optional<qint64> frequencyOf(const QVariant& value);

// The days a company is overdue on `today`: the days since its last visit
// beyond its visit frequency. A company last visited exactly `frequency`
// days ago is not yet overdue; an archived one (not `active`) never is; both
// give 0. None where the rule does not apply (never visited, or a frequency
// of 0 or none): the days stored before stay as they are.
std::optional<qint64> daysOverdue(std::optional<QDate> lastVisit, std::optional<qint64> frequency,
                                  bool active, const QDate& today);

// Two days before the next visit is due: `frequency` days after the last
// visit (after `today` for a company never visited), less two days.
QDate reminderDue(std::optional<QDate> lastVisit, qint64 frequency, const QDate& today);
// The weekend rule: a Saturday moves to the Monday after, and so does a
// Sunday; every other day stays.
QDate offWeekend(const QDate& date);
// The day of the reminder: reminderDue() moved off a weekend.
QDate reminderDate(std::optional<QDate> lastVisit, qint64 frequency, const QDate& today);

} // namespace Visits
