#pragma once

#include <QString>
#include <QStringList>

// The tables that make a main database a member of a replica set.
//
// ReplicaIdentity (one row): the set's identity, this member's identity, its
// key range, whether it is the server copy, and how far it has exchanged
// changes with the server. ReplicaChanges: one SQLite changeset per write
// transaction, with the member it came from (Origin) and its number there
// (OriginSeq); a replica holds its own changes, the server every change it
// received. ReplicaConflicts: every value a synchronisation overwrote and
// every change it dropped.
//
// Keys: each member hands out keys from a range of its own, so rows added on
// different members never take the same key. Range 0 is the server's.
class ChangeLog {
public:
    static constexpr const char* IdentityTable = "ReplicaIdentity";
    static constexpr const char* ChangesTable = "ReplicaChanges";
    static constexpr const char* ConflictsTable = "ReplicaConflicts";
    static constexpr qint64 KeyRangeSize = qint64(1) << 32;
    // Ranges 0 .. MaxKeyRange keep every key below 2^53, exact in a double.
    static constexpr qint64 MaxKeyRange = (qint64(1) << 21) - 1;

    static QStringList createStatements();
    // Whether changes to the table travel between members: the tables of
    // the main database, not the replication's own nor search indexes.
    static bool isReplicated(const QString& table);
};
