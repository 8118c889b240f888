#include "data/Replication.h"

#include "ChangeLog.h"
#include "Schema.h"
#include "SqlTranslator.h"
#include "SqliteConnection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QUuid>
#include <cstring>
#include <memory>
#include <sqlite3.h>

// The engine is SQLite's session extension: every write transaction of a
// member records its changeset (SqliteConnection), and synchronising applies
// those changesets with sqlite3changeset_apply_v2.
//
// A synchronisation holds the replica's write lock and the server's lock file
// from start to end. It pushes the replica's unsent changes to the server in
// one server transaction, then pulls what the server has from the other
// members in one replica transaction.
//
// Pushing: the change synchronised later wins, field by field. A changeset
// carries the old and new values of the fields it changed only, so edits of
// different fields of one row never meet. Where a field the replica changed
// was changed on the server since, the replica's value replaces it and the
// server's goes to the conflicts table. A delete replaces a row changed on
// the server since (its changed fields go to the conflicts table); an edit of
// a row deleted on the server brings the row back as the replica has it (the
// delete goes to the conflicts table). What the push did to the server is
// recorded by a session on the server and logged with the replica as origin,
// so that the other members pull exactly that.
//
// Pulling: after the push the server holds the outcome of every conflict, so
// a row whose pulled change does not fit the replica is simply made what the
// server's row is.
namespace Replication {

namespace {

using Connection = std::shared_ptr<SqliteConnection>;

QString native(const QString& path) {
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

Outcome failed(const QString& message) {
    Outcome outcome;
    outcome.error = message;
    return outcome;
}

QString quote(const QString& name) {
    return sql::SqlTranslator::quoteName(name);
}

// Only one synchronisation or copy at a time works on a server copy.
std::unique_ptr<QLockFile> lockServer(const QString& serverPath, QString* error) {
    auto lock = std::make_unique<QLockFile>(QFileInfo(serverPath).absoluteFilePath() +
                                            QStringLiteral(".lock"));
    lock->setStaleLockTime(0); // stale only when its process is gone
    if (lock->tryLock(15000))
        return lock;
    *error = lock->error() == QLockFile::LockFailedError
                 ? QStringLiteral("The database on the server, %1, is being synchronized by "
                                  "someone else. Try again in a few minutes.")
                       .arg(native(serverPath))
                 : QStringLiteral("The database on the server, %1, cannot be locked for "
                                  "synchronizing: its folder cannot be written to.")
                       .arg(native(serverPath));
    return nullptr;
}

// The server copy must be there, writable with its folder, and a Tessaly
// database; all of it is checked before anything is written, through a
// read-only look at the file.
// The lock file is taken once the file is known to be there and writable,
// before SQLite reads it, so another synchronisation is waited for rather
// than met half-way.
Connection openServer(const QString& serverPath, bool member, std::unique_ptr<QLockFile>* lock,
                      QString* error) {
    const QFileInfo info(serverPath);
    if (serverPath.trimmed().isEmpty() || !info.exists() || !info.isFile()) {
        *error = QStringLiteral("The database on the server, %1, cannot be found. Check that "
                                "the server can be reached and that the path is right.")
                     .arg(serverPath.trimmed().isEmpty() ? QStringLiteral("(no path given)")
                                                         : native(serverPath));
        return nullptr;
    }
    // A file marked read-only stays so even for a user whom the system
    // would let write to it.
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isReadable() || !info.isWritable() || !(info.permissions() & writeBits) ||
        !QFileInfo(info.absolutePath()).isWritable()) {
        *error = QStringLiteral("The database on the server, %1, is read-only. Tessaly must be "
                                "able to write to it and to its folder; ask the administrator "
                                "of the server for write access.")
                     .arg(native(serverPath));
        return nullptr;
    }
    *lock = lockServer(serverPath, error);
    if (!*lock)
        return nullptr;
    {
        sqlite3* look = nullptr;
        const QByteArray file = info.absoluteFilePath().toUtf8();
        int rc = sqlite3_open_v2(file.constData(), &look, SQLITE_OPEN_READONLY, nullptr);
        QString why;
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(look, 5000);
            const char* check = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND "
                                "name IN ('TABLE01', 'TABLE02')";
            sqlite3_stmt* statement = nullptr;
            rc = sqlite3_prepare_v2(look, check, -1, &statement, nullptr);
            if (rc == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
                if (sqlite3_column_int(statement, 0) != 2)
                    why = QStringLiteral("it has no table TABLE01 or TABLE02.");
            } else {
                why = QString::fromUtf8(sqlite3_errmsg(look));
            }
            sqlite3_finalize(statement);
        } else {
            why = QString::fromUtf8(look ? sqlite3_errmsg(look) : sqlite3_errstr(rc));
        }
        sqlite3_close_v2(look);
        if (!why.isEmpty()) {
            *error = QStringLiteral("The file %1 is not a Tessaly database: %2")
                         .arg(native(serverPath), why);
            return nullptr;
        }
    }
    QString why;
    Connection server =
        SqliteConnection::standalone(serverPath, SqliteConnection::Journal::Rollback, &why);
    if (!server || !Schema::recognize(*server, Schema::Kind::Main, &why)) {
        *error = why;
        return nullptr;
    }
    if (sqlite3_db_readonly(server->handle(), "main") == 1) {
        *error = QStringLiteral("The database on the server, %1, is read-only. Tessaly must be "
                                "able to write to it.")
                     .arg(native(serverPath));
        return nullptr;
    }
    if (member && !server->tableExists(QString::fromLatin1(ChangeLog::IdentityTable))) {
        *error = QStringLiteral("The database %1 is not the origin of replicas: create a replica "
                                "from it first.")
                     .arg(native(serverPath));
        return nullptr;
    }
    return server;
}

struct Identity {
    QString set;
    QString member;
    QString description;
    bool server = false;
    qint64 keyRange = 0;
    qint64 nextKeyRange = 0;
    qint64 sentUpTo = 0;
    qint64 pulledUpTo = 0;
};

std::optional<Identity> readIdentity(SqliteConnection& connection, QString* error) {
    SqliteStatement read = connection.prepare(
        QStringLiteral("SELECT \"ReplicaSet\", \"Replica\", \"Description\", \"IsServer\", "
                       "\"KeyRange\", \"NextKeyRange\", \"SentUpTo\", \"PulledUpTo\" FROM "
                       "\"ReplicaIdentity\""),
        error);
    if (!read.isValid() || read.step() != SQLITE_ROW) {
        if (error && error->isEmpty())
            *error = connection.lastError();
        return std::nullopt;
    }
    Identity identity;
    identity.set = read.value(0).toString();
    identity.member = read.value(1).toString();
    identity.description = read.value(2).toString();
    identity.server = read.intValue(3) != 0;
    identity.keyRange = read.intValue(4);
    identity.nextKeyRange = read.intValue(5);
    identity.sentUpTo = read.intValue(6);
    identity.pulledUpTo = read.intValue(7);
    return identity;
}

bool sameValue(sqlite3_value* a, sqlite3_value* b) {
    if (!a || !b)
        return a == b;
    const int type = sqlite3_value_type(a);
    if (type != sqlite3_value_type(b)) {
        const bool numbers =
            (type == SQLITE_INTEGER || type == SQLITE_FLOAT) &&
            (sqlite3_value_type(b) == SQLITE_INTEGER || sqlite3_value_type(b) == SQLITE_FLOAT);
        return numbers && sqlite3_value_double(a) == sqlite3_value_double(b);
    }
    switch (type) {
    case SQLITE_NULL:
        return true;
    case SQLITE_INTEGER:
        return sqlite3_value_int64(a) == sqlite3_value_int64(b);
    case SQLITE_FLOAT:
        return sqlite3_value_double(a) == sqlite3_value_double(b);
    default: {
        const int size = sqlite3_value_bytes(a);
        return size == sqlite3_value_bytes(b) &&
               std::memcmp(sqlite3_value_blob(a), sqlite3_value_blob(b), size_t(size)) == 0;
    }
    }
}

QVariant variant(sqlite3_value* value) {
    if (!value)
        return {};
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_value_int64(value)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(value));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                                          sqlite3_value_bytes(value)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_value_blob(value)),
                                   sqlite3_value_bytes(value)));
    default:
        return {};
    }
}

