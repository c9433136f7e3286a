// What the user read and kept: the history's steps and the word list, as the session
// records and finds them.
#include "session/DictionarySession.h"

#include "common/Sjis.h"
#include "dictionary/RecordLine.h"
#include "session/StepRecord.h"

#include <QDateTime>

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
    shownLine_ = line;
    if (shown.historyMove) return;  // the history moved itself
    if (!shown.reach) {
        history_.LeftTrail();
        return;
    }
    const std::string_view text = fullText_.LineView(static_cast<std::size_t>(line));
    HistoryStep step;
    step.time = Now();
    step.line = line;
    step.headword = StepHeadword(text, CurrentSeparators());
    step.lineHash = LineHash(text);
    step.reach = *shown.reach;
    history_.Shown(std::move(step));
}

std::optional<RecordStep> DictionarySession::StepRecord(const HistoryStep& step) const {
    const std::optional<std::int64_t> line =
        FindStepRecord(fullText_, CurrentSeparators(), step.line, step.headword, step.lineHash);
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
        FindWordRecord(fullText_, CurrentSeparators(), entry.line, headword, translation.bytes);
    if (!line) return std::nullopt;
    return RecordStep{{}, RowOfLine(*line), *line, false, {}, StepReach::WordList, false};
}

ReadingHistory::Finder DictionarySession::StepFinder() const {
    return [this](const HistoryStep& step) -> std::optional<std::int64_t> {
        if (const std::optional<RecordStep> found = StepRecord(step)) return found->line;
        return std::nullopt;
    };
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
    if (!shownLine_ || *shownLine_ >= static_cast<std::int64_t>(fullText_.LineCount())) return std::nullopt;
    const std::string_view text = fullText_.LineView(static_cast<std::size_t>(*shownLine_));
    const std::optional<RecordFields> fields = CutRecordFields(text, CurrentSeparators());
    if (!fields) return std::nullopt;  // a damaged line has no translation to learn
    WordEntry entry;
    entry.headwordBytes = StepHeadword(text, CurrentSeparators());
    entry.headword = Sjis::ToQString(entry.headwordBytes);
    entry.translation = Sjis::ToQString(fields->translation);
    entry.examples = Sjis::ToQString(fields->examples);
    entry.dataFile = history_.DataFile();
    entry.line = *shownLine_;
    return entry;
}

bool DictionarySession::ShownRecordListed() const {
    if (!store_) return false;
    const std::optional<WordEntry> entry = ShownEntry();
    return entry && store_->HasWord(entry->headword, entry->translation);
}

std::optional<std::string> DictionarySession::ToggleShownRecordListed() {
    if (!shownLine_) return std::nullopt;
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
