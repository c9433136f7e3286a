// The word list: the record shown onto it and off it, its window, its export and import.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/RecordNavigator.h"
#include "common/ErrorBoundary.h"
#include "app/WaitCursor.h"
#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "dialogs/WordListDialog.h"
#include "session/WordListFile.h"
#include "store/UserDatabase.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

// An import reads the whole file first, to take all of it or nothing.
constexpr qint64 kMaxImportBytes = 256LL * 1024 * 1024;

}  // namespace

void TForm1::WordListed1Click() {
    OpenStore();
    const std::optional<std::string> said = session_.ToggleShownRecordListed();
    if (said) SetStatusText(StatusPanel::Message, QString::fromStdString(*said));
    FollowShownRecord();
    if (ui_.frmWordList && ui_.frmWordList->isVisible()) ui_.frmWordList->Reload();
}

void TForm1::WordList1Click() {
    OpenStore();
    if (!ui_.frmWordList) {
        ui_.frmWordList = new WordListDialog(store_.get(), this);
        connect(ui_.frmWordList, &WordListDialog::EntryChosen, this,
                [this](const WordEntry& entry) { RunGuarded([&] { WordEntryChosen(entry); }); });
    }
    ui_.frmWordList->Reload();
    ui_.frmWordList->show();
    ui_.frmWordList->raise();
    ui_.frmWordList->activateWindow();
    ShowStoreNotice();
}

void TForm1::WordEntryChosen(const WordEntry& entry) {
    const std::optional<RecordStep> found = session_.WordRecord(entry);
    if (!found)
        return SetStatusText(StatusPanel::Message,
                             QStringLiteral("「%1」は今の辞書にないため表示できません").arg(entry.headword));
    navigator_->ShowLookedUp(*found);
}

QString TForm1::RunWordListDialog(bool save, const QString& proposedPath) {
    QFileDialog dialog(this, save ? QStringLiteral("単語帳を書き出す") : QStringLiteral("単語帳を読み込む"));
    dialog.setObjectName(save ? QStringLiteral("ExportDialog1") : QStringLiteral("ImportDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QString tsv = QStringLiteral("タブ区切り (Anki) (*.txt *.tsv)");
    const QString csv = QStringLiteral("CSV (*.csv)");
    dialog.setNameFilters({tsv, csv, QStringLiteral("すべてのファイル (*)")});
    dialog.setDirectory(QFileInfo(proposedPath).path());
    if (save) dialog.selectFile(proposedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString path = dialog.selectedFiles().constFirst();
    // The type chosen gives a name without one its ending, as the export reads it.
    if (save && QFileInfo(path).suffix().isEmpty())
        path += dialog.selectedNameFilter() == csv ? QStringLiteral(".csv") : QStringLiteral(".txt");
    return path;
}

void TForm1::ExportWordList1Click() {
    OpenStore();
    if (!store_ || !store_->Available()) {
        ShowStoreNotice();
        return SetStatusText(StatusPanel::Message, QStringLiteral("単語帳を使えません"));
    }
    const std::vector<WordEntry> entries = store_->AllWords();
    if (entries.empty()) return SetStatusText(StatusPanel::Message, QStringLiteral("単語帳に語がありません"));
    const QString path = fileDialogs_.exportWordList(QDir::homePath() + QStringLiteral("/単語帳.txt"));
    if (path.isEmpty()) return;
    const WordListFormat format = WordListFormatOf(path);
    WriteFileAtomically(path.toStdString(), WriteWordList(entries, format));
    SetStatusText(StatusPanel::Message, QStringLiteral("単語帳の %1 語を %2 に書き出しました")
                                            .arg(entries.size())
                                            .arg(QFileInfo(path).fileName()));
}

void TForm1::ImportWordList1Click() {
    OpenStore();
    if (!store_ || !store_->Available()) {
        ShowStoreNotice();
        return SetStatusText(StatusPanel::Message, QStringLiteral("単語帳を使えません"));
    }
    const QString path = fileDialogs_.importWordList(QDir::homePath());
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw QuillorError(QStringLiteral("%1 を読めません（%2）").arg(path, file.errorString()).toStdString());
    if (file.size() > kMaxImportBytes)
        throw QuillorError(QStringLiteral("%1 は単語帳として大きすぎます").arg(path).toStdString());
    const QByteArray bytes = file.readAll();
    const WordListRead read = ReadWordList(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                           WordListFormatOf(path));
    // Nothing is taken from a file that is not read whole.
    if (!read.error.isEmpty())
        throw QuillorError(QStringLiteral("%1 を読み込めません: %2").arg(QFileInfo(path).fileName(), read.error).toStdString());
    std::optional<WordMergeOutcome> merged;
    {
        const WaitCursor wait;
        merged = store_->MergeWords(read.entries);
    }
    if (!merged) {
        ShowStoreNotice();
        throw QuillorError(QStringLiteral("%1 を単語帳に読み込めませんでした。単語帳は元のままです").arg(path).toStdString());
    }
    SetStatusText(StatusPanel::Message,
                  QStringLiteral("単語帳に %1 語を加えました（メモを補ったもの %2、既にあったもの %3）")
                      .arg(merged->added)
                      .arg(merged->notesTaken)
                      .arg(merged->alreadyThere));
    FollowShownRecord();
    if (ui_.frmWordList && ui_.frmWordList->isVisible()) ui_.frmWordList->Reload();
}