struct Conflict {
    QString table;
    qint64 key = 0;
    QString column;
    QVariant kept;
    QVariant lost;
    QString what;
};

using RowKey = QPair<QString, qint64>;

// What the conflict handler of one apply learns.
struct Apply {
    SqliteConnection* target = nullptr;
    bool push = false;
    QList<Conflict> conflicts;
    QList<RowKey> rows; // rows to copy from the other side afterwards
    QSet<RowKey> seen;
    QHash<QString, QStringList> columns;

    const QStringList& columnsOf(const QString& table) {
        auto it = columns.find(table);
        if (it == columns.end())
            it = columns.insert(table, target->allColumns(table).value_or(QStringList()));
        return *it;
    }
    QString columnName(const QString& table, int index) {
        const QStringList& names = columnsOf(table);
        return index < names.size() ? names.at(index) : QString::number(index);
    }
    void copyRow(const QString& table, qint64 key) {
        const RowKey row{table, key};
        if (!seen.contains(row)) {
            seen.insert(row);
            rows.append(row);
        }
    }
};

int filterTable(void* context, const char* table) {
    auto* apply = static_cast<Apply*>(context);
    const QString name = QString::fromUtf8(table);
    return ChangeLog::isReplicated(name) && !apply->columnsOf(name).isEmpty() ? 1 : 0;
}

