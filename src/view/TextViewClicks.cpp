// Clicks in the full-text view and the headword index.
#include "app/MainWindow.h"

#include "textview/TEditorEx.h"

void TForm1::EditorEx1Click() {
    const std::int64_t selectionStart = EditorEx1->SelectionStartRow();
    const std::int64_t row = EditorEx1->RowOfLine(selectionStart);
    const std::int64_t line = EditorEx1->LineOfRow(row);
    SetStatusText(0, QStringLiteral("No.%1(%2)%3").arg(selectionStart).arg(row).arg(line));
}

void TForm1::EditorEx2Click() {
    const std::int64_t row = EditorEx2->CaretRow();
    if (row < 0 || row > EditorEx2->LineCount() - 1) return;  // below the last row
    ShowRecord(row, false);
}
