// Previous, next, first and last record along the headword index. The index gets the
// focus before each caret move, so that it scrolls to the new row.
#include "app/MainWindow.h"

#include "textview/TEditorEx.h"

bool TForm1::IsHeadwordIndexShowing() const { return !EditorEx2->isHidden(); }

namespace {

void FocusIfShowing(const TForm1& form) {
    if (form.IsHeadwordIndexShowing()) form.EditorEx2->TakeFocus();
}

}  // namespace

void TForm1::ShowPreviousRecord() {
    if (!IsHeadwordIndexShowing()) return ForwardBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() - 1;
    if (row < 0) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}

void TForm1::ShowNextRecord() {
    if (!IsHeadwordIndexShowing()) return NextBtnClick();
    EditorEx2->TakeFocus();
    const std::int64_t row = EditorEx2->CaretRow() + 1;
    if (row > EditorEx2->LineCount() - 1) return;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}

void TForm1::ShowFirstRecord() {
    FocusIfShowing(*this);
    EditorEx2->SetCaretRow(0);
    FocusIfShowing(*this);
    ShowRecord(0, false);
}

void TForm1::ShowLastRecord() {
    FocusIfShowing(*this);
    const std::int64_t row = EditorEx2->LineCount() - 1;
    EditorEx2->SetCaretRow(row);
    FocusIfShowing(*this);
    ShowRecord(row, false);
}