qint64 rowKey(sqlite3_changeset_iter* it, int op, int columns) {
    unsigned char* primary = nullptr;
    int count = 0;
    sqlite3changeset_pk(it, &primary, &count);
    for (int i = 0; i < columns && i < count; ++i) {
        if (!primary[i])
            continue;
        sqlite3_value* value = nullptr;
        if (op == SQLITE_INSERT)
            sqlite3changeset_new(it, i, &value);
        else
            sqlite3changeset_old(it, i, &value);
        return value ? sqlite3_value_int64(value) : 0;
    }
    return 0;
}

int resolveConflict(void* context, int kind, sqlite3_changeset_iter* it) {
    auto* apply = static_cast<Apply*>(context);
    if (kind == SQLITE_CHANGESET_FOREIGN_KEY) {
        apply->conflicts.append({QString(),
                                 0,
                                 QString(),
                                 {},
                                 {},
                                 QStringLiteral("Not applied: the changes break a rule of the "
                                                "database that links rows to each other.")});
        return SQLITE_CHANGESET_OMIT;
    }
    const char* tableName = nullptr;
    int columns = 0, op = 0, indirect = 0;
    sqlite3changeset_op(it, &tableName, &columns, &op, &indirect);
    const QString table = QString::fromUtf8(tableName);
    const qint64 key = rowKey(it, op, columns);
    if (!apply->push) {
        // The server already holds the outcome of this conflict.
        apply->copyRow(table, key);
        return SQLITE_CHANGESET_OMIT;
    }
    unsigned char* primary = nullptr;
    sqlite3changeset_pk(it, &primary, nullptr);
    auto record = [&](int column, sqlite3_value* kept, sqlite3_value* lost, const QString& what) {
        apply->conflicts.append({table, key,
                                 column < 0 ? QString() : apply->columnName(table, column),
                                 variant(kept), variant(lost), what});
    };
    switch (kind) {
    case SQLITE_CHANGESET_DATA:
        if (op == SQLITE_UPDATE) {
            for (int i = 0; i < columns; ++i) {
                sqlite3_value *changed = nullptr, *before = nullptr, *current = nullptr;
                sqlite3changeset_new(it, i, &changed);
                if (!changed || primary[i])
                    continue;
                sqlite3changeset_old(it, i, &before);
                sqlite3changeset_conflict(it, i, &current);
                if (!sameValue(current, before) && !sameValue(current, changed))
                    record(i, changed, current,
                           QStringLiteral("Overwritten by a change synchronized later."));
            }
            return SQLITE_CHANGESET_REPLACE;
        }
        if (op == SQLITE_DELETE) {
            for (int i = 0; i < columns; ++i) {
                sqlite3_value *before = nullptr, *current = nullptr;
                if (primary[i])
                    continue;
                sqlite3changeset_old(it, i, &before);
                sqlite3changeset_conflict(it, i, &current);
                if (!sameValue(current, before))
                    record(i, nullptr, current,
                           QStringLiteral("Changed, then deleted by a change synchronized "
                                          "later."));
            }
            return SQLITE_CHANGESET_REPLACE;
        }
        return SQLITE_CHANGESET_OMIT;
    case SQLITE_CHANGESET_NOTFOUND:
        if (op == SQLITE_UPDATE) {
            // Changed after the delete was synchronized: the row comes back.
            apply->copyRow(table, key);
            record(-1, nullptr, nullptr,
                   QStringLiteral("The deletion of this row was undone: the row was changed "
                                  "and synchronized after the deletion."));
        }
        return SQLITE_CHANGESET_OMIT; // a delete of a row deleted already
    case SQLITE_CHANGESET_CONFLICT:
        for (int i = 0; i < columns; ++i) {
            sqlite3_value *added = nullptr, *current = nullptr;
            sqlite3changeset_new(it, i, &added);
            sqlite3changeset_conflict(it, i, &current);
            if (!primary[i] && !sameValue(current, added))
                record(i, added, current,
                       QStringLiteral("Overwritten by a row added and synchronized later."));
        }
        return SQLITE_CHANGESET_REPLACE;
    default:
        record(-1, nullptr, nullptr,
               QStringLiteral("Not applied: the change breaks a rule of the database."));
        return SQLITE_CHANGESET_OMIT;
    }
}

