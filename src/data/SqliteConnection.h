#pragma once

#include "SqliteStatement.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_session;

// One open SQLite database file, shared by every data source and direct
// operation of the process that names the same file (SqliteConnection::shared).
//
// Every connection carries the dialect's rules: a NOCASE collation that ignores
// letter case for all of Unicode, a like() with the dialect's wildcards, and
// tess_concat() for the & operator. Local files run in WAL mode with
// synchronous=FULL; a file on a shared folder stays in rollback-journal mode.
class SqliteConnection {
public:
    enum class Journal { Wal, Rollback };

    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // The process-wide connection to an existing file; never creates one.
    // On a member of a replica set it records every change it commits (see
    // ChangeLog) and hands out keys from the member's own key range.
    static std::shared_ptr<SqliteConnection> shared(const QString& path, QString* error,
                                                    Journal journal = Journal::Wal);
    // A connection of its own to an existing file, outside the registry,
    // that records nothing: for copying and synchronising a database.
    static std::shared_ptr<SqliteConnection> standalone(const QString& path, Journal journal,
                                                        QString* error);
    // A connection of its own to an existing file, outside the registry,
    // that records and keys its changes as the shared one does: for work on
    // another thread.
    static std::shared_ptr<SqliteConnection> own(const QString& path, QString* error);
    // A new, unshared connection that creates the file when it is missing.
    static std::shared_ptr<SqliteConnection> create(const QString& path, QString* error);
    // Checkpoints and closes the shared connection to a file, so that the
    // file can be copied, renamed or measured; the next use reopens it.
    static void closeShared(const QString& path);

    const QString& path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    sqlite3* handle(); // reopens after closeShared

    // Runs SQLite SQL (one or more statements) as it stands.
    bool execute(const QString& sql, QString* error);
    SqliteStatement prepare(const QString& sql, QString* error);
    // A statement kept prepared for reuse; reset when the wrapper goes.
    SqliteStatement cached(const QString& sql, QString* error);
    QString lastError() const;

    // Schema lookups. Visible columns leave out the hidden row key.
    std::optional<QStringList> visibleColumns(const QString& table);
    std::optional<QStringList> allColumns(const QString& table);
    QString keyColumn(const QString& table); // INTEGER PRIMARY KEY column, or "rowid"
    QString declaredType(const QString& table, const QString& column);
    bool tableExists(const QString& table);

    // Changes whenever the data in the file may have changed: by a write
    // through this connection (noteWrite), or by another connection as far
    // as the last pollChanges() has seen.
    quint64 changeStamp() const { return m_writes + (m_dataVersion << 40); }
    // Looks whether another connection has committed since the last look,
    // and returns the stamp that says so. In WAL mode a glance at the shared
    // WAL-index header answers when nothing was committed since; otherwise a
    // read transaction asks SQLite's data_version (a few microseconds).
    quint64 pollChanges();
    quint64 dataVersion() const { return m_dataVersion; } // as the last poll saw it
    void noteWrite() { ++m_writes; }

    // The document tables whose indexes this connection found in step since
    // it opened (DocumentIndex checks each once).
    QSet<QString>& indexesChecked() { return m_indexesChecked; }

    bool inTransaction() const;

    // The key a new row of `table` takes, where the connection must choose it
    // (a member of a replica set, whose rows must never collide with those
    // of the other members); nothing where SQLite's own next key will do.
    // Every insert of the program goes through here or through the SQL
    // function tess_newkey(table), which returns the same or NULL.
    std::optional<qint64> newKey(const QString& table);
    bool choosesKeys(const QString& table) const;
    // Whether commits are recorded for replication, and by which member.
    bool recordsChanges() const { return !m_member.isEmpty(); }
    const QString& member() const { return m_member; }

    // The change record of a write transaction. Transaction calls these
    // for the outermost transaction: started after BEGIN, taken before
    // COMMIT (in the same transaction), finished after COMMIT or ROLLBACK.
    bool startRecording(QString* error);
    bool recordChanges(QString* error);
    void finishRecording();
    bool checkpoint(QString* error = nullptr);
    void close();
    // Closes and makes sure the file alone holds everything: the checkpoint
    // succeeded and no write-ahead log is left beside it. For a file that is
    // about to be renamed or copied.
    bool closeComplete(QString* error);

    static constexpr const char* HiddenKey = "ROWKEY";
    static constexpr int MaxCachedStatements = 128;

private:
    SqliteConnection(QString path, Journal journal);
    bool open(bool create, QString* error);
    void registerDialect();
    void readMembership();
    bool renewSession(QString* error);
    bool executeRaw(const QString& sql, QString* error);
    bool writesData(const QString& sql);
    static int commitHook(void* connection);

    struct ColumnInfo {
        QString name;
        QString type;
        bool integerKey = false;
    };
    std::optional<QList<ColumnInfo>> tableInfo(const QString& table);

    // The WAL-index header as the other connections of the file share it
    // (the first 48 bytes of the -shm file), mapped read-only.
    static constexpr int WalIndexHeaderSize = 48;
    using WalIndexHeader = std::array<unsigned char, WalIndexHeaderSize>;
    std::optional<WalIndexHeader> walIndexHeader();
    void unmapWalIndex();

    QString m_path;
    Journal m_journal;
    sqlite3* m_db = nullptr;
    quint64 m_writes = 0;
    quint64 m_dataVersion = 0;
    QSet<QString> m_indexesChecked;
    bool m_walMode = false;
    void* m_walIndex = nullptr;
    std::optional<WalIndexHeader> m_polledHeader; // as it was at the last data_version read
    QHash<QString, sqlite3_stmt*> m_cache;

    bool m_records = false; // a shared connection: records when on a member
    QString m_member;       // the replica-set member this file is, or empty
    qint64 m_keyRange = -1;
    QHash<QString, qint64> m_lastKeys; // per table, the last key handed out
    sqlite3_session* m_session = nullptr;
    bool m_recorded = false; // the transaction about to commit has its record
};
