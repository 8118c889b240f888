#pragma once

#include <QString>
#include <functional>

// Replicas and their synchronisation with the copy of the database on the
// server. The server copy is a TESSALY.mdb on a shared folder; each sales
// person works on a replica of it in the program folder.
namespace Replication {

struct Outcome {
    bool ok = false;
    // What went wrong, in words for the user; empty when ok.
    QString error;
    // Changes sent to the server and taken from it by a synchronisation.
    int pushed = 0;
    int pulled = 0;
    // Values overwritten and changes dropped by conflicts; each one is kept
    // in the conflicts table named by conflictsTable.
    int conflicts = 0;
    QString conflictsTable;
};

// Makes the database at serverPath the origin of a replica set: gives it a
// replica-set identity. A database that already is one keeps its identity.
Outcome makeReplicable(const QString& serverPath);

// Writes a replica of the replicable database at serverPath to replicaPath,
// replacing any file there: a consistent copy with its own identity.
Outcome copyReplica(const QString& serverPath, const QString& replicaPath,
                    const QString& description);

// Sends the replica's unsent changes to the server, then takes every change
// the server has from other replicas.
Outcome synchronize(const QString& replicaPath, const QString& serverPath);

// Called by synchronize once the server has committed what it was sent and
// before the replica takes the server's changes: where a crash would stop a
// synchronisation half-way. Empty by default.
void setPushedHook(std::function<void()> hook);

// The table of the replica (and of the server) that holds every value a
// synchronisation overwrote and every change it dropped.
QString conflictsTable();

} // namespace Replication