// The changes of several changesets as one, each row once.
std::optional<QByteArray> combine(const QList<QByteArray>& changesets, QString* error) {
    sqlite3_changegroup* group = nullptr;
    int rc = sqlite3changegroup_new(&group);
    for (const QByteArray& changeset : changesets) {
        if (rc != SQLITE_OK)
            break;
        if (!changeset.isEmpty())
            rc = sqlite3changegroup_add(group, int(changeset.size()),
                                        const_cast<char*>(changeset.constData()));
    }
    int size = 0;
    void* output = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3changegroup_output(group, &size, &output);
    sqlite3changegroup_delete(group);
    if (rc != SQLITE_OK) {
        sqlite3_free(output);
        *error = QStringLiteral("The recorded changes cannot be read: %1")
                     .arg(QString::fromUtf8(sqlite3_errstr(rc)));
        return std::nullopt;
    }
    QByteArray combined(static_cast<const char*>(output), size);
    sqlite3_free(output);
    return combined;
}

int countChanges(const QByteArray& changeset) {
    if (changeset.isEmpty())
        return 0;
    sqlite3_changeset_iter* it = nullptr;
    if (sqlite3changeset_start(&it, int(changeset.size()),
                               const_cast<char*>(changeset.constData())) != SQLITE_OK)
        return 0;
    int count = 0;
    while (sqlite3changeset_next(it) == SQLITE_ROW)
        ++count;
    sqlite3changeset_finalize(it);
    return count;
}

bool applyChanges(SqliteConnection& target, const QByteArray& changeset, Apply& apply,
                  QString* error) {
    apply.target = &target;
    if (changeset.isEmpty())
        return true;
    const int rc = sqlite3changeset_apply_v2(target.handle(), int(changeset.size()),
                                             const_cast<char*>(changeset.constData()), filterTable,
                                             resolveConflict, &apply, nullptr, nullptr, 0);
    if (rc != SQLITE_OK) {
        *error = QStringLiteral("The changes cannot be applied to %1: %2")
                     .arg(native(target.path()), target.lastError());
        return false;
    }
    return true;
}

// Makes the row of `to` what it is in `from`: the same values, or gone.
bool copyRow(SqliteConnection& from, SqliteConnection& to, const QString& table, qint64 key,
             QString* error) {
    const auto columns = to.allColumns(table);
    const auto source = from.allColumns(table);
    if (!columns || !source)
        return true;
    QStringList shared;
    for (const QString& column : *columns)
        if (source->contains(column, Qt::CaseInsensitive))
            shared.append(column);
    const QString keyColumn = quote(to.keyColumn(table));
    QStringList names;
    for (const QString& column : std::as_const(shared))
        names.append(quote(column));
    SqliteStatement read =
        from.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?1")
                         .arg(names.join(QStringLiteral(", ")), quote(table), keyColumn),
                     error);
    if (!read.isValid())
        return false;
    read.bindInt(1, key);
    const int found = read.step();
    if (found == SQLITE_DONE) {
        SqliteStatement remove = to.prepare(
            QStringLiteral("DELETE FROM %1 WHERE %2 = ?1").arg(quote(table), keyColumn), error);
        if (!remove.isValid())
            return false;
        remove.bindInt(1, key);
        if (remove.step() != SQLITE_DONE) {
            *error = to.lastError();
            return false;
        }
        return true;
    }
    if (found != SQLITE_ROW) {
        *error = from.lastError();
        return false;
    }
    QStringList places;
    for (int i = 0; i < shared.size(); ++i)
        places.append(QStringLiteral("?%1").arg(i + 1));
    SqliteStatement write = to.prepare(
        QStringLiteral("INSERT OR REPLACE INTO %1 (%2) VALUES (%3)")
            .arg(quote(table), names.join(QStringLiteral(", ")), places.join(QStringLiteral(", "))),
        error);
    if (!write.isValid())
        return false;
    for (int i = 0; i < shared.size(); ++i)
        write.bind(i + 1, read.value(i));
    if (write.step() != SQLITE_DONE) {
        *error = to.lastError();
        return false;
    }
    return true;
}

