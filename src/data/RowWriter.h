#pragma once

#include "Field.h"
#include "OriginTable.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

class Keyset;
class SeenRow;
class SqliteConnection;
class Transaction;

// Writes rows of a keyed result back to their tables, each write in one
// transaction: the save of an edit, checked against what another user
// stored since the row was read, the insert of a new row, and the delete.
class RowWriter {
public:
    // A field of the edit that another user changed: what is stored now.
    struct Conflict {
        int field;
        QVariant stored;
    };
    // Asks whether the edit replaces what the other user stored (true) or
    // gives way to it (false).
    using KeepOwnEdit = std::function<bool(const QList<Conflict>& conflicts)>;

    enum class Outcome {
        Written,
        Withdrawn, // the user kept the stored values of every edited field
        RowGone,   // the row has been deleted from its table
        Failed,    // error() says why
    };

    RowWriter(SqliteConnection& connection, const std::vector<Field>& fields,
              const std::vector<OriginTable>& tables)
        : m_connection(connection)
        , m_fields(fields)
        , m_tables(tables) {}

    // Stores `values` (field -> value to store) in row `row` of `keyset`.
    // Fields whose stored value the user chose instead leave `values`.
    Outcome update(const Keyset& keyset, int row, QHash<int, QVariant>& values, SeenRow& seen,
                   const KeepOwnEdit& keepOwnEdit);
    // Inserts a new row into the one table all `values` belong to.
    bool insert(const QHash<int, QVariant>& values);
    bool remove(const OriginTable& table, qint64 key);

    const QString& error() const { return m_error; }
    // The connection's change stamp just before the last write, and whether
    // another connection committed between that look and the write.
    quint64 stampBefore() const { return m_stampBefore; }
    bool othersWrote() const { return m_othersWrote; }
    // Where the last insert went.
    int newTable() const { return m_newTable; }
    qint64 newKey() const { return m_newKey; }

private:
    bool begin(Transaction& transaction);
    // The edited fields whose stored value is no longer the one the user
    // saw; nullopt when the row has gone or cannot be read.
    std::optional<QList<Conflict>> conflicts(const Keyset& keyset, int row,
                                             const QHash<int, QVariant>& values,
                                             const SeenRow& seen);
    bool updateTable(int table, qint64 key, const QList<QPair<QString, QVariant>>& columns);
    QHash<int, QList<QPair<QString, QVariant>>> byTable(const QHash<int, QVariant>& values) const;
    void markRowGone();

    SqliteConnection& m_connection;
    const std::vector<Field>& m_fields;
    const std::vector<OriginTable>& m_tables;
    QString m_error;
    bool m_rowGone = false;
    quint64 m_stampBefore = 0;
    bool m_othersWrote = true;
    int m_newTable = -1;
    qint64 m_newKey = 0;
};
