#include "app/RecordNavigator.h"

#include "textview/TEditorEx.h"

#include <QLineEdit>
#include <QToolButton>

#include <utility>

RecordNavigator::RecordNavigator(DictionarySession& session, Controls controls,
                                 std::function<void(const RecordStep&)> showRecord)
    : session_(session), ui_(controls), showRecord_(std::move(showRecord)) {}

void RecordNavigator::PreviousRecord() {
    if (!HeadwordsShowing()) return PreviousHit();
    StepAlongHeadwords(session_.PreviousRecord(ui_.headwords->CaretRow()));
}

void RecordNavigator::NextRecord() {
    if (!HeadwordsShowing()) return NextHit();
    StepAlongHeadwords(session_.NextRecord(ui_.headwords->CaretRow()));
}

void RecordNavigator::FirstRecord() { StepAlongHeadwords(session_.FirstRecord()); }

void RecordNavigator::LastRecord() { StepAlongHeadwords(session_.LastRecord()); }

void RecordNavigator::PreviousHit() { StepAlongHits(session_.PreviousHit(ui_.headwords->CaretRow())); }

void RecordNavigator::NextHit() { StepAlongHits(session_.NextHit(ui_.headwords->CaretRow())); }

void RecordNavigator::ShowCurrentHitAgain() {
    RecordStep again = session_.CurrentHitStep(ui_.headwords->CaretRow());
    again.keepsHistoryPlace = true;  // the same record, shown again: no step of the history
    StepAlongHits(again);
    // The list was hidden while its caret moved: it scrolls to it now, as the switch
    // does when it brings a list back.
    if (TEditorEx* index = VisibleIndex()) index->ShowCaretRow();
}

void RecordNavigator::ShowFirstResult() { StepAlongHits(session_.FirstResult()); }

void RecordNavigator::ChooseHeadword() {
    if (const std::optional<RecordStep> step = session_.ChooseHeadword(ui_.headwords->CaretRow())) Apply(*step);
}

void RecordNavigator::ChooseResult() {
    if (const std::optional<RecordStep> step = session_.ChooseResult(ui_.results->CaretRow())) Apply(*step);
}

void RecordNavigator::ShowLookedUp(const RecordStep& step) {
    Apply(step);
    if (HeadwordsShowing()) ui_.headwords->ShowCaretRow();
}

void RecordNavigator::SwitchList() {
    resultsShown_ = !resultsShown_;
    ui_.listSwitch->setText(resultsShown_ ? QStringLiteral("検索インデックス") : QStringLiteral("インデックス"));
    ui_.headwords->setVisible(!resultsShown_);
    ui_.results->setVisible(resultsShown_);
    // The caret of the list now showing may have moved while it was hidden.
    if (TEditorEx* index = VisibleIndex()) {
        index->TakeFocus();
        index->ShowCaretRow();
    }
}

void RecordNavigator::SetListsShown(bool shown) {
    listsShown_ = shown;
    if (!shown) {
        resultsShown_ = false;
        ui_.listSwitch->setText(QStringLiteral("インデックス"));
        ui_.results->hide();
        ui_.headwords->hide();
    } else {
        ui_.headwords->show();
    }
}

TEditorEx* RecordNavigator::VisibleIndex() const {
    if (!listsShown_) return nullptr;
    return resultsShown_ ? ui_.results : ui_.headwords;
}

void RecordNavigator::FocusVisibleIndex() {
    if (TEditorEx* index = VisibleIndex()) index->TakeFocus();
}

void RecordNavigator::FocusHeadwordsIfShowing() {
    if (HeadwordsShowing()) ui_.headwords->TakeFocus();
}

void RecordNavigator::StepAlongHeadwords(const std::optional<RecordStep>& step) {
    FocusHeadwordsIfShowing();
    if (!step) return;
    RecordStep rest = *step;
    if (rest.headwordRow) ui_.headwords->SetCaretRow(*std::exchange(rest.headwordRow, std::nullopt));
    FocusHeadwordsIfShowing();
    Apply(rest);
}

void RecordNavigator::StepAlongHits(const std::optional<RecordStep>& step) {
    if (!step) return;
    // The focus first, so that the list on screen scrolls to its new caret row, from
    // wherever the key or click came.
    FocusVisibleIndex();
    Apply(*step);
}

void RecordNavigator::Apply(const RecordStep& step) {
    if (step.hitCounterText) ui_.hitCounter->setText(QString::fromStdString(*step.hitCounterText));
    if (step.searchRow) ui_.results->SetCaretRow(*step.searchRow);
    if (step.headwordRow) ui_.headwords->SetCaretRow(*step.headwordRow);
    if (step.line) showRecord_(step);
}
