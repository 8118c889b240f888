#include "DocumentIndex.h"

#include "SqlTranslator.h"
#include "SqliteConnection.h"
#include "Transaction.h"

#include <QHash>
#include <sqlite3.h>

namespace {

DocumentIndex::PlainText& installedPlainText() {
    static DocumentIndex::PlainText plainText;
    return plainText;
}

QString quoted(const QString& name) {
    return sql::SqlTranslator::quoteName(name);
}

QString text(const QString& value) {
    return sql::SqlTranslator::quoteText(value);
}

const QString Pending = QStringLiteral("TESS_PENDING");
// The document tables whose indexes were built whole and kept since.
const QString Indexed = QStringLiteral("TESS_INDEXED");

QStringList triggerNames(const QString& table) {
    return {table + QStringLiteral("_NOTE_INSERT"), table + QStringLiteral("_NOTE_UPDATE"),
            table + QStringLiteral("_NOTE_DELETE")};
}

// Runs one statement with the given values; the first column of the first
// row, if any, goes to `result`.
bool run(SqliteConnection& connection, const QString& sqlText, const QVariantList& values,
         QString* error, QVariant* result = nullptr) {
    SqliteStatement statement = connection.cached(sqlText, error);
    if (!statement.isValid())
        return false;
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values.at(i));
    const int rc = statement.step();
    if (rc == SQLITE_ROW && result)
        *result = statement.value(0);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    return true;
}

// The entries of one document with the values it now has: the plain text
// goes to the trigram index only when there is some (an index without its
// texts takes a removal only with the text that was indexed).
bool add(SqliteConnection& connection, const QString& table, qint64 row, const QVariant& name,
         const QVariant& memo, QString* error) {
    const QVariant folded =
        name.isNull() ? QVariant() : QVariant(DocumentIndex::fold(name.toString()));
    const QString plain = memo.isNull() ? QString() : installedPlainText()(memo.toString());
    if (!run(connection,
             QStringLiteral("INSERT INTO %1 (\"ROW\", \"FOLDED\", \"BODY\") VALUES (?, ?, ?)")
                 .arg(quoted(DocumentIndex::plainTable(table))),
             {row, folded, memo.isNull() ? QVariant() : QVariant(plain)}, error))
        return false;
    return plain.isEmpty() || run(connection,
                                  QStringLiteral("INSERT INTO %1 (rowid, \"BODY\") VALUES (?, ?)")
                                      .arg(quoted(DocumentIndex::textTable(table))),
                                  {row, plain}, error);
}

// Brings the entries of one document up to date, or removes them when the
// document is gone.
bool index(SqliteConnection& connection, const QString& table, qint64 row, QString* error) {
    const QString plains = quoted(DocumentIndex::plainTable(table));
    const QString texts = quoted(DocumentIndex::textTable(table));
    QVariant indexed;
    if (!run(connection, QStringLiteral("SELECT \"BODY\" FROM %1 WHERE \"ROW\" = ?").arg(plains),
             {row}, error, &indexed))
        return false;
    if (!indexed.toString().isEmpty() &&
        !run(connection,
             QStringLiteral("INSERT INTO %1 (%1, rowid, \"BODY\") VALUES ('delete', ?, ?)")
                 .arg(texts),
             {row, indexed}, error))
        return false;
    if (!run(connection, QStringLiteral("DELETE FROM %1 WHERE \"ROW\" = ?").arg(plains), {row},
             error))
        return false;
    SqliteStatement read = connection.cached(
        QStringLiteral("SELECT TEXT01, MEMO01 FROM %1 WHERE ROWKEY = ?").arg(quoted(table)), error);
    if (!read.isValid())
        return false;
    read.bindInt(1, row);
    const int rc = read.step();
    if (rc == SQLITE_DONE)
        return true;
    if (rc != SQLITE_ROW) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    const QVariant name = read.value(0);
    const QVariant memo = read.value(1);
    read = SqliteStatement();
    return add(connection, table, row, name, memo, error);
}

