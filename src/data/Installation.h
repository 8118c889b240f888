#pragma once

#include "Schema.h"

#include <QString>

// The installation step, run at every start before anything else. It never
// replaces a file that exists:
// - neither TESSALY.mdb nor Temp.mdb: Temp.mdb is created (the main database
//   as supplied: all tables, the default setup password, empty master tables);
// - no User.mdb: it is created with one row in each table (all fields shown,
//   the user choice "All Companies");
// - an existing TESSALY.mdb or User.mdb of an earlier version gets the tables
//   and columns added since; a TESSALY.mdb that is no Tessaly database, or one
//   of a newer version, stops the start with a message saying so;
// - User.mdb, which holds the mail server's password, is made readable by
//   its owner only, however it came into the folder;
// - files shipped with the program (resources under :/install) are copied
//   into the program folder when missing.
//
// Several instances may start at once (a double click on the launcher): the
// step runs under a lock file in the program folder. A database is built
// under a name of this process's own, checked (integrity and schema, every
// change written into the file) and only then renamed, so neither a
// concurrent start nor a full disk leaves a half-made database behind.
class Installation {
public:
    static bool run(const QString& programFolder, QString* error);

    using Kind = Schema::Kind;
    static bool createDatabase(const QString& path, Kind kind, QString* error);

    // Whether the file at `path` is a whole Tessaly main database, as a
    // supplied Temp.mdb must be before it becomes TESSALY.mdb.
    static bool verifyMainDatabase(const QString& path, QString* error);

    // Owner-only permissions for a file that holds secrets, and for the
    // SQLite files that go with it.
    static void restrictToOwner(const QString& path);
};