bool storeConflicts(SqliteConnection& connection, const QList<Conflict>& conflicts,
                    const QString& by, const QString& when, QString* error) {
    SqliteStatement insert = connection.prepare(
        QStringLiteral("INSERT INTO \"ReplicaConflicts\" (\"Synchronized\", \"SynchronizedBy\", "
                       "\"TableName\", \"RowKey\", \"ColumnName\", \"KeptValue\", \"LostValue\", "
                       "\"What\") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"),
        error);
    if (!insert.isValid())
        return false;
    for (const Conflict& c : conflicts) {
        insert.reset();
        insert.bind(1, when);
        insert.bind(2, by);
        insert.bind(3, c.table);
        insert.bind(4, c.table.isEmpty() ? QVariant() : QVariant(c.key));
        insert.bind(5, c.column.isEmpty() ? QVariant() : QVariant(c.column));
        insert.bind(6, c.kept);
        insert.bind(7, c.lost);
        insert.bind(8, c.what);
        if (insert.step() != SQLITE_DONE) {
            *error = connection.lastError();
            return false;
        }
    }
    return true;
}

// A session on the server while a push is applied: what the push really
// did there, conflicts resolved, which is what the other members pull.
class ServerSession {
public:
    explicit ServerSession(SqliteConnection& server) {
        if (sqlite3session_create(server.handle(), "main", &m_session) == SQLITE_OK) {
            sqlite3session_table_filter(
                m_session,
                [](void*, const char* table) {
                    return ChangeLog::isReplicated(QString::fromUtf8(table)) ? 1 : 0;
                },
                nullptr);
            sqlite3session_attach(m_session, nullptr);
        }
    }
    ~ServerSession() {
        if (m_session)
            sqlite3session_delete(m_session);
    }
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    std::optional<QByteArray> changeset(QString* error) {
        int size = 0;
        void* changes = nullptr;
        const int rc =
            m_session ? sqlite3session_changeset(m_session, &size, &changes) : SQLITE_ERROR;
        if (rc != SQLITE_OK) {
            sqlite3_free(changes);
            *error = QStringLiteral("The changes on the server cannot be recorded: %1")
                         .arg(QString::fromUtf8(sqlite3_errstr(rc)));
            return std::nullopt;
        }
        QByteArray result(static_cast<const char*>(changes), size);
        sqlite3_free(changes);
        return result;
    }

private:
    sqlite3_session* m_session = nullptr;
};

// A transaction on a connection of the engine's own; rolled back unless
// committed.
class Write {
public:
    explicit Write(SqliteConnection& connection)
        : m_connection(connection) {}
    ~Write() {
        if (m_open)
            m_connection.execute(QStringLiteral("ROLLBACK"), nullptr);
    }
    Write(const Write&) = delete;
    Write& operator=(const Write&) = delete;
    bool begin(QString* error) {
        m_open = m_connection.execute(QStringLiteral("BEGIN IMMEDIATE"), error);
        return m_open;
    }
    bool commit(QString* error) {
        if (!m_connection.execute(QStringLiteral("COMMIT"), error))
            return false;
        m_open = false;
        return true;
    }

private:
    SqliteConnection& m_connection;
    bool m_open = false;
};

std::function<void()>& pushedHook() {
    static std::function<void()> hook;
    return hook;
}

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo one(a), other(b);
    if (one.exists() && other.exists())
        return one.canonicalFilePath() == other.canonicalFilePath();
    return QDir::cleanPath(one.absoluteFilePath()) == QDir::cleanPath(other.absoluteFilePath());
}

