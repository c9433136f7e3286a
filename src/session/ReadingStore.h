#pragma once
// What the user read and kept, as the session sees it: the steps of the history and
// the entries of the word list, and the store that keeps them from one run to the
// next. The store is an interface here, so that the session stays apart from the
// database that implements it (store/UserDatabase) and works on without one.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// How a record came to be shown. The numbers are what the store keeps.
enum class StepReach : int {
    Lookup = 1,        // a headword looked up, or chosen from the completion list
    Index = 2,         // a click or key in the headword index
    SearchResult = 3,  // a result of a full-text search
    Link = 4,          // a link on a page (a suggestion)
    History = 5,       // chosen from the history list
    WordList = 6,      // chosen from the word list
};

// One record shown: a step of the history.
struct HistoryStep {
    std::int64_t id = 0;           // the store's number for it; 0 until it is kept
    std::int64_t time = 0;         // when it was shown: milliseconds since 1970, UTC
    QString dataFile;              // the data file's absolute path
    std::int64_t line = 0;         // the zero-based line of the full text it showed
    std::string headword;          // its headword: code page 932 bytes as the line holds them
    std::uint64_t lineHash = 0;    // of the whole line, telling it from another record of that headword
    StepReach reach = StepReach::Index;
};

// One entry of the word list: the record's fields as the user saw them, so that the
// list and its export stand without the dictionary.
struct WordEntry {
    std::int64_t id = 0;      // the store's number for it; 0 until it is kept
    QString headword;
    QString translation;
    QString examples;         // the examples field as the record holds it, its "/ " breaks kept
    QString note;             // the user's own
    std::int64_t added = 0;   // milliseconds since 1970, UTC
    QString dataFile;         // the data file it was added from; empty for an imported entry
    std::int64_t line = -1;   // its line there then; -1 for an imported entry
    std::string headwordBytes;  // the headword's code page 932 bytes as the line held them; empty for an imported entry
};

// The store's side. Its calls never raise: a store that cannot read or write any more
// says so once through TakeNotice and then keeps nothing, and the program works on.
class ReadingStore {
public:
    virtual ~ReadingStore() = default;

    // --- history ---
    // The steps of `dataFile` that back and forward walk, oldest first.
    virtual std::vector<HistoryStep> Trail(const QString& dataFile) = 0;
    // Keeps a step and trims the data file's steps to the newest 10,000; the step's id,
    // or 0 when it was not kept.
    virtual std::int64_t AddStep(const HistoryStep& step) = 0;
    // Steps passed over by going back and then on to another record leave the trail
    // (as a browser's forward steps do); the history list keeps them.
    virtual void LeaveTrail(const std::vector<std::int64_t>& ids) = 0;

    // --- word list ---
    // An entry is the record of its headword and translation, whatever file it came from.
    virtual bool HasWord(const QString& headword, const QString& translation) = 0;
    // False when it was there already or could not be kept.
    virtual bool AddWord(const WordEntry& entry) = 0;
    virtual bool RemoveWord(const QString& headword, const QString& translation) = 0;

    // What panel 2 is to say, once, when the store stopped working or could not start
    // (a damaged file moved aside, a locked or read-only one); empty otherwise.
    virtual QString TakeNotice() = 0;
};
