#include "session/DictionarySession.h"

#include "common/Sjis.h"
#include "common/StringHelpers.h"
#include "dictionary/DictionaryLoad.h"
#include "dictionary/NulCut.h"
#include "lookup/HeadwordLookup.h"
#include "view/LookupPage.h"
#include "view/PageStyles.h"
#include "view/RecordMarkup.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

// The search's own sink around the window's: a new search starts at its first hit.
class HitCounterReset : public SearchSink {
public:
    HitCounterReset(SearchSink& window, std::int64_t& currentHit) : window_(window), currentHit_(currentHit) {}
    void SetStatus(StatusPanel panel, std::string_view text) override { window_.SetStatus(panel, text); }
    void RepaintStatus() override { window_.RepaintStatus(); }
    void ResetHitCounter() override {
        currentHit_ = 1;
        window_.ResetHitCounter();
    }

private:
    SearchSink& window_;
    std::int64_t& currentHit_;
};

}  // namespace

DictionarySession::DictionarySession() : enginesFragments_(WithPlainStyles(view_.fragments)) {
    // Every change of the full text makes the search text stale, and the record on the
    // page is looked for again by its bytes.
    fullTextListener_ = fullText_.AddChangeListener([this](const LinesChange&) {
        search_.DiscardBuffer();
        if (shown_) shown_->textChanged = true;
    });
}

DictionarySession::~DictionarySession() { fullText_.RemoveChangeListener(fullTextListener_); }

LoadOutcome DictionarySession::Load(const QString& path, std::optional<FileContents> readAhead) {
    // The catalog's thread reads the headword index, which the load is about to fill;
    // the next StartCatalog builds it afresh, from the old lines if this load fails.
    catalog_.Stop();
    catalogStarted_ = false;
    const LoadReport report =
        readAhead ? LoadDictionaryText(std::move(*readAhead), CurrentSeparators(), fullText_, headwordIndex_)
                  : LoadDictionaryText(path.toStdString(), CurrentSeparators(), fullText_, headwordIndex_);
    lineOfHeadwordRow_ = std::move(report.lineOfHeadwordRow);
    ++loadCount_;
    dataFile_ = path;
    origin_ = {path, fullText_.BytesCutAtNul()};
    shown_.reset();
    history_.Start(QFileInfo(path).absoluteFilePath());
    return {report.sizeText, LoadNotice(origin_.bytesCutAtNul, report.damageText)};
}

void DictionarySession::SetView(ViewSettings view) {
    view_ = std::move(view);
    // Rewritten once here, not for every record shown.
    enginesFragments_ = WithPlainStyles(view_.fragments);
}

void DictionarySession::ReplaceFullText(std::string text) {
    fullText_.SetWholeText(std::move(text));
    fullText_.SetModified(true);
}

void DictionarySession::ReplaceFullText(ByteBuffer text) {
    fullText_.SetWholeText(std::move(text));
    fullText_.SetModified(true);
}

void DictionarySession::SetIgnoredWords(const std::vector<std::string>& words) {
    QStringList lines;
    for (const std::string& word : words) lines.append(Sjis::ToQString(word));
    ignoredWordsText_ = lines.join(QLatin1Char('\n'));
}

std::vector<std::string> DictionarySession::IgnoredWords() const {
    std::vector<std::string> words;
    for (const QString& line : ignoredWordsText_.split(QLatin1Char('\n'))) {
        const Sjis::Encoded word = Sjis::FromQString(line);
        if (word.lossless) words.push_back(word.bytes);
    }
    return words;
}

bool DictionarySession::RunSearch(const QString& typed, const SearchOptions& options, SearchSink& sink) {
    SearchRequestInput request;
    request.typedText = typed.toStdString();
    // A character the code page cannot hold becomes a NUL byte, which matches nothing.
    request.bytes = Sjis::FromQString(typed, '\0').bytes;
    request.options = options;
    request.ignoredWords = IgnoredWords();
    request.maxOfSelection = hitLimit_;
    HitCounterReset resetting(sink, currentHit_);
    if (!search_.Run(request, fullText_, CurrentSeparators(), resetting)) return false;
    searchIndex_.SetWholeText(search_.Hits().SearchIndexText());
    shownResultLines_.clear();
    for (const ResultEntry& result : search_.Hits().Results()) shownResultLines_.push_back(result.line);
    return true;
}

