// Showing a record: the one operation every display of a record goes through.
#include "app/MainWindow.h"

#include "textview/TEditorEx.h"

void TForm1::ShowRecord(std::int64_t n, bool markKeys) {
    SetStatusText(0, QStringLiteral("No.%1").arg(n + 1));
    const std::string line = EditorEx1->Line(n);  // raises for a line the text does not hold
    (void)line;
    (void)markKeys;
}