void removeDatabaseFiles(const QString& path) {
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

} // namespace

void setPushedHook(std::function<void()> hook) {
    pushedHook() = std::move(hook);
}

QString conflictsTable() {
    return QString::fromLatin1(ChangeLog::ConflictsTable);
}

Outcome makeReplicable(const QString& serverPath) {
    QString error;
    std::unique_ptr<QLockFile> lock;
    Connection server = openServer(serverPath, false, &lock, &error);
    if (!server)
        return failed(error);
    if (!server->tableExists(QString::fromLatin1(ChangeLog::IdentityTable))) {
        Write write(*server);
        if (!write.begin(&error))
            return failed(error);
        for (const QString& statement : ChangeLog::createStatements())
            if (!server->execute(statement, &error))
                return failed(error);
        SqliteStatement identity = server->prepare(
            QStringLiteral("INSERT INTO \"ReplicaIdentity\" (\"Replicable\", \"ReplicaSet\", "
                           "\"Replica\", \"Description\", \"IsServer\", \"KeyRange\", "
                           "\"NextKeyRange\") VALUES ('T', ?1, ?2, ?3, 1, 0, 1)"),
            &error);
        if (!identity.isValid())
            return failed(error);
        identity.bind(1, QUuid::createUuid().toString(QUuid::WithoutBraces));
        identity.bind(2, QUuid::createUuid().toString(QUuid::WithoutBraces));
        identity.bind(3, QStringLiteral("Server copy %1").arg(native(serverPath)));
        if (identity.step() != SQLITE_DONE)
            return failed(server->lastError());
        identity = SqliteStatement();
        if (!write.commit(&error))
            return failed(error);
    } else if (!server->execute(
                   QStringLiteral("UPDATE \"ReplicaIdentity\" SET \"Replicable\" = 'T'"), &error)) {
        return failed(error);
    }
    server->close();
    Outcome outcome;
    outcome.ok = true;
    return outcome;
}

Outcome copyReplica(const QString& serverPath, const QString& replicaPath,
                    const QString& description) {
    QString error;
    if (replicaPath.trimmed().isEmpty())
        return failed(QStringLiteral("No path is given for the new replica."));
    if (sameFile(serverPath, replicaPath))
        return failed(QStringLiteral("The replica cannot replace the database it is made from, "
                                     "%1. Choose another place for the replica.")
                          .arg(native(serverPath)));
    std::unique_ptr<QLockFile> lock;
    Connection server = openServer(serverPath, true, &lock, &error);
    if (!server)
        return failed(error);
    const auto identity = readIdentity(*server, &error);
    if (!identity)
        return failed(error);
    if (!identity->server)
        return failed(QStringLiteral("The database %1 is a replica itself, not the database on "
                                     "the server. Make the replica from the database on the "
                                     "server.")
                          .arg(native(serverPath)));
    if (identity->nextKeyRange > ChangeLog::MaxKeyRange)
        return failed(
            QStringLiteral("No more replicas can be made from %1.").arg(native(serverPath)));

    // The copy is made whole beside the replica path and only then takes
    // its name, so a failure leaves the database that stood there as it was.
    const QString target = QFileInfo(replicaPath).absoluteFilePath();
    const QString building = target + QStringLiteral(".new");
    removeDatabaseFiles(building);
    if (!QFileInfo(QFileInfo(target).absolutePath()).isWritable())
        return failed(QStringLiteral("The replica cannot be written to %1: the folder cannot be "
                                     "written to.")
                          .arg(native(target)));
    {
        SqliteStatement copy = server->prepare(QStringLiteral("VACUUM INTO ?1"), &error);
        if (!copy.isValid())
            return failed(error);
        copy.bind(1, building);
        if (copy.step() != SQLITE_DONE) {
            error = server->lastError();
            copy = SqliteStatement();
            removeDatabaseFiles(building);
            return failed(QStringLiteral("The replica cannot be written to %1: %2")
                              .arg(native(target), error));
        }
    }
    {
        Write write(*server);
        if (!write.begin(&error) ||
            !server->execute(QStringLiteral("UPDATE \"ReplicaIdentity\" SET \"NextKeyRange\" = "
                                            "\"NextKeyRange\" + 1"),
                             &error) ||
            !write.commit(&error)) {
            removeDatabaseFiles(building);
            return failed(error);
        }
    }
    server->close();
    {
        Connection replica =
            SqliteConnection::standalone(building, SqliteConnection::Journal::Wal, &error);
        if (!replica) {
            removeDatabaseFiles(building);
            return failed(error);
        }
        Write write(*replica);
        SqliteStatement own;
        bool ok = write.begin(&error);
        if (ok) {
            own = replica->prepare(
                QStringLiteral("UPDATE \"ReplicaIdentity\" SET \"Replica\" = ?1, \"Description\" "
                               "= ?2, \"IsServer\" = 0, \"KeyRange\" = ?3, \"NextKeyRange\" = "
                               "NULL, \"SentUpTo\" = 0, \"PulledUpTo\" = (SELECT "
                               "coalesce(max(\"Seq\"), 0) FROM \"ReplicaChanges\")"),
                &error);
            ok = own.isValid();
        }
        if (ok) {
            own.bind(1, QUuid::createUuid().toString(QUuid::WithoutBraces));
            own.bind(2, description);
            own.bindInt(3, identity->nextKeyRange);
            ok = own.step() == SQLITE_DONE;
            if (!ok)
                error = replica->lastError();
            own = SqliteStatement();
        }
        ok = ok &&
             replica->execute(QStringLiteral("DELETE FROM \"ReplicaChanges\"; DELETE FROM "
                                             "\"ReplicaConflicts\""),
                              &error) &&
             write.commit(&error);
        if (ok)
            ok = replica->closeComplete(&error);
        replica.reset();
        if (!ok) {
            removeDatabaseFiles(building);
            return failed(error);
        }
    }
    // The program's own connection to the file being replaced lets go of it.
    SqliteConnection::closeShared(target);
    removeDatabaseFiles(target);
    if (!QFile::rename(building, target)) {
        removeDatabaseFiles(building);
        return failed(QStringLiteral("The replica cannot be written to %1: the file there cannot "
                                     "be replaced.")
                          .arg(native(target)));
    }
    Outcome outcome;
    outcome.ok = true;
    return outcome;
}

