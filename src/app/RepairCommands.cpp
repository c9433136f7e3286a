// Repairing a damaged data file into the full-text view.
#include "app/MainWindow.h"

#include "app/WaitCursor.h"
#include "dictionary/DataFile.h"
#include "dictionary/Repair.h"
#include "textview/TEditorEx.h"

#include <QElapsedTimer>
#include <QStatusBar>

void TForm1::R1Click() {
    const QString path = ChooseFileToOpen(ProposedDataFile());
    if (path.isEmpty() || !ResolveUnsavedEdits()) return;

    SetStatusText(2, QStringLiteral("お待ちください"));
    const WaitCursor wait;
    repaint();

    // A file that cannot be read raises here, and the view keeps its text.
    FileContents file = ReadWholeFile(path.toStdString());
    TextLines& fullText = EditorEx1->Lines();
    fullText.SetWholeText(std::move(file.text));

    // The counter is painted some thirty times a second: painting it for every line
    // would take longer than the repair itself.
    QElapsedTimer sincePaint;
    RepairResult result = RepairLines(fullText, CurrentSeparators(), [&](int pass, std::int64_t line) {
        if (sincePaint.isValid() && sincePaint.elapsed() < 33) return;
        SetStatusText(2, QString::fromStdString(RepairProgressText(pass, line)));
        StatusBar1->repaint();
        sincePaint.start();
    });

    fullText.SetWholeText(std::move(result.text));
    fullText.SetModified(true);  // every numbered line was rewritten
    // An error in writing leaves the view repaired.
    WriteRepairFiles(fullText, result.log);
    SetStatusText(2, QString::fromStdString(RepairDoneText(result)));
}