// Whether the indexes of `table` were built whole and every change since
// was noted: the table is marked as indexed and its three triggers are
// there. An index is made or dropped only with its marker, and a tool that
// works without the triggers (an older version, a dropped trigger) leaves
// changes nobody noted.
std::optional<bool> inStep(SqliteConnection& connection, const QString& table, QString* error) {
    const QStringList triggers = triggerNames(table);
    QVariant found;
    if (!run(connection,
             QStringLiteral("SELECT (SELECT COUNT(*) FROM %1 WHERE \"TABLENAME\" = ?) + (SELECT "
                            "COUNT(*) FROM sqlite_schema WHERE type = 'trigger' AND name IN (?, ?, "
                            "?))")
                 .arg(quoted(Indexed)),
             {table, triggers.at(0), triggers.at(1), triggers.at(2)}, error, &found))
        return std::nullopt;
    return found.toInt() == 4;
}

} // namespace

const QStringList& DocumentIndex::tables() {
    static const QStringList documents{QStringLiteral("TABLE08"), QStringLiteral("TABLE09")};
    return documents;
}

QStringList DocumentIndex::schemaStatements() {
    QStringList statements{
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"TABLENAME\" TEXT NOT NULL, \"ROW\" "
                       "INTEGER NOT NULL, PRIMARY KEY (\"TABLENAME\", \"ROW\")) WITHOUT ROWID")
            .arg(quoted(Pending)),
        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"TABLENAME\" TEXT PRIMARY KEY) WITHOUT "
                       "ROWID")
            .arg(quoted(Indexed))};
    for (const QString& table : tables()) {
        const QString note = QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (%2, %3.\"ROWKEY\");")
                                 .arg(quoted(Pending), text(table));
        statements += {
            QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\"ROW\" INTEGER PRIMARY KEY, "
                           "\"FOLDED\" TEXT, \"BODY\" TEXT)")
                .arg(quoted(plainTable(table))),
            QStringLiteral("CREATE INDEX IF NOT EXISTS %1 ON %2 (\"FOLDED\")")
                .arg(quoted(plainTable(table) + QStringLiteral("_FOLDED")),
                     quoted(plainTable(table))),
            QStringLiteral("CREATE VIRTUAL TABLE IF NOT EXISTS %1 USING fts5(\"BODY\", "
                           "tokenize = 'trigram', detail = 'none', content = '')")
                .arg(quoted(textTable(table))),
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER INSERT ON %2 BEGIN %3 END")
                .arg(quoted(triggerNames(table).at(0)), quoted(table),
                     note.arg(QStringLiteral("new"))),
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS %1 AFTER UPDATE OF \"TEXT01\", \"MEMO01\", "
                "\"ROWKEY\" ON %2 BEGIN %3 %4 END")
                .arg(quoted(triggerNames(table).at(1)), quoted(table),
                     note.arg(QStringLiteral("old")), note.arg(QStringLiteral("new"))),
            QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER DELETE ON %2 BEGIN %3 END")
                .arg(quoted(triggerNames(table).at(2)), quoted(table),
                     note.arg(QStringLiteral("old"))),
        };
    }
    return statements;
}