Outcome synchronize(const QString& replicaPath, const QString& serverPath) {
    QString error;
    if (!QFileInfo(replicaPath).isFile())
        return failed(QStringLiteral("The replica %1 cannot be found.").arg(native(replicaPath)));
    if (sameFile(serverPath, replicaPath))
        return failed(QStringLiteral("The database on the server and the replica are the same "
                                     "file, %1.")
                          .arg(native(replicaPath)));
    std::unique_ptr<QLockFile> lock;
    Connection server = openServer(serverPath, true, &lock, &error);
    if (!server)
        return failed(error);
    Connection replica =
        SqliteConnection::standalone(replicaPath, SqliteConnection::Journal::Wal, &error);
    if (!replica)
        return failed(error);
    if (!replica->tableExists(QString::fromLatin1(ChangeLog::IdentityTable)))
        return failed(QStringLiteral("The database %1 is not a replica: create a replica of the "
                                     "database on the server first.")
                          .arg(native(replicaPath)));

    // The replica's write lock is held to the end, so that the changes sent
    // are exactly those marked as sent.
    Write local(*replica);
    if (!local.begin(&error))
        return failed(error);
    const auto mine = readIdentity(*replica, &error);
    const auto theirs = mine ? readIdentity(*server, &error) : std::nullopt;
    if (!mine || !theirs)
        return failed(error);
    if (!theirs->server)
        return failed(QStringLiteral("The database %1 is a replica itself, not the database on "
                                     "the server. Choose the database on the server.")
                          .arg(native(serverPath)));
    if (mine->set != theirs->set || mine->server)
        return failed(QStringLiteral("The database %1 is not a replica of %2.")
                          .arg(native(replicaPath), native(serverPath)));

    Outcome outcome;
    outcome.conflictsTable = conflictsTable();
    const QString when = now();
    const QString by = mine->description.isEmpty() ? mine->member : mine->description;

    // Push.
    QList<Conflict> conflicts;
    qint64 sentUpTo = mine->sentUpTo;
    {
        qint64 received = 0;
        {
            SqliteStatement last = server->prepare(
                QStringLiteral("SELECT coalesce(max(\"OriginSeq\"), 0) FROM \"ReplicaChanges\" "
                               "WHERE \"Origin\" = ?1"),
                &error);
            if (!last.isValid())
                return failed(error);
            last.bind(1, mine->member);
            if (last.step() != SQLITE_ROW)
                return failed(server->lastError());
            received = last.intValue(0);
        }
        QList<QByteArray> unsent;
        {
            SqliteStatement read = replica->prepare(
                QStringLiteral("SELECT \"Seq\", \"Changeset\" FROM \"ReplicaChanges\" WHERE "
                               "\"Origin\" = ?1 AND \"Seq\" > ?2 ORDER BY \"Seq\""),
                &error);
            if (!read.isValid())
                return failed(error);
            read.bind(1, mine->member);
            read.bindInt(2, mine->sentUpTo);
            while (read.step() == SQLITE_ROW) {
                sentUpTo = read.intValue(0);
                // Sent before, by a synchronisation that stopped halfway.
                if (sentUpTo > received)
                    unsent.append(read.value(1).toByteArray());
            }
        }
        const auto changes = combine(unsent, &error);
        if (!changes)
            return failed(error);
        if (sentUpTo > received) {
            Write write(*server);
            if (!write.begin(&error))
                return failed(error);
            ServerSession session(*server);
            Apply apply;
            apply.push = true;
            if (!applyChanges(*server, *changes, apply, &error))
                return failed(error);
            for (const RowKey& row : std::as_const(apply.rows))
                if (!copyRow(*replica, *server, row.first, row.second, &error))
                    return failed(error);
            const auto done = session.changeset(&error);
            if (!done)
                return failed(error);
            SqliteStatement log = server->prepare(
                QStringLiteral("INSERT INTO \"ReplicaChanges\" (\"Origin\", \"OriginSeq\", "
                               "\"Made\", \"Changeset\") VALUES (?1, ?2, ?3, ?4)"),
                &error);
            if (!log.isValid())
                return failed(error);
            log.bind(1, mine->member);
            log.bindInt(2, sentUpTo);
            log.bind(3, when);
            log.bind(4, done->isEmpty() ? QByteArray("") : *done);
            if (log.step() != SQLITE_DONE)
                return failed(server->lastError());
            log = SqliteStatement();
            if (!storeConflicts(*server, apply.conflicts, by, when, &error) ||
                !write.commit(&error))
                return failed(error);
            outcome.pushed = countChanges(*changes);
            conflicts = apply.conflicts;
        }
    }

    if (pushedHook())
        pushedHook()();

    // Pull.
    qint64 pulledUpTo = mine->pulledUpTo;
    QList<QByteArray> incoming;
    {
        SqliteStatement read = server->prepare(
            QStringLiteral("SELECT \"Seq\", \"Origin\", \"Changeset\" FROM \"ReplicaChanges\" "
                           "WHERE \"Seq\" > ?1 ORDER BY \"Seq\""),
            &error);
        if (!read.isValid())
            return failed(error);
        read.bindInt(1, mine->pulledUpTo);
        while (read.step() == SQLITE_ROW) {
            pulledUpTo = read.intValue(0);
            if (read.value(1).toString() != mine->member)
                incoming.append(read.value(2).toByteArray());
        }
    }
    const auto changes = combine(incoming, &error);
    if (!changes)
        return failed(error);
    Apply apply;
    if (!applyChanges(*replica, *changes, apply, &error))
        return failed(error);
    for (const RowKey& row : std::as_const(apply.rows))
        if (!copyRow(*server, *replica, row.first, row.second, &error))
            return failed(error);
    outcome.pulled = countChanges(*changes);
    {
        SqliteStatement mark = replica->prepare(
            QStringLiteral("UPDATE \"ReplicaIdentity\" SET \"SentUpTo\" = ?1, \"PulledUpTo\" = ?2"),
            &error);
        if (!mark.isValid())
            return failed(error);
        mark.bindInt(1, sentUpTo);
        mark.bindInt(2, pulledUpTo);
        if (mark.step() != SQLITE_DONE)
            return failed(replica->lastError());
    }
    if (!storeConflicts(*replica, conflicts, by, when, &error) || !local.commit(&error))
        return failed(error);
    server->close();
    replica->close();
    outcome.conflicts = int(conflicts.size());
    outcome.ok = true;
    return outcome;
}

} // namespace Replication
