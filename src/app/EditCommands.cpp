// Edit mode, the question before edits are dropped, saving the full-text view, and
// keeping the edits when the program is made to end.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/WaitCursor.h"
#include "common/ErrorBoundary.h"
#include "common/SystemHelpers.h"
#include "dictionary/DataFile.h"
#include "dictionary/KeptEdits.h"
#include "dictionary/NulCut.h"
#include "textview/TEditorEx.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTabWidget>

namespace {

constexpr int kTextPage = 1;  // ui_.TabSheet2, "テキスト"

// Yes writes the edits to the data file, No drops them, Cancel keeps them in front.
int AskToSaveEdits() {
    return AskUser("辞書ファイルは変更されています.\r\n更新しますか?", "情報",
                   AskFlags::YesNoCancel | AskFlags::IconInformation);
}

}  // namespace

void TForm1::E1Click() {
    // QAction has toggled its own check mark already: edit mode alone decides it.
    ui_.EditorEx1->SetReadOnly(!ui_.EditorEx1->ReadOnly());
    const bool editing = !ui_.EditorEx1->ReadOnly();
    Act(Command::EditMode)->setChecked(editing);
    // The program's own page change: nothing is asked, and the edits stay in the view.
    if (!editing) ui_.PageControl1->setCurrentIndex(0);
    ui_.PageControl1->setTabVisible(kTextPage, editing);
    FollowShownRecord();  // the record on the page may have been edited away
}

bool TForm1::PageControl1Changing(int from, int) {
    if (from != kTextPage || !session_.FullText().Modified()) return true;
    return OfferToSaveEdits(true);  // the index follows the saved text
}

bool TForm1::ResolveUnsavedEdits() {
    if (ui_.EditorEx1->ReadOnly() || !session_.FullText().Modified()) return true;
    return OfferToSaveEdits(false);
}

bool TForm1::OfferToSaveEdits(bool reloadAfterSaving) {
    switch (AskToSaveEdits()) {
    case AskAnswer::Yes:
        // A save that did not happen keeps the user on the edits.
        if (!SaveFullText(session_.DataFile())) return false;
        session_.FullText().SetModified(false);  // the file holds the text now, reloaded or not
        ForgetKeptEditsInView();
        if (reloadAfterSaving) {
            try {
                const WaitCursor wait;
                LoadDictionary(session_.DataFile());
            } catch (const std::exception& error) {
                // A text the load refuses (emptied whole, say) is saved all the same.
                ReportError(error);
            }
        }
        return true;
    case AskAnswer::No:
        // Dropped at the user's word (a close, an open, a repair); leaving the text page
        // keeps them in view.
        if (!reloadAfterSaving) ForgetKeptEditsInView();
        return true;
    default: return false;
    }
}

bool TForm1::SaveFullText(const QString& path) {
    const FullTextOrigin& origin = session_.Origin();
    const std::uint64_t lost = BytesLostBySaving(path.toStdString(), origin.path.toStdString(), origin.bytesCutAtNul);
    if (lost > 0 && AskUser(LostBytesQuestion(path.toStdString(), lost), "問合わせ",
                            AskFlags::YesNo | AskFlags::IconWarning | AskFlags::DefaultButton2) != AskAnswer::Yes)
        return false;
    try {
        const WaitCursor wait;  // gone again before an error is shown
        session_.FullText().SaveLinesToFile(path.toStdString());
    } catch (const std::exception& error) {
        ReportError(error);
        return false;
    }
    if (lost > 0) session_.SetOrigin({origin.path, 0});  // gone from the file: nothing more to lose
    return true;
}

QStringList TForm1::KeptEditsFolders() const {
    QStringList folders{files_.keptEditsFolder};
    if (QDir::cleanPath(files_.stateFolder) != QDir::cleanPath(files_.keptEditsFolder)) folders.append(files_.stateFolder);
    return folders;
}

void TForm1::KeepUnsavedEditsForRecovery() {
    // Out of edit mode too: edits left in view when it was turned off, a repair not yet saved.
    if (!session_.FullText().Modified()) return;
    try {
        const QString kept = KeepEdits(KeptEditsFolders(), files_.stateFolder, session_.DataFile(), session_.FullText(),
                                        keptEditsInView_);
        qWarning("QuillorDic: 保存されていない編集を %s に残しました", qPrintable(kept));
    } catch (const std::exception& error) {
        qWarning("%s", error.what());  // no one is there to answer a message box
    }
}

void TForm1::OfferKeptEdits() {
    const std::optional<QString> kept = FindKeptEdits(KeptEditsFolders(), session_.DataFile());
    if (!kept || AskUser("保存されていない編集が残っています。開きますか", "問合わせ",
                         AskFlags::YesNo | AskFlags::IconQuestion) != AskAnswer::Yes)
        return;
    // An empty text has no bytes to map.
    FileContents contents = QFileInfo(*kept).size() > 0 ? ReadWholeFile(kept->toStdString()) : FileContents{};
    session_.ReplaceFullText(std::move(contents.text));
    FollowShownRecord();
    keptEditsInView_ = *kept;
    if (ui_.EditorEx1->ReadOnly()) E1Click();
    ui_.PageControl1->setCurrentIndex(kTextPage);
}

void TForm1::ForgetKeptEditsInView() {
    if (!keptEditsInView_.isEmpty()) QFile::remove(keptEditsInView_);
    keptEditsInView_.clear();
}

QString TForm1::RunSaveDialog(const QString& proposedPath) {
    if (!ui_.SaveDialog1) {
        ui_.SaveDialog1 = new QFileDialog(this, QStringLiteral("名前を付けて保存"));
        ui_.SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
        ui_.SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        ui_.SaveDialog1->setFileMode(QFileDialog::AnyFile);
        // Replacing a file is what the user chose it for: no second question.
        ui_.SaveDialog1->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    }
    if (!proposedPath.isEmpty()) ui_.SaveDialog1->setDirectory(QFileInfo(proposedPath).path());
    ui_.SaveDialog1->selectFile(proposedPath);
    if (ui_.SaveDialog1->exec() != QDialog::Accepted || ui_.SaveDialog1->selectedFiles().isEmpty()) return {};
    return ui_.SaveDialog1->selectedFiles().constFirst();
}

void TForm1::SaveAs1Click() {
    const QString path = fileDialogs_.save(session_.DataFile());
    if (path.isEmpty()) return;
    SaveFullText(path);
}