QString DocumentIndex::fold(const QString& name) {
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

void DocumentIndex::setPlainText(PlainText plainText) {
    installedPlainText() = std::move(plainText);
}

bool DocumentIndex::hasPlainText() {
    return bool(installedPlainText());
}

bool DocumentIndex::update(SqliteConnection& connection, const QString& table, QString* error) {
    if (!hasPlainText()) {
        if (error)
            *error = QStringLiteral("No reader of document texts is installed.");
        return false;
    }
    // The noted changes first: a table with changes not yet taken is in
    // step once they are.
    QList<qint64> rows;
    {
        SqliteStatement noted = connection.cached(
            QStringLiteral("SELECT \"ROW\" FROM %1 WHERE \"TABLENAME\" = ?").arg(quoted(Pending)),
            error);
        if (!noted.isValid())
            return false;
        noted.bind(1, table);
        while (noted.step() == SQLITE_ROW)
            rows.append(noted.intValue(0));
    }
    if (!rows.isEmpty()) {
        Transaction transaction(connection);
        if (!transaction.begin(error))
            return false;
        for (const qint64 row : std::as_const(rows))
            if (!index(connection, table, row, error) ||
                !run(connection,
                     QStringLiteral("DELETE FROM %1 WHERE \"TABLENAME\" = ? AND \"ROW\" = ?")
                         .arg(quoted(Pending)),
                     {table, row}, error))
                return false;
        if (!transaction.commit(error))
            return false;
    }
    if (connection.indexesChecked().contains(table))
        return true;
    const auto ok = inStep(connection, table, error);
    if (!ok)
        return false;
    if (!*ok && !rebuild(connection, table, error))
        return false;
    connection.indexesChecked().insert(table);
    return true;
}

bool DocumentIndex::rebuild(SqliteConnection& connection, const QString& table, QString* error) {
    if (!hasPlainText()) {
        if (error)
            *error = QStringLiteral("No reader of document texts is installed.");
        return false;
    }
    Transaction transaction(connection);
    if (!transaction.begin(error))
        return false;
    const QString plains = quoted(plainTable(table));
    const QString texts = quoted(textTable(table));
    if (!connection.execute(schemaStatements().join(QStringLiteral("; ")), error) ||
        !connection.execute(
            QStringLiteral("DELETE FROM %1; INSERT INTO %2 (%2) VALUES "
                           "('delete-all'); DELETE FROM %3 WHERE \"TABLENAME\" = %4")
                .arg(plains, texts, quoted(Pending), text(table)),
            error))
        return false;
    SqliteStatement read = connection.prepare(
        QStringLiteral("SELECT ROWKEY, TEXT01, MEMO01 FROM %1").arg(quoted(table)), error);
    if (!read.isValid())
        return false;
    int rc;
    while ((rc = read.step()) == SQLITE_ROW)
        if (!add(connection, table, read.intValue(0), read.value(1), read.value(2), error))
            return false;
    if (rc != SQLITE_DONE) {
        if (error)
            *error = connection.lastError();
        return false;
    }
    read = SqliteStatement();
    return run(connection,
               QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (?)").arg(quoted(Indexed)), {table},
               error) &&
           transaction.commit(error);
}

QStringList DocumentIndex::markAllIndexed() {
    QStringList statements;
    for (const QString& table : tables())
        statements.append(QStringLiteral("INSERT OR IGNORE INTO %1 VALUES (%2)")
                              .arg(quoted(Indexed), text(table)));
    return statements;
}

std::optional<QString> DocumentIndex::candidatesQuery(const QString& likePattern) {
    // The trigrams of the literal runs between the dialect's wildcards
    // (* ? # and [...] sets): a text the pattern matches holds every one.
    // The index keeps no positions, so each trigram is a term of its own.
    QStringList trigrams;
    QList<uint> run;
    auto end = [&] {
        for (qsizetype i = 0; i + 3 <= run.size() && trigrams.size() < 24; ++i) {
            const QString trigram =
                QString::fromUcs4(reinterpret_cast<const char32_t*>(run.constData() + i), 3);
            const QString term =
                u'"' + QString(trigram).replace(u'"', QStringLiteral("\"\"")) + u'"';
            if (!trigrams.contains(term))
                trigrams.append(term);
        }
        run.clear();
    };
    const QList<uint> pattern = likePattern.toUcs4();
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const uint c = pattern.at(i);
        if (c == U'*' || c == U'?' || c == U'#') {
            end();
        } else if (c == U'[') {
            end();
            const qsizetype close = pattern.indexOf(U']', i + 1);
            if (close < 0)
                return std::nullopt; // the pattern reader decides what this means
            i = close;
        } else {
            run.append(c);
        }
    }
    end();
    if (trigrams.isEmpty())
        return std::nullopt;
    return trigrams.join(QStringLiteral(" AND "));
}
