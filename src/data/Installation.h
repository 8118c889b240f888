#pragma once

#include <QString>

// The installation step, run at every start before anything else. It never
// touches a file that exists:
// - neither TESSALY.mdb nor Temp.mdb: Temp.mdb is created (the main database
//   as supplied: all tables, the default setup password, empty master tables);
// - no User.mdb: it is created with one row in each table (all fields shown,
//   the user choice "All Companies");
// - files shipped with the program (resources under :/install) are copied
//   into the program folder when missing.
// A database is built under a temporary name and renamed when complete, so
// an interrupted start never leaves half a database behind.
class Installation {
public:
    static bool run(const QString& programFolder, QString* error);

    enum class Kind { Main, User };
    static bool createDatabase(const QString& path, Kind kind, QString* error);
};
