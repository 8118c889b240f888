#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class SqliteConnection;

// Indexes beside the document tables (call reports TABLE08, correspondence
// TABLE09) that make their two lookups fast without an index on a text
// column:
//
// - T_PLAIN (ROW, FOLDED, BODY): each document's company name (TEXT01)
//   folded by the program's case rule, with an index, and its plain text
//   (the RTF of MEMO01 without its markup). The program compares text
//   ignoring letter case for all of Unicode, which SQLite's own NOCASE does
//   only for ASCII; an index on TEXT01 itself would be ordered by the
//   program's rule and look corrupt to other SQLite tools. The folded copy
//   is compared byte for byte, which every tool orders alike. A search reads
//   the plain text, so it finds a word that is partly bold and never an RTF
//   control word.
// - T_TEXT: an FTS5 trigram index of the plain texts, without a copy of the
//   texts and without positions (a tenth of the size of a full one): it
//   names the documents that hold every trigram of a search's literal runs,
//   and the search's own LIKE then reads the plain text of those few.
//
// Both are kept by the program, not by SQL functions of its own, so the
// files stay usable by the stock sqlite3 shell: triggers that use SQLite's
// own functions only note every inserted, changed or deleted document in
// TESS_PENDING, in the transaction of the change (a crash loses nothing, a
// change by another tool is noted too). Before a query reads an index, the
// program brings it up to date from that list. An index that was never built
// whole (a file of an earlier version) or whose triggers are missing (an
// older tool dropped them) is rebuilt, with its triggers; TESS_INDEXED marks
// the tables whose indexes are whole.
class DocumentIndex {
public:
    static const QStringList& tables(); // the document tables that have the indexes
    static QString plainTable(const QString& table) { return table + QStringLiteral("_PLAIN"); }
    static QString textTable(const QString& table) { return table + QStringLiteral("_TEXT"); }

    // The statements that make the indexes and triggers; they may run again.
    static QStringList schemaStatements();
    // For a new file, whose document tables are empty: its indexes are whole.
    static QStringList markAllIndexed();

    // A name as the name index holds it: the program's case rule.
    static QString fold(const QString& name);

    // The plain text of a stored memo (RTF or plain), installed at start by
    // the formats layer. Without it the text index is neither kept nor used.
    using PlainText = std::function<QString(const QString& memo)>;
    static void setPlainText(PlainText plainText);
    static bool hasPlainText();

    // Brings the indexes of `table` up to date: the noted changes, and a
    // rebuild where an index is out of step (checked once per connection).
    static bool update(SqliteConnection& connection, const QString& table, QString* error);
    // Makes both indexes of `table` anew from the table.
    static bool rebuild(SqliteConnection& connection, const QString& table, QString* error);

    // An FTS5 query (the trigrams of the pattern's literal runs of three or
    // more characters) that every text matching the LIKE pattern of the
    // dialect also matches; nothing when the pattern has no such run.
    static std::optional<QString> candidatesQuery(const QString& likePattern);
};
