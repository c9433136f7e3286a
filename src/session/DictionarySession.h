#pragma once
// The program's state, apart from any widget: the record store and the headword index
// the views show, the data file they came from, the search and the result shown, and
// the values the settings give. Each command asks the session and gets an outcome back
// (the record to show, the rows the index carets go to, the status texts), which the
// window applies; nothing here knows of a widget.
//
// The views attach to the three TextLines and never own them: the session outlives
// every view of it.

#include "common/SettingsFile.h"
#include "common/ViewStrings.h"
#include "dictionary/DataFile.h"
#include "lookup/CatalogBuild.h"
#include "search/SearchSession.h"
#include "session/ReadingHistory.h"
#include "session/ReadingStore.h"
#include "textmodel/TextLines.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the full text was read from (the last load or repair) and how many bytes that
// read lost at a NUL byte: a save over that file asks first.
struct FullTextOrigin {
    QString path;
    std::uint64_t bytesCutAtNul = 0;
};

// What a load leaves for the status bar: the size in panel 0, and panel 2's notice, or
// nullopt when panel 2 keeps what it says unless that was an earlier load's notice.
struct LoadOutcome {
    std::string sizeText;
    std::optional<std::string> notice;
};

// What a step along the records or the results does: where the index carets go first
// (nullopt leaves a caret where it is), then the record it shows, if any.
struct RecordStep {
    std::optional<std::int64_t> searchRow;       // EditorEx3's caret row
    std::optional<std::int64_t> headwordRow;     // EditorEx2's caret row
    std::optional<std::int64_t> line;            // the record shown: a zero-based line of the full text
    bool markKeys = false;                       // the last search's keys marked on the page
    std::optional<std::string> hitCounterText;   // edtNowNo's text, when the step moved the hit
    std::optional<StepReach> reach;              // how the record came, for the history; none for no step
    bool keepsHistoryPlace = false;              // back, forward, a record shown again: the history stays where it is
};

// A step back or forward in the history: the record, and what panel 2 says of steps
// passed over because their record is gone.
struct HistoryMove {
    RecordStep step;
    std::string statusText;  // UTF-8; empty when none was passed over
};

// What a headword lookup leads to: a record, a page of suggestions, or, with neither,
// the full-text search of the text as 検索 runs it.
struct LookupOutcome {
    enum class Kind { Record, Suggestions, FullTextSearch };
    Kind kind = Kind::FullTextSearch;
    RecordStep step;         // Record: the headword caret and the record
    std::string statusText;  // panel 2 (UTF-8): the inflection followed, or the suggestions; empty for the headword itself
    std::string page;        // Suggestions: the page saying so, with a link to each
};

// One row of the completion list.
struct CompletionItem {
    QString text;  // what the row shows: a headword, or "bacilli → bacillus"
    std::int64_t row;   // the headword's row of the headword index
};

class DictionarySession {
public:
    DictionarySession();
    DictionarySession(const DictionarySession&) = delete;
    DictionarySession& operator=(const DictionarySession&) = delete;
    ~DictionarySession();

    // --- the dictionary ---
    TextLines& FullText() noexcept { return fullText_; }  // the record store: one record per line
    const TextLines& FullText() const noexcept { return fullText_; }
    TextLines& HeadwordIndex() noexcept { return headwordIndex_; }  // one headword per record line
    const TextLines& HeadwordIndex() const noexcept { return headwordIndex_; }
    TextLines& SearchIndex() noexcept { return searchIndex_; }  // "headword (line)" per result
    const TextLines& SearchIndex() const noexcept { return searchIndex_; }

    // The data file loaded last, or the one to load first; empty before there is one.
    const QString& DataFile() const noexcept { return dataFile_; }
    void SetDataFile(const QString& path) { dataFile_ = path; }
    const FullTextOrigin& Origin() const noexcept { return origin_; }
    void SetOrigin(FullTextOrigin origin) { origin_ = std::move(origin); }

