// What the user read and kept: the history's steps and the word list, as the session
// records and finds them.
#include "session/DictionarySession.h"

#include "common/Sjis.h"
#include "dictionary/RecordLine.h"
#include "session/StepRecord.h"

#include <QDateTime>

#include <memory>

namespace {

std::int64_t Now() { return QDateTime::currentMSecsSinceEpoch(); }

}  // namespace

void DictionarySession::SetStore(ReadingStore* store) {
    store_ = store;
    history_.SetStore(store);
}

void DictionarySession::RecordShown(const RecordStep& shown) {
    if (!shown.line) return;
    const std::int64_t line = *shown.line;
    const std::string_view text = fullText_.LineView(static_cast<std::size_t>(line));
    shown_ = ShownRecord{line, StepHeadword(text, CurrentSeparators()), LineHash(text)};
    if (shown.keepsHistoryPlace) return;
    if (!shown.reach) {
        history_.LeftTrail();
        return;
    }
    HistoryStep step;
    step.time = Now();
    step.line = line;
    step.headword = shown_->headword;
    step.lineHash = shown_->hash;
    step.reach = *shown.reach;
    history_.Shown(std::move(step));
}

void DictionarySession::RecordHidden() noexcept {
    shown_.reset();
    history_.LeftTrail();  // back returns to the record the page showed last
}

std::optional<std::int64_t> DictionarySession::ShownLine() const {
    if (!shown_) return std::nullopt;
    if (!shown_->textChanged) return shown_->line;
    // The page shows the record as it was: after an edit it is where its bytes are now,
    // or nowhere.
    return RecordFinder(fullText_, CurrentSeparators()).FindExact(shown_->line, shown_->headword, shown_->hash);
}

std::optional<RecordStep> DictionarySession::StepRecord(const HistoryStep& step) const {
    RecordFinder finder(fullText_, CurrentSeparators());
    const std::optional<std::int64_t> line = finder.FindStep(step.line, step.headword, step.lineHash);
    if (!line) return std::nullopt;
    return RecordStep{{}, RowOfLine(*line), *line, false, {}, StepReach::History, false};
}

std::optional<RecordStep> DictionarySession::WordRecord(const WordEntry& entry) const {
    std::string headword = entry.headwordBytes;
    if (headword.empty()) {
        const Sjis::Encoded encoded = Sjis::FromQString(entry.headword);
        if (!encoded.lossless) return std::nullopt;
        headword = encoded.bytes;
    }
    const Sjis::Encoded translation = Sjis::FromQString(entry.translation);
    if (!translation.lossless) return std::nullopt;
    const std::optional<std::int64_t> line =
        RecordFinder(fullText_, CurrentSeparators()).FindWord(entry.line, headword, translation.bytes);
    if (!line) return std::nullopt;
    return RecordStep{{}, RowOfLine(*line), *line, false, {}, StepReach::WordList, false};
}

ReadingHistory::Finder DictionarySession::StepFinder() const {
    // One finder for every step a move looks at: past the first record gone, the text is
    // cut once, not once per step.
    auto finder = std::make_shared<RecordFinder>(fullText_, CurrentSeparators());
    return [finder](const HistoryStep& step) { return finder->FindStep(step.line, step.headword, step.lineHash); };
}

std::optional<HistoryMove> DictionarySession::ToHistoryMove(const std::optional<ReadingHistory::Found>& found) const {
    if (!found) return std::nullopt;
    HistoryMove move{RecordStep{{}, RowOfLine(found->line), found->line, false, {}, {}, true}, {}};
    if (found->skipped > 0)
        move.statusText = "辞書にない " + std::to_string(found->skipped) + " 件の履歴を飛ばしました";
    return move;
}

std::optional<HistoryMove> DictionarySession::HistoryBack() { return ToHistoryMove(history_.Back(StepFinder())); }

std::optional<HistoryMove> DictionarySession::HistoryForward() { return ToHistoryMove(history_.Forward(StepFinder())); }

std::optional<WordEntry> DictionarySession::ShownEntry() const {
    const std::optional<std::int64_t> line = ShownLine();
    if (!line) return std::nullopt;
    const std::string_view text = fullText_.LineView(static_cast<std::size_t>(*line));
    const std::optional<RecordFields> fields = CutRecordFields(text, CurrentSeparators());
    if (!fields) return std::nullopt;  // a damaged line has no translation to learn
    WordEntry entry;
    entry.headwordBytes = StepHeadword(text, CurrentSeparators());
    entry.headword = Sjis::ToQString(entry.headwordBytes);
    entry.translation = Sjis::ToQString(fields->translation);
    entry.examples = Sjis::ToQString(fields->examples);
    entry.dataFile = history_.DataFile();
    entry.line = *line;
    return entry;
}

bool DictionarySession::ShownRecordListed() const {
    if (!store_) return false;
    const std::optional<WordEntry> entry = ShownEntry();
    return entry && store_->HasWord(entry->headword, entry->translation);
}

std::optional<std::string> DictionarySession::ToggleShownRecordListed() {
    if (!shown_) return std::nullopt;
    if (!ShownLine()) return std::string("表示中のレコードは書き換えられたため、単語帳に登録できません");
    std::optional<WordEntry> entry = ShownEntry();
    if (!entry) return std::string("壊れた行は単語帳に登録できません");
    if (!store_) return std::string("単語帳を使えません");
    const std::string headword = entry->headword.toStdString();
    if (store_->HasWord(entry->headword, entry->translation)) {
        if (!store_->RemoveWord(entry->headword, entry->translation)) return std::string("単語帳から外せませんでした");
        return "「" + headword + "」を単語帳から外しました";
    }
    entry->added = Now();
    if (!store_->AddWord(*entry)) return std::string("単語帳に登録できませんでした");
    return "「" + headword + "」を単語帳に登録しました";
}
