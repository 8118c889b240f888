#pragma once

#include <QString>
#include <functional>
#include <optional>

class DataSource;

// What the competitor products window and the price list share below the
// windows: the record sources built from a typed search, the display name
// and the price form their walks write, the spreadsheet imports and a walk
// step that handles as many rows as fit in a time slice.
namespace ProductLists {

// TABLE11: competitor's product (TEXT01), competitor (TEXT02), equivalent
// (TEXT03), display name (TEXT04), notes (MEMO01).
QString competitionSource();
// The products whose name or equivalent holds the typed text anywhere.
// Apostrophes are doubled; * ? # typed stay wildcards.
QString competitionSearch(const QString& typed);
// "Glue X From: Rival Inc"; a product without a competitor ends in " From: ".
QString displayName(const QString& product, const QString& competitor);

// TABLE13: product (TEXT01), price (TEXT02), currency (TEXT03), document
// path (TEXT04), notes (MEMO01).
QString priceListSource();
// The products whose name holds the typed text anywhere.
QString priceListSearch(const QString& typed);
// The price written "#0.00" (two decimals, at least one digit before the
// point, always a point); nothing when the text is no number. Accepts the
// plain form ("12.5", "1e3") and the user's regional form ("12,5").
std::optional<QString> formattedPrice(const QString& text);

// The spreadsheet imports: the sheet (COMPETITION of Competition.xlsx, PRICES
// of Prices.xlsx in the program folder; an older .xls of the name stands in)
// becomes the work table Temp, its rows go into the table once per distinct
// row, and Temp is dropped again, also after a failure. False with the
// database's message when a step failed; rows already inserted stay.
bool importCompetition(const QString& programFolder, QString* error);
bool importPrices(const QString& programFolder, QString* error);
// The workbook an import reads: the .xlsx of that name in the program
// folder, or the older .xls of the name where only that one exists.
QString importWorkbook(const QString& programFolder, const QString& xlsxName);
// DROP TABLE Temp, any error (no such table) passed over.
void dropTemp();

// One tick of a record walk over the data source's rows: from the current
// row on, `step` runs on each row (it may edit it) and the walk moves on,
// until the end or until `sliceMs` milliseconds are spent; the rows of one
// tick are stored in one transaction. True when the walk is past the last row.
bool walkSlice(DataSource* source, const std::function<void()>& step, int sliceMs);
// One tick of deleting every row from the first on, as many as fit in
// `sliceMs`; true when none is left.
bool deleteSlice(DataSource* source, int sliceMs);

} // namespace ProductLists
