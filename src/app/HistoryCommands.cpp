// The history: the database it is kept in, back and forward, and its list.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/RecordNavigator.h"
#include "common/ErrorBoundary.h"
#include "common/Sjis.h"
#include "common/UserFolders.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/WordListDialog.h"
#include "store/UserDatabase.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>

#include <utility>

void TForm1::OpenStore() {
    if (store_ || files_.database.isEmpty()) return;
    // The user's data folder is the user's alone; a failure shows as the store's own.
    if (!files_.databaseFolderToCreate.isEmpty()) MakePrivateFolder(files_.databaseFolderToCreate);
    store_ = UserDatabase::Open(files_.database);
    session_.SetStore(store_.get());
}

void TForm1::CloseStore() {
    // The word list's window reads the database while it lives: it goes first.
    delete std::exchange(ui_.frmWordList, nullptr);
    session_.SetStore(nullptr);
    store_.reset();
}

void TForm1::ShowStoreNotice() {
    if (!store_) return;
    const QString notice = store_->TakeNotice();
    if (notice.isEmpty()) return;
    // Said once, beside what the load may have had to say.
    const QString before = messageIsLoadNotice_ ? ui_.StatusPanels[static_cast<std::size_t>(StatusPanel::Message)]->text()
                                                : QString();
    SetStatusText(StatusPanel::Message, before.isEmpty() ? notice : before + QStringLiteral("　") + notice);
}

void TForm1::RecordPageLeft() {
    session_.RecordHidden();
    FollowShownRecord();
}

void TForm1::FollowShownRecord() {
    Act(Command::HistoryBack)->setEnabled(session_.History().CanGoBack());
    Act(Command::HistoryForward)->setEnabled(session_.History().CanGoForward());
    QAction* listed = Act(Command::WordListed);
    listed->setEnabled(session_.ShownLine().has_value());
    listed->setChecked(session_.ShownRecordListed());
    ShowStoreNotice();
    if (ui_.frmHistory && ui_.frmHistory->isVisible() && store_)
        ui_.frmHistory->SetSteps(store_->History(session_.History().DataFile()));
}

void TForm1::HistoryBack1Click() { MoveInHistory(&DictionarySession::HistoryBack); }

void TForm1::HistoryForward1Click() { MoveInHistory(&DictionarySession::HistoryForward); }

void TForm1::MoveInHistory(std::optional<HistoryMove> (DictionarySession::*move)()) {
    OpenStore();  // the trail is read from it
    const std::optional<HistoryMove> moved = (session_.*move)();
    if (!moved) return FollowShownRecord();
    SetStatusText(StatusPanel::Message, QString::fromStdString(moved->statusText));
    navigator_->ShowLookedUp(moved->step);
}

void TForm1::History1Click() {
    OpenStore();
    if (!ui_.frmHistory) {
        ui_.frmHistory = new HistoryDialog(this);
        connect(ui_.frmHistory, &HistoryDialog::StepChosen, this,
                [this](const HistoryStep& step) { RunGuarded([&] { HistoryStepChosen(step); }); });
    }
    ui_.frmHistory->SetSteps(store_ ? store_->History(session_.History().DataFile()) : std::vector<HistoryStep>{});
    ui_.frmHistory->show();
    ui_.frmHistory->raise();
    ui_.frmHistory->activateWindow();
}

void TForm1::HistoryStepChosen(const HistoryStep& step) {
    const std::optional<RecordStep> found = session_.StepRecord(step);
    if (!found)
        return SetStatusText(StatusPanel::Message,
                             QStringLiteral("「%1」は今の辞書にないため表示できません").arg(Sjis::ToQString(step.headword)));
    navigator_->ShowLookedUp(*found);
}