    // Reads `path` (or its contents read ahead) into the full text and the headword
    // index. A file that cannot be read raises before anything has changed.
    LoadOutcome Load(const QString& path, std::optional<FileContents> readAhead = std::nullopt);
    // The full text replaced by a text not from the data file (a repair, kept edits):
    // modified, for it is not what the file holds.
    void ReplaceFullText(std::string text);
    void ReplaceFullText(ByteBuffer text);

    // --- values the settings give ---
    const ViewSettings& View() const noexcept { return view_; }
    void SetView(ViewSettings view);
    const Separators& CurrentSeparators() const noexcept { return view_.separators; }
    std::int32_t HitLimit() const noexcept { return hitLimit_; }  // most raw hits a one-key search may have
    void SetHitLimit(std::int32_t limit) noexcept { hitLimit_ = limit; }
    // The ignored words as the user wrote them, one per line.
    const QString& IgnoredWordsText() const noexcept { return ignoredWordsText_; }
    void SetIgnoredWordsText(const QString& text) { ignoredWordsText_ = text; }
    // The settings' list, one word per line.
    void SetIgnoredWords(const std::vector<std::string>& words);
    // Every line in code page 932, empty ones included; a word the code page cannot hold
    // is left out, for a key holding such a character matches nothing and another such
    // word must not pass for it.
    std::vector<std::string> IgnoredWords() const;
    DesktopSettings& Desktop() noexcept { return desktop_; }
    const DesktopSettings& Desktop() const noexcept { return desktop_; }

    // --- the search and its results ---
    // Runs a search for the search box's text over the full text, with the ignored
    // words and the hit limit; on a result list, the search index is filled and the
    // first result is the current hit. The sink hears every status text as it is written.
    bool RunSearch(const QString& typed, const SearchOptions& options, SearchSink& sink);
    const SearchSession& Search() const noexcept { return search_; }
    // The search text built afresh by the next search, as after an edit.
    void DiscardSearchText() noexcept { search_.DiscardBuffer(); }
    std::int64_t CurrentHit() const noexcept { return currentHit_; }  // one-based number of the result shown

    // After a search that ended with a result list: the first result, marked.
    RecordStep FirstResult() const;
    // The next or the previous result, and the record it shows; nothing at either end.
    // Without a result list (a later search stopped), the hit still moves over what the
    // hit list holds and the record at the headword caret shows, marked.
    std::optional<RecordStep> NextHit(std::int64_t headwordCaretRow);
    std::optional<RecordStep> PreviousHit(std::int64_t headwordCaretRow);
    // The current result again (after a layout change), as a hit step shows it.
    RecordStep CurrentHitStep(std::int64_t headwordCaretRow) const;
    // A click or Return on row `row` of the search index; nothing off its rows.
    std::optional<RecordStep> ChooseResult(std::int64_t row);

    // --- stepping along the headword index ---
    // A click or Return on row `row` of the headword index; nothing off its rows.
    std::optional<RecordStep> ChooseHeadword(std::int64_t row) const;
    // The record after or before the headword caret; nothing at either end.
    std::optional<RecordStep> NextRecord(std::int64_t headwordCaretRow) const;
    std::optional<RecordStep> PreviousRecord(std::int64_t headwordCaretRow) const;
    // The first and the last record; the last of an empty index is line -1, which the
    // page refuses as the record store does.
    RecordStep FirstRecord() const;
    RecordStep LastRecord() const;

    // --- looking a headword up ---
    // The record whose headword the text names, or one it is an inflection of, else the
    // headwords spelt nearly so; waits for the headwords' catalog after a load.
    LookupOutcome LookUp(const QString& typed);
    // The completion list for the text in the search box; empty while the catalog is
    // still being built after a load.
    std::vector<CompletionItem> Completions(const QString& typed, std::size_t maxCount);
    // A headword chosen by its row of the headword index (a completion row, a
    // suggestion's link): the caret to it and its record, the line it was cut from;
    // nothing off the index's rows.
    std::optional<RecordStep> HeadwordRowStep(std::int64_t row) const;
    // Counts the loads: a link on a page of suggestions names the load it was made
    // after, for the rows it names are of that load's index.
    std::uint64_t LoadCount() const noexcept { return loadCount_; }
    // Starts building the headwords' catalog on a thread of its own, once after each
    // load: the window asks when the load is done and shown; a lookup asks anyway.
    void StartCatalog();
    // The headwords' catalog, waiting for its build.
    const HeadwordCatalog& Catalog();

