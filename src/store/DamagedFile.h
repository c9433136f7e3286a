#pragma once
// A database file that cannot be read is moved aside, never deleted: the user (or
// someone helping) may still recover from it what SQLite could not.

#include <QDateTime>
#include <QString>

#include <optional>

// Renames `path` and its -wal and -shm files to `path`.damaged-YYYYMMDD-HHMMSS (a
// number added when that name is taken). The new name of the database file, or
// nullopt with `error` set when it could not be moved (the files beside it are
// moved after it, so the database itself is never left behind alone).
std::optional<QString> MoveDamagedFileAside(const QString& path, const QDateTime& now, QString& error);