RecordStep DictionarySession::FirstResult() const {
    const std::int64_t line = shownResultLines_.front();
    return {0, RowOfLine(line), line, true, HitCounterText(1), StepReach::SearchResult, false};
}

RecordStep DictionarySession::CurrentHitStep(std::int64_t headwordCaretRow) const {
    if (search_.ResultCount() != 0) {
        const std::int64_t row = currentHit_ - 1;
        const std::int64_t line = shownResultLines_.at(static_cast<std::size_t>(row));
        return {row, RowOfLine(line), line, true, {}, StepReach::SearchResult, false};
    }
    // The empty place after the last row, or no row at all: no record to show.
    if (headwordCaretRow >= static_cast<std::int64_t>(headwordIndex_.LineCount())) return {};
    return {{}, headwordCaretRow, LineOfRow(headwordCaretRow), true, {}, {}, false};
}

std::optional<RecordStep> DictionarySession::NextHit(std::int64_t headwordCaretRow) {
    if (static_cast<std::int64_t>(search_.Hits().Count()) < currentHit_ + 1) return std::nullopt;
    ++currentHit_;
    RecordStep step = CurrentHitStep(headwordCaretRow);
    step.hitCounterText = std::to_string(currentHit_);
    return step;
}

std::optional<RecordStep> DictionarySession::PreviousHit(std::int64_t headwordCaretRow) {
    if (currentHit_ - 1 <= 0) return std::nullopt;
    --currentHit_;
    RecordStep step = CurrentHitStep(headwordCaretRow);
    step.hitCounterText = std::to_string(currentHit_);
    return step;
}

std::optional<RecordStep> DictionarySession::ChooseResult(std::int64_t row) {
    if (row < 0 || row >= static_cast<std::int64_t>(searchIndex_.LineCount())) return std::nullopt;
    currentHit_ = row + 1;
    return RecordStep{{}, {}, shownResultLines_.at(static_cast<std::size_t>(row)), true, std::to_string(currentHit_),
                      StepReach::SearchResult, false};
}

std::optional<RecordStep> DictionarySession::ChooseHeadword(std::int64_t row) const {
    if (row < 0 || row > static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1) return std::nullopt;
    return RecordStep{{}, {}, LineOfRow(row), false, {}, StepReach::Index, false};
}

std::optional<RecordStep> DictionarySession::NextRecord(std::int64_t headwordCaretRow) const {
    const std::int64_t row = headwordCaretRow + 1;
    if (row > static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1) return std::nullopt;
    return RecordStep{{}, row, LineOfRow(row), false, {}, {}, false};
}

std::optional<RecordStep> DictionarySession::PreviousRecord(std::int64_t headwordCaretRow) const {
    const std::int64_t row = headwordCaretRow - 1;
    if (row < 0) return std::nullopt;
    return RecordStep{{}, row, LineOfRow(row), false, {}, {}, false};
}

RecordStep DictionarySession::FirstRecord() const { return {{}, 0, LineOfRow(0), false, {}, {}, false}; }

RecordStep DictionarySession::LastRecord() const {
    const std::int64_t row = static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1;
    return {{}, row, LineOfRow(row), false, {}, {}, false};
}

std::int64_t DictionarySession::LineOfRow(std::int64_t row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= lineOfHeadwordRow_.size()) return row;
    return lineOfHeadwordRow_[static_cast<std::size_t>(row)];
}

std::optional<std::int64_t> DictionarySession::RowOfLine(std::int64_t line) const {
    if (lineOfHeadwordRow_.empty()) return line;
    const auto at = std::lower_bound(lineOfHeadwordRow_.begin(), lineOfHeadwordRow_.end(), line,
                                     [](std::uint32_t rowLine, std::int64_t wanted) { return rowLine < wanted; });
    if (at == lineOfHeadwordRow_.end() || *at != line) return std::nullopt;  // a damaged line has no row
    return at - lineOfHeadwordRow_.begin();
}