    // The line of the full text a headword index row was cut from: row r is line r
    // until a damaged line, which has no row; and the row of a line, none for a damaged one.
    std::int64_t LineOfRow(std::int64_t row) const;
    std::optional<std::int64_t> RowOfLine(std::int64_t line) const;

    // --- what the user read and kept ---
    // The store of the history and the word list; none keeps the history for this run
    // and no word list. The session does not own it.
    void SetStore(ReadingStore* store);
    ReadingStore* Store() const noexcept { return store_; }
    // A record is on the page, as `step` brought it: a new history step when it says how
    // it came, the history's own step for back and forward, else a step off the trail
    // (a record step along the file).
    void RecordShown(const RecordStep& step);
    // The page shows no record (a page of suggestions, the guide).
    void RecordHidden() noexcept;
    // Its line now; none when no record shows, or the one shown was edited away.
    std::optional<std::int64_t> ShownLine() const;
    const ReadingHistory& History() const noexcept { return history_; }
    // Reads the loaded file's history from the store now, not at its first use.
    void ReadHistory() { history_.Read(); }
    // Back and forward over the steps, passing over those whose record is gone.
    std::optional<HistoryMove> HistoryBack();
    std::optional<HistoryMove> HistoryForward();
    // A step chosen from the history list, or an entry of the word list: its record
    // as the dictionary holds it now; nothing when it is gone.
    std::optional<RecordStep> StepRecord(const HistoryStep& step) const;
    std::optional<RecordStep> WordRecord(const WordEntry& entry) const;
    // Whether the record shown is on the word list.
    bool ShownRecordListed() const;
    // Ctrl+D: the record shown onto the word list, or off it; panel 2's text (UTF-8),
    // nothing when no record is shown.
    std::optional<std::string> ToggleShownRecordListed();

    // --- the record page ---
    // "No." and the one-based record number, panel 0's text while a record shows.
    static std::string RecordPositionText(std::int64_t line);
    // The page of line `line`, with the fragments the engine reads; raises for a line
    // the text does not hold.
    std::string RecordPage(std::int64_t line, bool markKeys) const;

private:
    ReadingHistory::Finder StepFinder() const;
    std::optional<HistoryMove> ToHistoryMove(const std::optional<ReadingHistory::Found>& found) const;
    // The word-list entry of the record shown; none for no record or a damaged line.
    std::optional<WordEntry> ShownEntry() const;

    TextLines fullText_;
    TextLines headwordIndex_;
    TextLines searchIndex_;
    QString dataFile_;
    FullTextOrigin origin_;
    ViewSettings view_ = DefaultViewSettings();
    PageFragments enginesFragments_;  // the fragments with their style values as the engine reads them
    std::int32_t hitLimit_ = 300;
    QString ignoredWordsText_ = QStringLiteral("in\nthe\nof\non\nfor\nat\nto\ngo\nend\nany\n");
    DesktopSettings desktop_;
    SearchSession search_;
    std::int64_t currentHit_ = 1;
    std::vector<std::int64_t> shownResultLines_;  // the record line of each search index row
    int fullTextListener_ = 0;
    std::vector<std::uint32_t> lineOfHeadwordRow_;  // empty while row r is line r (no damaged line)
    std::uint64_t loadCount_ = 0;
    ReadingStore* store_ = nullptr;
    ReadingHistory history_;
    // The record on the page, known by its line and bytes: lines move when the text is
    // edited, repaired or replaced under the page.
    struct ShownRecord {
        std::int64_t line = 0;
        std::string headword;
        std::uint64_t hash = 0;
        bool textChanged = false;  // since it was shown: its line may hold something else now
    };
    std::optional<ShownRecord> shown_;
    bool catalogStarted_ = false;  // since the last load
    CatalogBuild catalog_;  // last: its thread reads the headword index until it stops
};
