// Repairing a damaged data file into the full-text view.
#include "app/MainWindow.h"

#include "app/WaitCursor.h"
#include "dictionary/DataFile.h"
#include "dictionary/NulCut.h"
#include "dictionary/Repair.h"
#include "textview/TEditorEx.h"
#include "textmodel/TextLines.h"

#include <QElapsedTimer>
#include <QStatusBar>

void TForm1::R1Click() {
    const QString path = fileDialogs_.open(files_.sample);
    if (path.isEmpty() || !ResolveUnsavedEdits()) return;

    SetStatusText(StatusPanel::Message, QStringLiteral("お待ちください"));
    const WaitCursor wait;
    repaint();

    // The file is read and repaired beside the view: a read or a repair that fails
    // leaves the view's text as it was.
    RepairResult result;
    FullTextOrigin origin{path};
    {
        TextLines read;
        read.SetWholeText(std::move(ReadWholeFile(path.toStdString()).text));
        origin.bytesCutAtNul = read.BytesCutAtNul();
        // The counter is painted some thirty times a second: painting it for every line
        // would take longer than the repair itself.
        QElapsedTimer sincePaint;
        result = RepairLines(read, session_.CurrentSeparators(), [&](int pass, std::int64_t line) {
            if (sincePaint.isValid() && sincePaint.elapsed() < 33) return;
            SetStatusText(StatusPanel::Message, QString::fromStdString(RepairProgressText(pass, line)));
            ui_.StatusBar1->repaint();
            sincePaint.start();
        });
    }  // the file's bytes are freed before the view takes the repaired ones

    session_.ReplaceFullText(std::move(result.text));  // modified: every numbered line was rewritten
    session_.SetOrigin(origin);
    FollowShownRecord();
    // An error in writing leaves the view repaired.
    WriteRepairFiles(session_.FullText(), result.log);
    // The repair mends what was read: what a NUL byte kept out is still missing.
    SetStatusText(StatusPanel::Message, QString::fromStdString(*LoadNotice(origin.bytesCutAtNul, RepairDoneText(result))));
}
