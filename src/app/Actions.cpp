#include "app/Actions.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace {

QKeySequence Key(QKeyCombination key) { return QKeySequence(key); }

}  // namespace

const std::vector<CommandSpec>& CommandTable() {
    using K = QList<QKeySequence>;
    static const std::vector<CommandSpec> table = {
        {Command::Open, "Open1", "開く(&O)", {}, QStyle::SP_DialogOpenButton, true, nullptr, false, "File1"},
        {Command::SaveAs, "SaveAs1", "名前を付けて保存(&A)", {}, QStyle::SP_DialogSaveButton, true, nullptr, false,
         "File1"},
        {Command::Repair, "R1", "辞書データ修復(&R)", {}, {}, true, nullptr, false, "File1", "N1"},
        {Command::Print, "Print1", "表示データ印刷(&P)", {}, {}, true, nullptr, false, "File1", "N3"},
        {Command::ExportWordList, "ExportWordList1", "単語帳を書き出す(&W)...", {}, {}, true, nullptr, false, "File1",
         "N10"},
        {Command::ImportWordList, "ImportWordList1", "単語帳を読み込む(&I)...", {}, {}, true, nullptr, false, "File1"},
        {Command::Exit, "Exit1", "終了(&X)", {}, QStyle::SP_DialogCloseButton, true, "プログラムを終了します", false,
         "File1", "N2", "SpeedButton6"},
        {Command::EditMode, "E1", "編集モード'(&E)", {}, {}, true, nullptr, true, "Edit1"},
        {Command::DataInfo, "P1", "データプロパティ(&D)", {}, QStyle::SP_FileDialogInfoView, true,
         "データ情報を表示します", false, "Show1", nullptr, "SpeedButton9"},
        {Command::NextHit, "N6", "検索結果次表示(&N)", K{Key(Qt::Key_F3)}, QStyle::SP_MediaSeekForward, false,
         "検索したデータの次のレコードを表示します", false, "Show1", "N4", "NextBtn"},
        {Command::PreviousHit, "P2", "検索結果前表示(&P)", K{Key(Qt::SHIFT | Qt::Key_F3)}, QStyle::SP_MediaSeekBackward,
         false, "検索したデータの前のレコードを表示します", false, "Show1", nullptr, "ForwardBtn"},
        {Command::NextRecord, "F1", "次のデータ表示(&F)", K{Key(Qt::CTRL | Qt::Key_F)}, QStyle::SP_ArrowForward, true,
         "次のレコードを表示します", false, "Show1", "N5", "SpeedButton4"},
        {Command::PreviousRecord, "B1", "前のデータ表示(&B)", K{Key(Qt::CTRL | Qt::Key_P)}, QStyle::SP_ArrowBack, true,
         "前のレコードを表示します", false, "Show1", nullptr, "SpeedButton3"},
        {Command::FirstRecord, "T1", "最初のデータ表示(&T)", K{Key(Qt::CTRL | Qt::Key_T)}, QStyle::SP_MediaSkipBackward,
         true, nullptr, false, "Show1"},
        {Command::LastRecord, "L1", "最後のデータ表示(&L)", K{Key(Qt::CTRL | Qt::Key_L)}, QStyle::SP_MediaSkipForward,
         true, nullptr, false, "Show1"},
        {Command::HistoryBack, "HistoryBack1", "戻る(&R)", K{Key(Qt::ALT | Qt::Key_Left)}, {}, true,
         "前に見たレコードに戻ります", false, "Show1", "N11", "HistoryBackBtn"},
        {Command::HistoryForward, "HistoryForward1", "進む(&G)", K{Key(Qt::ALT | Qt::Key_Right)}, {},
         true, "戻る前に見ていたレコードに進みます", false, "Show1", nullptr, "HistoryForwardBtn"},
        {Command::HistoryList, "History1", "履歴(&H)...", {}, {}, true, nullptr, false, "Show1"},
        {Command::WordListed, "WordListed1", "単語帳に登録(&E)", K{Key(Qt::CTRL | Qt::Key_D)}, {}, true,
         "表示中のレコードを単語帳に登録します（もう一度で外します）", true, "Show1", "N12", "WordListedBtn"},
        {Command::WordList, "WordList1", "単語帳(&W)...", {}, {}, true, nullptr, false, "Show1"},
        {Command::CompactLayout, "S1", "フォームサイズ切り替え(&S)", {}, QStyle::SP_TitleBarNormalButton, true,
         "フォームを最小と切り替えます", false, "Show1", "N7", "SpeedButton7"},
        {Command::Options, "O1", "オプション設定(&O)", {}, {}, true, nullptr, false, "Show1"},
        {Command::ClipboardLookup, "ClipboardLookup1", "クリップボードを検索(&C)", {}, {}, true, nullptr, true, "Show1",
         "N8"},
        {Command::ZoomIn, "ZoomIn1", "拡大(&I)", K{Key(Qt::CTRL | Qt::Key_Plus), Key(Qt::CTRL | Qt::Key_Equal)}, {}, true,
         nullptr, false, "Zoom1"},
        {Command::ZoomOut, "ZoomOut1", "縮小(&O)", K{Key(Qt::CTRL | Qt::Key_Minus)}, {}, true, nullptr, false, "Zoom1"},
        {Command::ZoomReset, "ZoomReset1", "標準のサイズ(&R)", K{Key(Qt::CTRL | Qt::Key_0)}, {}, true, nullptr, false,
         "Zoom1"},
        {Command::Guide, "U1", "使用説明(&U)", {}, QStyle::SP_DialogHelpButton, true, "使用方法を表示します", false,
         "Help1", nullptr, "SpeedButton5"},
        {Command::Version, "V1", "バージョン表示(&V)", {}, QStyle::SP_MessageBoxInformation, true, nullptr, false,
         "Help1"},
        {Command::SearchBox, "SearchBox1", "検索文字列", K{Key(Qt::CTRL | Qt::Key_K)}, {}, true, nullptr, false, nullptr,
         nullptr, nullptr},
        {Command::Search, "SearchNow1", "検索", K{Key(Qt::CTRL | Qt::Key_Return), Key(Qt::CTRL | Qt::Key_Enter)},
         QStyle::SP_FileDialogContentsView, true, "全文検索を実行します", false, nullptr, nullptr, "SpeedButton1"},
    };
    return table;
}

Actions::Actions(QWidget* owner) {
    for (const CommandSpec& spec : CommandTable()) {
        auto* action = new QAction(QString::fromUtf8(spec.text), owner);
        action->setObjectName(QString::fromLatin1(spec.objectName));
        action->setShortcuts(spec.keys);
        if (spec.icon) action->setIcon(owner->style()->standardIcon(*spec.icon));
        if (!spec.iconInMenu) action->setIconVisibleInMenu(false);  // else as the desktop has it
        if (spec.toolTip) action->setToolTip(QString::fromUtf8(spec.toolTip));
        action->setCheckable(spec.checkable);
        // A key without a menu item works anywhere in the window.
        if (!spec.menu && !spec.keys.isEmpty()) owner->addAction(action);
        actions_[static_cast<std::size_t>(spec.command)] = action;
    }
}

void Actions::SetMenuKeysActive(bool active) {
    for (const CommandSpec& spec : CommandTable())
        if (spec.menu) (*this)[spec.command]->setShortcuts(active ? spec.keys : QList<QKeySequence>());
}