std::string DictionarySession::RecordPositionText(std::int64_t line) { return "No." + std::to_string(line + 1); }

namespace {

// A headword as the index row shows it, without the blanks around it.
std::string HeadwordOf(const TextLines& index, std::int64_t line) {
    return TrimBlanks(index.LineView(static_cast<std::size_t>(line)));
}

std::string Utf8(const std::string& cp932) { return Sjis::ToQString(cp932).toStdString(); }

}  // namespace

void DictionarySession::StartCatalog() {
    if (catalogStarted_) return;
    catalogStarted_ = true;
    catalog_.Start(headwordIndex_);
}

const HeadwordCatalog& DictionarySession::Catalog() {
    StartCatalog();
    return catalog_.Get();
}

std::optional<RecordStep> DictionarySession::HeadwordRowStep(std::int64_t row) const {
    if (row < 0 || row >= static_cast<std::int64_t>(headwordIndex_.LineCount())) return std::nullopt;
    return RecordStep{{}, row, LineOfRow(row), false, {}, {}, false};
}

LookupOutcome DictionarySession::LookUp(const QString& typed) {
    const Sjis::Encoded bytes = Sjis::FromQString(typed);
    // A character the code page cannot hold is in no headword: the search says so.
    if (!bytes.lossless) return {};
    const HeadwordLookupResult found = LookUpHeadword(Catalog(), bytes.bytes);
    // The catalog is of the index as loaded; a line is checked against the index now.
    const auto inIndex = [this](std::int64_t line) {
        return line >= 0 && line < static_cast<std::int64_t>(headwordIndex_.LineCount());
    };
    switch (found.kind) {
    case HeadwordLookupResult::Kind::Exact:
    case HeadwordLookupResult::Kind::Inflected: {
        if (!inIndex(found.row)) return {};
        LookupOutcome outcome{LookupOutcome::Kind::Record, *HeadwordRowStep(found.row), {}, {}};
        outcome.step.reach = StepReach::Lookup;
        if (found.kind == HeadwordLookupResult::Kind::Inflected)
            outcome.statusText = typed.trimmed().toStdString() + " → " + Utf8(HeadwordOf(headwordIndex_, found.row));
        return outcome;
    }
    case HeadwordLookupResult::Kind::Suggestions: {
        std::vector<LinkedHeadword> linked;
        std::string names;
        for (const std::int64_t line : found.suggestions) {
            if (!inIndex(line)) continue;
            linked.push_back({HeadwordOf(headwordIndex_, line), line});  // a row of the index
            names += (names.empty() ? "" : ", ") + Utf8(linked.back().headword);
        }
        if (linked.empty()) return {};
        return {LookupOutcome::Kind::Suggestions, {}, "もしかして: " + names,
                BuildSuggestionsPage(TrimBlanks(bytes.bytes), linked, loadCount_, enginesFragments_)};
    }
    case HeadwordLookupResult::Kind::NotFound: break;
    }
    return {};
}

std::vector<CompletionItem> DictionarySession::Completions(const QString& typed, std::size_t maxCount) {
    std::vector<CompletionItem> items;
    const Sjis::Encoded bytes = Sjis::FromQString(typed);
    StartCatalog();
    if (!bytes.lossless || !catalog_.Ready()) return items;
    const QString word = typed.trimmed();
    for (const CompletionEntry& entry : CompleteHeadword(catalog_.Get(), bytes.bytes, maxCount)) {
        if (entry.row >= static_cast<std::int64_t>(headwordIndex_.LineCount())) continue;
        const QString headword = Sjis::ToQString(HeadwordOf(headwordIndex_, entry.row));
        items.push_back({entry.kind == CompletionEntry::Kind::BaseForm ? word + QStringLiteral(" → ") + headword
                                                                         : headword,
                         entry.row});
    }
    return items;
}

std::string DictionarySession::RecordPage(std::int64_t line, bool markKeys) const {
    const std::string text = fullText_.Line(line);  // raises for a line the text does not hold
    // The engine gets the fragments' style values in the form it reads; the record's
    // own text goes in as it is.
    return BuildRecordPage(text, markKeys,
                           MarkupState{view_.separators, enginesFragments_, search_.Keys(), search_.Options().scope});
}
