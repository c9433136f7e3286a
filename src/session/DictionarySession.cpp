#include "session/DictionarySession.h"

#include "common/Sjis.h"
#include "dictionary/DictionaryLoad.h"
#include "dictionary/NulCut.h"
#include "view/PageStyles.h"
#include "view/RecordMarkup.h"

#include <QStringList>

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
    // Every change of the full text makes the search text stale.
    fullTextListener_ = fullText_.AddChangeListener([this](const LinesChange&) { search_.DiscardBuffer(); });
}

DictionarySession::~DictionarySession() { fullText_.RemoveChangeListener(fullTextListener_); }

LoadOutcome DictionarySession::Load(const QString& path, std::optional<FileContents> readAhead) {
    const LoadReport report =
        readAhead ? LoadDictionaryText(std::move(*readAhead), CurrentSeparators(), fullText_, headwordIndex_)
                  : LoadDictionaryText(path.toStdString(), CurrentSeparators(), fullText_, headwordIndex_);
    dataFile_ = path;
    origin_ = {path, fullText_.BytesCutAtNul()};
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
    return {0, line, line, true, HitCounterText(1)};
}

RecordStep DictionarySession::CurrentHitStep(std::int64_t headwordCaretRow) const {
    if (search_.ResultCount() != 0) {
        const std::int64_t row = currentHit_ - 1;
        const std::int64_t line = shownResultLines_.at(static_cast<std::size_t>(row));
        return {row, line, line, true, {}};
    }
    // The empty place after the last row, or no row at all: no record to show.
    if (headwordCaretRow >= static_cast<std::int64_t>(headwordIndex_.LineCount())) return {};
    return {{}, headwordCaretRow, headwordCaretRow, true, {}};
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
    return RecordStep{{}, {}, shownResultLines_.at(static_cast<std::size_t>(row)), true, std::to_string(currentHit_)};
}

std::optional<RecordStep> DictionarySession::ChooseHeadword(std::int64_t row) const {
    if (row < 0 || row > static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1) return std::nullopt;
    return RecordStep{{}, {}, row, false, {}};
}

std::optional<RecordStep> DictionarySession::NextRecord(std::int64_t headwordCaretRow) const {
    const std::int64_t row = headwordCaretRow + 1;
    if (row > static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1) return std::nullopt;
    return RecordStep{{}, row, row, false, {}};
}

std::optional<RecordStep> DictionarySession::PreviousRecord(std::int64_t headwordCaretRow) const {
    const std::int64_t row = headwordCaretRow - 1;
    if (row < 0) return std::nullopt;
    return RecordStep{{}, row, row, false, {}};
}

RecordStep DictionarySession::FirstRecord() const { return {{}, 0, 0, false, {}}; }

RecordStep DictionarySession::LastRecord() const {
    const std::int64_t row = static_cast<std::int64_t>(headwordIndex_.LineCount()) - 1;
    return {{}, row, row, false, {}};
}

std::string DictionarySession::RecordPositionText(std::int64_t line) { return "No." + std::to_string(line + 1); }

std::string DictionarySession::RecordPage(std::int64_t line, bool markKeys) const {
    const std::string text = fullText_.Line(line);  // raises for a line the text does not hold
    // The engine gets the fragments' style values in the form it reads; the record's
    // own text goes in as it is.
    return BuildRecordPage(text, markKeys,
                           MarkupState{view_.separators, enginesFragments_, search_.Keys(), search_.Options().scope});
}
