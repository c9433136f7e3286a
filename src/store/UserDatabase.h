#pragma once
// The program's own database: the history and the word list, in one SQLite file
// (Qt SQL's driver). A real database gives what a text file of our own would have to
// invent: writes that land whole or not at all, two programs writing at once (a
// portable copy is another program), filters and sorting over 100,000 entries, and a
// file that is checked as it is read.
//
// The file is opened in WAL mode with a busy timeout, and carries its schema version
// (PRAGMA user_version); each version's migration runs once, in order, from the
// first. Text is stored as UTF-8; a headword whose code page 932 bytes do not decode
// exactly keeps its bytes beside the text.
//
// A file that is damaged, truncated or not a database is moved aside (its name kept
// in the notice) and a new one started; one locked by another program for long, or
// on a disk that cannot be written, leaves the store unavailable: every call then
// does nothing and the notice says why, once.

#include "session/ReadingStore.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// The columns the word list sorts by.
enum class WordOrder { Headword, Translation, Added, Note };

// What an import did.
struct WordMergeOutcome {
    std::int64_t added = 0;        // entries new to the list
    std::int64_t notesTaken = 0;   // entries there already whose empty note the import filled
    std::int64_t alreadyThere = 0; // entries there already, left as they were
};

class UserDatabase final : public ReadingStore {
public:
    // How long a write waits for another program's lock before the store gives up.
    static constexpr int kDefaultBusyTimeoutMs = 5000;

    // Opens (or creates) the database at `path`, its folder made private to the user
    // (0700). Never fails: a store that cannot be used is unavailable and says why.
    static std::unique_ptr<UserDatabase> Open(const QString& path, int busyTimeoutMs = kDefaultBusyTimeoutMs);
    ~UserDatabase() override;
    UserDatabase(const UserDatabase&) = delete;
    UserDatabase& operator=(const UserDatabase&) = delete;

    bool Available() const noexcept;
    const QString& Path() const noexcept;

    // --- ReadingStore ---
    std::vector<HistoryStep> Trail(const QString& dataFile) override;
    std::int64_t AddStep(const HistoryStep& step) override;
    void LeaveTrail(const std::vector<std::int64_t>& ids) override;
    bool HasWord(const QString& headword, const QString& translation) override;
    bool AddWord(const WordEntry& entry) override;
    bool RemoveWord(const QString& headword, const QString& translation) override;
    QString TakeNotice() override;

    // --- the history list ---
    // Every step kept for `dataFile`, newest first: in the trail or not.
    std::vector<HistoryStep> History(const QString& dataFile);

    // --- the word list's view ---
    // How many entries hold `filter` (case-insensitive) in their headword, translation
    // or note; all of them for an empty filter.
    std::int64_t CountWords(const QString& filter);
    // `count` entries from `offset` of those, in `order`, ties by id.
    std::vector<WordEntry> Words(const QString& filter, WordOrder order, bool descending, std::int64_t offset,
                                 std::int64_t count);
    bool SetNote(std::int64_t id, const QString& note);
    bool DeleteWords(const std::vector<std::int64_t>& ids);
    // Every entry, oldest first: what an export writes.
    std::vector<WordEntry> AllWords();
    // Adds what is new, in one transaction: nothing of it lands when any of it fails.
    // nullopt when it failed.
    std::optional<WordMergeOutcome> MergeWords(const std::vector<WordEntry>& entries);

private:
    struct State;
    explicit UserDatabase(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};
