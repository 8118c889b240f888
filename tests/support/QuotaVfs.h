#pragma once

#include <QtGlobal>

// A disk that fills up: an SQLite file system over the usual one that lets
// the files opened through it grow to `bytes` in all, and then answers every
// write beyond with SQLITE_FULL, as a full disk does. Installed as SQLite's
// default, so the program's own connections use it without knowing.
namespace QuotaVfs {

void install(qint64 bytes);
void remove();

} // namespace QuotaVfs
