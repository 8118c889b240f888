#include "ProductLists.h"

#include "DataSource.h"
#include "Database.h"
#include "SqlQuote.h"
#include "SqliteConnection.h"
#include "Transaction.h"
#include "platform/Locale.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace ProductLists {

QString competitionSource() {
    return QStringLiteral("SELECT * FROM TABLE11 ORDER BY TABLE11.TEXT02");
}

QString competitionSearch(const QString& typed) {
    const QString text = SqlQuote::text(typed);
    return QStringLiteral("SELECT * FROM TABLE11 WHERE TEXT01 LIKE '*") + text +
           QStringLiteral("*'  OR TEXT03 LIKE '*") + text +
           QStringLiteral("*' ORDER BY TABLE11.TEXT02");
}

QString displayName(const QString& product, const QString& competitor) {
    return product + QStringLiteral(" From: ") + competitor;
}

QString priceListSource() {
    return QStringLiteral("SELECT TEXT01, TEXT03, TEXT02, TEXT04, MEMO01 FROM TABLE13 ORDER BY "
                          "TEXT01");
}

QString priceListSearch(const QString& typed) {
    return QStringLiteral("SELECT TEXT01, TEXT03, TEXT02, TEXT04, MEMO01 FROM TABLE13 WHERE "
                          "TEXT01 LIKE '*") +
           SqlQuote::text(typed) + QStringLiteral("*' ORDER BY TEXT01");
}

std::optional<QString> formattedPrice(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok) {
        const auto regional = Locale::parseNumber(trimmed);
        if (!regional)
            return std::nullopt;
        value = *regional;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    QString formatted = QString::number(value, 'f', 2);
    if (formatted == QLatin1String("-0.00"))
        formatted = QStringLiteral("0.00");
    return formatted;
}

namespace {

const QString TemporaryTable = QStringLiteral("Temp");

// The .xlsx is named; where only an older .xls of that name exists, the
// make-table reads that one.
QString makeTableStatement(const QString& sheet, const QString& programFolder,
                           const QString& file) {
    return QStringLiteral("SELECT * INTO Temp FROM [") + sheet +
           QStringLiteral("$] IN '' 'Excel 8.0;database=") +
           SqlQuote::text(programFolder + u'\\' + file) + QStringLiteral("';");
}

bool runOn(const QString& database, const QString& statement, QString* error) {
    Database db;
    if (!db.open(database, error))
        return false;
    const bool ok = db.execute(statement, error);
    db.close();
    return ok;
}

// The sheet's columns as the make-table named them.
QStringList tempColumns(QString* error) {
    Database db;
    if (!db.open(QStringLiteral("TESSALY.mdb"), error))
        return {};
    return db.connection()->visibleColumns(TemporaryTable).value_or(QStringList{});
}

bool runImport(const QString& programFolder, const QString& sheet, const QString& file,
               const std::function<QString(const QStringList& columns)>& insert, QString* error) {
    // A work table left by an import that was cut short would stop this one.
    dropTemp();
    const bool ok = [&] {
        if (!runOn(programFolder + QStringLiteral("/TESSALY.mdb"),
                   makeTableStatement(sheet, programFolder, file), error))
            return false;
        return runOn(QStringLiteral("TESSALY.mdb"), insert(tempColumns(error)), error);
    }();
    dropTemp();
    return ok;
}

} // namespace

QString importWorkbook(const QString& programFolder, const QString& xlsxName) {
    const QDir folder(programFolder);
    const QString xlsx = folder.filePath(xlsxName);
    const QString xls = xlsx.chopped(1);
    return !QFileInfo::exists(xlsx) && QFileInfo::exists(xls) ? xls : xlsx;
}

bool importCompetition(const QString& programFolder, QString* error) {
    return runImport(
        programFolder, QStringLiteral("COMPETITION"), QStringLiteral("Competition.xlsx"),
        [](const QStringList& columns) {
            // An exported list names the competitor SUPPLIER: it imports as well.
            const bool exported =
                !columns.contains(QStringLiteral("COMPETITOR'S NAME"), Qt::CaseInsensitive) &&
                columns.contains(QStringLiteral("SUPPLIER"), Qt::CaseInsensitive);
            return QStringLiteral("INSERT INTO TABLE11 (TEXT01, TEXT02, TEXT03) SELECT DISTINCT "
                                  "Temp.[COMPETITOR'S PRODUCT] AS TEXT01, Temp.[") +
                   (exported ? QStringLiteral("SUPPLIER") : QStringLiteral("COMPETITOR'S NAME")) +
                   QStringLiteral("] AS TEXT02, Temp.[EQUIVALENT] AS TEXT03 From Temp");
        },
        error);
}

bool importPrices(const QString& programFolder, QString* error) {
    return runImport(
        programFolder, QStringLiteral("PRICES"), QStringLiteral("Prices.xlsx"),
        [](const QStringList&) {
            return QStringLiteral(
                "INSERT INTO TABLE13 (TEXT01, TEXT03, TEXT02, MEMO01) SELECT DISTINCT "
                "Temp.[PRODUCT] AS TEXT01, Temp.[CURRENCY] AS TEXT03, Temp.[PRICE] AS TEXT02, "
                "Temp.[NOTES] AS MEMO01 From Temp");
        },
        error);
}

void dropTemp() {
    QString ignored;
    runOn(QStringLiteral("TESSALY.mdb"), QStringLiteral("DROP TABLE Temp;"), &ignored);
}

namespace {

// The rows of one tick are stored together: one commit, not one per row.
template <class Body> bool inSlice(DataSource* source, int sliceMs, Body body) {
    std::optional<Transaction> batch;
    if (const auto connection = source->connection()) {
        batch.emplace(*connection);
        if (!batch->begin(nullptr))
            batch.reset();
    }
    QElapsedTimer slice;
    slice.start();
    bool done = false;
    do {
        done = body();
    } while (!done && slice.elapsed() < sliceMs);
    if (batch)
        batch->commit(nullptr);
    return done;
}

} // namespace

bool walkSlice(DataSource* source, const std::function<void()>& step, int sliceMs) {
    Recordset* rs = source->recordset();
    return inSlice(source, sliceMs, [&] {
        if (rs->eof())
            return true;
        step();
        // A value that cannot be stored is passed over.
        if (!rs->moveNext() && !rs->eof()) {
            rs->cancelUpdate();
            rs->moveNext();
        }
        return rs->eof();
    });
}

bool deleteSlice(DataSource* source, int sliceMs) {
    Recordset* rs = source->recordset();
    return inSlice(source, sliceMs, [&] {
        if (!rs->moveFirst() || rs->eof())
            return true;
        // A row that cannot be deleted ends the walk rather than looping on it.
        if (!rs->deleteCurrent())
            return true;
        rs->moveNext();
        return rs->eof();
    });
}

} // namespace ProductLists
