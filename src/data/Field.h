#pragma once

#include <QString>
#include <QVariant>
#include <optional>

// How a field's values are stored, shown and parsed back.
enum class FieldKind {
    Text,    // TEXT and MEMO columns
    Integer, // NUMBER columns and keys
    Real,    // numeric columns of imported worksheets
    Date,    // DATE columns: ISO 8601 text, shown in the short date form
    Computed // expressions: read-only, shown as their value
};

struct Field {
    QString name; // as the data source calls it: alias, column, or TABLE.COLUMN
    QString sql;  // SQLite expression of the select list
    FieldKind kind = FieldKind::Computed;
    int source = -1; // index of the origin table in the FROM clause; -1 computed
    QString column;  // origin column
    bool updatable = false;
};

// Conversions between stored values, the texts bound controls show, and the
// texts (or typed values) that programs and users put back.
namespace FieldFormat {

FieldKind kindOf(const QString& declaredType, const QString& column);

// Stored value (qlonglong, double, QString) as the field's value: dates
// become QDate, or QDateTime when they hold a time of day.
QVariant value(const QVariant& stored, FieldKind kind);

// The text a bound control shows: empty for NULL, dates in the short date
// form with the time after it where there is one, numbers plain.
QString text(const QVariant& stored, FieldKind kind);

// The value to store for an edit (a control's text or a program's value), or
// nothing with the reason when the value does not fit the field. An empty
// text stores NULL in number and date fields and stays empty text elsewhere.
std::optional<QVariant> storage(const QVariant& input, FieldKind kind, QString* why);

} // namespace FieldFormat
