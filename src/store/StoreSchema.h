#pragma once
// The database's tables, version by version. PRAGMA user_version holds the version a
// file is at; each later version's statements run once, in order, in one
// transaction with the version's update, so a file is at one version or the next,
// never between.

#include <QString>
#include <QStringList>

#include <vector>

class StoreConnection;

struct Migration {
    int version;          // the version the statements bring a file to
    QStringList statements;
};

// Every version's statements, from version 1 (the first tables) on.
const std::vector<Migration>& StoreMigrations();

// The version this program writes: the last migration's.
int CurrentStoreVersion();

// Brings the file to CurrentStoreVersion() in one transaction. The
// transaction also proves the file writable: it always rewrites user_version, so
// a read-only file or a held lock fails here rather than at the first step kept.
bool Migrate(StoreConnection& connection);
