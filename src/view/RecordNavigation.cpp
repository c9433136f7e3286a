// Previous, next, first and last record along the headword index. The index gets the
// focus before each caret move, so that it scrolls to the new row.
#include "app/MainWindow.h"

#include "textview/TEditorEx.h"

namespace {

// "Showing" is the headword index's own visibility flag: off while the search index
// stands in its place and while the window is compact.
bool IsShowing(const TEditorEx* index) { return !index->isHidden(); }

void FocusIfShowing(TEditorEx* index) {
    if (IsShowing(index)) index->TakeFocus();
}

}  // namespace

void TForm1::ShowPreviousRecord() {
    if (!IsShowing(EditorEx2)) return ForwardBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() - 1;
    if (row < 0) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(EditorEx2);
    ShowRecord(row, false);
}

void TForm1::ShowNextRecord() {
    if (!IsShowing(EditorEx2)) return NextBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() + 1;
    if (row > EditorEx2->LineCount() - 1) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(EditorEx2);
    ShowRecord(row, false);
}

void TForm1::ShowFirstRecord() {
    FocusIfShowing(EditorEx2);
    EditorEx2->SetCaretRow(0);
    FocusIfShowing(EditorEx2);
    ShowRecord(0, false);
}

void TForm1::ShowLastRecord() {
    FocusIfShowing(EditorEx2);
    const std::int64_t row = EditorEx2->LineCount() - 1;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(EditorEx2);
    ShowRecord(row, false);
}
