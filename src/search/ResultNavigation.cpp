// Stepping through the results of the last search, and switching the index pane.
#include "app/MainWindow.h"

#include "common/StringHelpers.h"
#include "textview/TEditorEx.h"

#include <QLineEdit>
#include <QToolButton>

namespace {

// A search index row is "headword (line)": the bytes after its last "(", less the
// closing ")", are the line. A headword holding "(" still navigates right.
std::int64_t LineOfSearchIndexRow(std::string_view row) {
    const std::size_t open = row.rfind('(');
    std::string_view number = open == std::string_view::npos ? row : row.substr(open + 1);
    if (!number.empty()) number.remove_suffix(1);
    return StrToIntLoose(number);
}

}  // namespace

void TForm1::NextBtnClick() {
    const int n = CurrentHit;
    if (static_cast<std::int64_t>(HitList.size()) < static_cast<std::int64_t>(n) + 1) return;
    CurrentHit = n + 1;
    edtNowNo->setText(QString::number(CurrentHit));
    ShowCurrentHit();
}

void TForm1::ForwardBtnClick() {
    const int n = CurrentHit;
    if (n - 1 <= 0) return;
    CurrentHit = n - 1;
    edtNowNo->setText(QString::number(CurrentHit));
    ShowCurrentHit();
}

void TForm1::ShowCurrentHit() {
    std::int64_t line = 0;
    if (ResultCount != 0) {
        const std::int64_t row = static_cast<std::int64_t>(CurrentHit) - 1;
        line = LineOfSearchIndexRow(EditorEx3->Line(row));
        EditorEx3->SetCaretRow(row);
    } else {
        if (EditorEx2->LineCount() == 0) return;
        line = EditorEx2->CaretRow();
    }
    EditorEx2->SetCaretRow(line);
    if (IsHeadwordIndexShowing()) EditorEx2->TakeFocus();
    else if (!EditorEx3->isHidden()) EditorEx3->TakeFocus();
    ShowRecord(line, true);
}

void TForm1::EditorEx3Click() {
    const std::int64_t row = EditorEx3->CaretRow();
    if (row < 0 || row >= EditorEx3->LineCount()) return;
    CurrentHit = static_cast<int>(row + 1);
    edtNowNo->setText(QString::number(CurrentHit));
    ShowRecord(LineOfSearchIndexRow(EditorEx3->Line(row)), true);
}

void TForm1::SpeedButton2Click() {
    const bool showSearchIndex = SpeedButton2->text() == QStringLiteral("インデックス");
    SpeedButton2->setText(showSearchIndex ? QStringLiteral("検索インデックス") : QStringLiteral("インデックス"));
    EditorEx2->setVisible(!showSearchIndex);
    EditorEx3->setVisible(showSearchIndex);
}
