#pragma once

#include <QList>
#include <QString>
#include <functional>

class SqliteConnection;

// Merges duplicate companies into the one the user keeps: everything that
// belongs to the others (contacts, call reports, correspondence, projects
// with their action steps, attachments, competitor activity) moves to the
// kept company by key, correspondence filed under another's name follows by
// name, the kept company's empty fields take the others' values (the first
// other that has one), and the other company rows go. All of it in one
// transaction: an interruption leaves the database as it was.
namespace CompanyMerge {

struct Result {
    int moved = 0;   // rows that now belong to the kept company
    int filled = 0;  // empty fields of the kept company filled from the others
    int removed = 0; // company rows removed
};

// False, with the reason, when `keep` is not a company row or a write
// fails; nothing is changed then. Keys in `others` equal to `keep` or not
// found are ignored.
bool merge(SqliteConnection& connection, qint64 keep, const QList<qint64>& others, Result* result,
           QString* error);

// Test hook: called after each write of a merge with the number of writes
// so far (a test stops the process there to show nothing is half-done).
void setWriteHook(std::function<void(int)> hook);

} // namespace CompanyMerge
