// Opening a data file: the load and the open command of the main window.
#include "app/MainWindow.h"

#include "app/RecordNavigator.h"
#include "app/WaitCursor.h"
#include "common/ErrorBoundary.h"
#include "common/StartupTrace.h"
#include "dictionary/DataFilePreload.h"
#include "textview/TEditorEx.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>

void TForm1::LoadDictionary(const QString& path) {
    // A file that cannot be read raises here, before anything has changed.
    std::optional<FileContents> preloaded = preload_ ? preload_->Take(path.toStdString()) : std::nullopt;
    if (preloaded) MarkStartup("dictionary read ahead");
    const LoadOutcome outcome = session_.Load(path, std::move(preloaded));
    HideCompletions();  // its rows are of the index that was
    // Once the load and its first record are done, the headwords' catalog is built
    // behind whatever the user does next.
    QTimer::singleShot(0, this, Guarded([this] { session_.StartCatalog(); }));
    // So is the file's history (the database is checked whole when first opened, which
    // takes a while for a long word list), and back is on as soon as there is one.
    QTimer::singleShot(0, this, Guarded([this] {
        OpenStore();
        session_.ReadHistory();
        FollowShownRecord();
    }));
    // Kept edits the view held with the old lines stay kept.
    keptEditsInView_.clear();
    SetStatusText(StatusPanel::Position, QString::fromStdString(outcome.sizeText));
    ui_.EditorEx1->RepaintNow();
    const std::optional<std::string>& notice = outcome.notice;
    if (notice) SetStatusText(StatusPanel::Message, QString::fromStdString(*notice));
    // A sound file must not go on telling what was wrong with the file before it.
    else if (messageIsLoadNotice_) SetStatusText(StatusPanel::Message, QString());
    FollowShownRecord();
}

QString TForm1::RunOpenDialog(const QString& proposedPath) {
    if (!ui_.OpenDialog1) {
        ui_.OpenDialog1 = new QFileDialog(this, QStringLiteral("開く"));
        ui_.OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
        ui_.OpenDialog1->setFileMode(QFileDialog::ExistingFile);
        ui_.OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    }
    ui_.OpenDialog1->setDirectory(QFileInfo(proposedPath).path());
    ui_.OpenDialog1->selectFile(proposedPath);
    if (ui_.OpenDialog1->exec() != QDialog::Accepted || ui_.OpenDialog1->selectedFiles().isEmpty()) return {};
    return ui_.OpenDialog1->selectedFiles().constFirst();
}

void TForm1::Open1Click() {
    const QString path = fileDialogs_.open(files_.sample);
    if (path.isEmpty()) return;
    OpenDataFile(path);
}

void TForm1::OpenDataFile(const QString& path) {
    if (!ResolveUnsavedEdits()) return;

    UpdateCaption(path);
    {
        const WaitCursor wait;  // a large file takes a moment
        LoadDictionary(path);
    }
    OfferKeptEdits();
    if (session_.HeadwordIndex().LineCount() >= 2) navigator_->FirstRecord();
}
