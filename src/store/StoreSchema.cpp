#include "store/StoreSchema.h"

#include "store/StoreConnection.h"

#include <algorithm>

const std::vector<Migration>& StoreMigrations() {
    static const std::vector<Migration> migrations = {
        {1,
         {
             QStringLiteral("CREATE TABLE steps (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, "
                            "data_file TEXT NOT NULL, line INTEGER NOT NULL, headword TEXT NOT NULL, "
                            "headword_bytes BLOB, line_hash INTEGER NOT NULL, reach INTEGER NOT NULL, "
                            "in_trail INTEGER NOT NULL DEFAULT 1)"),
             // The trail, the history list and the trim all walk one data file's steps by id.
             QStringLiteral("CREATE INDEX steps_by_file ON steps (data_file, id)"),
             QStringLiteral("CREATE TABLE words (id INTEGER PRIMARY KEY, headword TEXT NOT NULL, "
                            "translation TEXT NOT NULL, examples TEXT NOT NULL DEFAULT '', "
                            "note TEXT NOT NULL DEFAULT '', added INTEGER NOT NULL, "
                            "data_file TEXT NOT NULL DEFAULT '', line INTEGER NOT NULL DEFAULT -1, "
                            "headword_bytes BLOB, UNIQUE (headword, translation))"),
             // One index per sort of the list, ties by id, so a page is read off it.
             QStringLiteral("CREATE INDEX words_by_headword ON words (headword COLLATE NOCASE, id)"),
             QStringLiteral("CREATE INDEX words_by_translation ON words (translation COLLATE NOCASE, id)"),
             QStringLiteral("CREATE INDEX words_by_added ON words (added, id)"),
             QStringLiteral("CREATE INDEX words_by_note ON words (note COLLATE NOCASE, id)"),
         }},
        {2,
         {
             // How many steps each data file has, kept by the database itself, so that
             // keeping a step need not count 10,000 of them to know whether to trim.
             QStringLiteral("CREATE TABLE step_counts (data_file TEXT PRIMARY KEY, count INTEGER NOT NULL) "
                            "WITHOUT ROWID"),
             QStringLiteral("INSERT INTO step_counts SELECT data_file, count(*) FROM steps GROUP BY data_file"),
             QStringLiteral("CREATE TRIGGER steps_counted AFTER INSERT ON steps BEGIN "
                            "INSERT INTO step_counts VALUES (NEW.data_file, 1) "
                            "ON CONFLICT (data_file) DO UPDATE SET count = count + 1; END"),
             QStringLiteral("CREATE TRIGGER steps_uncounted AFTER DELETE ON steps BEGIN "
                            "UPDATE step_counts SET count = count - 1 WHERE data_file = OLD.data_file; END"),
         }},
    };
    return migrations;
}

int CurrentStoreVersion() { return StoreMigrations().back().version; }

bool Migrate(StoreConnection& connection) {
    if (!connection.Begin()) return false;
    // Read under the write lock: another program may have brought the file up to date
    // since it was opened.
    const std::optional<QVariant> read = connection.Value(QStringLiteral("PRAGMA user_version"));
    if (!read) {
        connection.Rollback();
        return false;
    }
    const int version = read->toInt();
    for (const Migration& migration : StoreMigrations()) {
        if (migration.version <= version) continue;
        for (const QString& statement : migration.statements) {
            if (!connection.Write(statement, {})) {
                connection.Rollback();
                return false;
            }
        }
    }
    // PRAGMA takes no bound values; the number is ours. A newer program that upgraded the
    // file meanwhile keeps its version.
    if (!connection.Write(QStringLiteral("PRAGMA user_version = %1").arg(std::max(version, CurrentStoreVersion())), {}) ||
        !connection.Commit()) {
        connection.Rollback();
        return false;
    }
    return true;
}
