#pragma once

#include <QString>
#include <functional>

// Compacts the main database of a program folder: TESSALY.mdb is written
// afresh, without its free pages, as Temp.mdb; the old file becomes the
// backup Temp/TESSALY.bak (replacing the backup of an earlier run) and the
// compacted copy takes its name.
//
// Before anything is copied every change is checkpointed into the file and
// every connection of this process to it is closed; a file that another
// connection still holds open is not touched. Whatever step fails, the
// original TESSALY.mdb is back in place and usable, and an earlier backup
// is kept. The main database is open again afterwards in either case.
namespace Compaction {

enum class Step {
    Close,          // checkpoint and close every connection to TESSALY.mdb
    Compact,        // write the compacted copy Temp.mdb and check it
    SetAsideBackup, // move an earlier Temp/TESSALY.bak out of the way
    Backup,         // rename TESSALY.mdb to Temp/TESSALY.bak
    Install,        // rename Temp.mdb to TESSALY.mdb
    Reopen,         // open the compacted TESSALY.mdb again
};

QString stepName(Step step);

// False, with the reason, when a step failed; the files are then as they
// were before (the main database, and the earlier backup if there was one).
bool run(const QString& programFolder, QString* error);

// The length of a database file in bytes, with every change of this
// process's connection checkpointed into it first; -1 when there is none.
qint64 databaseLength(const QString& path);

// Writes a copy of the database at `path` to `copy`, replacing a file there:
// a consistent copy of everything committed, the write-ahead log included,
// made while the database stays open. The copy is written under a name of
// its own and takes its name only when it is whole.
bool copyDatabase(const QString& path, const QString& copy, QString* error);

// Test hook: asked before each step; true makes that step fail.
using FaultHook = std::function<bool(Step)>;
void setFaultHook(FaultHook hook);

} // namespace Compaction
