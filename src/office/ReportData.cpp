#include "ReportData.h"

#include "data/Database.h"
#include "data/Field.h"
#include "data/SqlQuote.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "formats/CellText.h"
#include "services/Clipboard.h"

#include <sqlite3.h>

#include <vector>

namespace ReportData {

QString recordSource(Report report) {
    switch (report) {
    case Report::CompActivities:
        return QStringLiteral(
            "SELECT TABLE10.TEXT02 AS [PRODUCT GROUP], TABLE10.TEXT03 AS [COMPETITOR'S PRODUCT], "
            "TABLE10.NUMBER02 AS [UNITS PER ANNUM], TABLE10.TEXT04 AS [COST PER UNIT], "
            "TABLE10.TEXT07 AS [COMPANY], TABLE10.TEXT05 AS [SALES PERSON], TABLE10.TEXT06 AS "
            "[DIVISION], TABLE10.DATE01 AS [DATE EDITED] FROM TABLE10 ORDER BY TABLE10.TEXT03");
    case Report::Companies:
        return QStringLiteral(
            "SELECT TABLE01.TEXT01 AS [COMPANY],  TABLE01.TEXT03 AS [POSTAL ADDRESS], "
            "TABLE01.TEXT04 AS [POSTAL CITY],TABLE01.TEXT05 AS [POSTAL CODE], TABLE01.TEXT06 AS "
            "[STREET ADDRESS], TABLE01.TEXT07 AS [STREET ADDRESS 2], TABLE01.TEXT08 AS [CITY], "
            "TABLE01.TEXT09 AS [REGION],TABLE01.TEXT10 AS [TELEPHONE], TABLE01.TEXT11 AS "
            "[TELEFAX], TABLE01.TEXT12 AS [WEBSITE], TABLE01.TEXT13 AS [DIVISION], TABLE01.TEXT14 "
            "AS [BRANCH],TABLE01.TEXT15 AS [CATEGORY],  TABLE01.TEXT17 AS [TYPE OF CONTACT], "
            "TABLE01.DATE01 AS [DATE LAST VISITED], TABLE01.NUMBER01 AS [VISIT FREQUENCY], "
            "TABLE01.TEXT19 AS [SALES MANAGER],TABLE01.TEXT18 AS [SALES PERSON] FROM TABLE01 "
            "WHERE TABLE01.TEXT20 = 'Company' ORDER BY TEXT01");
    case Report::Contacts:
        return QStringLiteral(
            "SELECT TABLE01.TEXT01 AS [COMPANY], TABLE03.TEXT02 AS [FIRST NAME], TABLE03.TEXT03 "
            "AS [LAST NAME], TABLE03.TEXT04 AS [CELLPHONE], TABLE03.TEXT05 AS [E-MAIL], "
            "TABLE03.TEXT06 AS [OCCUPATION], TABLE03.TEXT07 AS [DESIGNATION], TABLE03.TEXT08 AS "
            "[TELEPHONE], TABLE03.TEXT09 AS [TELEFAX], TABLE03.TEXT10 AS [ASSISTANT] FROM TABLE01 "
            "INNER JOIN TABLE03 ON TABLE01.AUTONUMBER = TABLE03.NUMBER01 WHERE "
            "(((TABLE01.TEXT20)='Company'))ORDER BY TABLE01.TEXT01");
    case Report::Projects:
        return QStringLiteral(
            "SELECT TABLE06.TEXT01 AS [INDUSTRY GROUP], TABLE06.DATE01 AS [DATE ENTERED], "
            "TABLE01.TEXT01 AS COMPANY, TABLE01.TEXT13 AS DIVISION, TABLE01.TEXT18 AS [SALES "
            "PERSON], TABLE06.TEXT02 AS [PROJECT NAME], TABLE06.TEXT03 AS [PROJECT STATUS], "
            "TABLE07.DATE01 AS [ACTION DATE], TABLE07.MEMO01 AS [ACTION STEP] FROM TABLE01 INNER "
            "JOIN (TABLE06 INNER JOIN TABLE07 ON TABLE06.AUTONUMBER = TABLE07.NUMBER01) ON "
            "TABLE01.AUTONUMBER = TABLE06.NUMBER01 WHERE (((TABLE01.Text20) = 'Company'))  And "
            "(((TABLE06.TEXT03) = 'Active Project')) ORDER BY TABLE01.TEXT01, TABLE06.TEXT01, "
            "TABLE06.TEXT02, TABLE07.DATE01");
    case Report::Sales:
        break;
    }
    return {};
}

QString salesRecordSource(const QString& dateColumn) {
    return QStringLiteral("SELECT * FROM SALES ORDER BY ") + SqlQuote::name(dateColumn) +
           QStringLiteral(" DESC");
}

namespace {

bool needsQuotes(const QString& text) {
    if (text.startsWith(u'"'))
        return true;
    for (const QChar c : text) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

void appendCell(QString& out, const QString& text) {
    if (!needsQuotes(text)) {
        out += text;
        return;
    }
    out += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            out += u'"';
        out += c;
    }
    out += u'"';
}

} // namespace

QString cellText(const QVariant& value) {
    QString out;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        out = CellText::entryText(value);
        break;
    case QMetaType::Double:
        out = CellText::plainNumber(value.toDouble());
        break;
    default:
        appendCell(out, value.toString());
        break;
    }
    return out;
}

std::optional<QString> capture(const std::shared_ptr<SqliteConnection>& connection,
                               const QString& query, QString* error) {
    const auto translated = Database::translate(connection, query, error);
    if (!translated)
        return std::nullopt;
    SqliteStatement statement = connection->prepare(*translated, error);
    if (!statement.isValid())
        return std::nullopt;

    const int columns = statement.columnCount();
    std::vector<bool> isDate(columns);
    QString text;
    for (int c = 0; c < columns; ++c) {
        isDate[c] = FieldFormat::kindOf(statement.declaredType(c), statement.originColumn(c)) ==
                    FieldKind::Date;
        if (c > 0)
            text += u'\t';
        appendCell(text, statement.columnName(c));
    }
    sqlite3_stmt* handle = statement.handle();
    int rc;
    while ((rc = statement.step()) == SQLITE_ROW) {
        text += u'\r';
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                text += u'\t';
            switch (sqlite3_column_type(handle, c)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                text += QString::number(sqlite3_column_int64(handle, c));
                break;
            case SQLITE_FLOAT:
                text += CellText::plainNumber(sqlite3_column_double(handle, c));
                break;
            default: {
                const QVariant stored = statement.value(c);
                if (isDate[c])
                    text += cellText(FieldFormat::value(stored, FieldKind::Date));
                else
                    appendCell(text, stored.toString());
                break;
            }
            }
        }
    }
    if (rc != SQLITE_DONE) {
        if (error)
            *error = connection->lastError();
        return std::nullopt;
    }
    return text;
}

std::optional<QString> capture(const QString& database, const QString& query, QString* error) {
    const auto connection = SqliteConnection::shared(Database::resolve(database), error);
    if (!connection)
        return std::nullopt;
    return capture(connection, query, error);
}

bool captureToClipboard(const QString& database, const QString& query, QString* error) {
    const auto text = capture(database, query, error);
    if (!text)
        return false;
    Clipboard::clear();
    Clipboard::setText(*text);
    return true;
}

} // namespace ReportData
