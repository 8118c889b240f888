#include "ChangeLog.h"

#include "Schema.h"

QStringList ChangeLog::createStatements() {
    return {
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"ReplicaIdentity\" ("
                       "\"ROWKEY\" INTEGER PRIMARY KEY, \"Replicable\" TEXT NOT NULL, "
                       "\"ReplicaSet\" TEXT NOT NULL, \"Replica\" TEXT NOT NULL, "
                       "\"Description\" TEXT, \"IsServer\" INTEGER NOT NULL, "
                       "\"KeyRange\" INTEGER NOT NULL, \"NextKeyRange\" INTEGER, "
                       "\"SentUpTo\" INTEGER NOT NULL DEFAULT 0, "
                       "\"PulledUpTo\" INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"ReplicaChanges\" ("
                       "\"Seq\" INTEGER PRIMARY KEY AUTOINCREMENT, \"Origin\" TEXT NOT NULL, "
                       "\"OriginSeq\" INTEGER NOT NULL, \"Made\" TEXT NOT NULL, "
                       "\"Changeset\" BLOB NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS \"ReplicaChanges_Origin\" ON "
                       "\"ReplicaChanges\" (\"Origin\", \"OriginSeq\")"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS \"ReplicaConflicts\" ("
                       "\"ConflictKey\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "\"Synchronized\" TEXT NOT NULL, \"SynchronizedBy\" TEXT, "
                       "\"TableName\" TEXT NOT NULL, \"RowKey\" INTEGER, \"ColumnName\" TEXT, "
                       "\"KeptValue\", \"LostValue\", \"What\" TEXT NOT NULL)"),
    };
}

bool ChangeLog::isReplicated(const QString& table) {
    static const QStringList tables = Schema::mainTableNames();
    return tables.contains(table, Qt::CaseInsensitive);
}
