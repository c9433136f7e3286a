// The command map: every menu item and button, and the handler it runs.
#include "app/MainWindow.h"

#include "app/ClipboardWatch.h"
#include "app/PageChangeGuard.h"
#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "textview/TypeToFind.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

namespace {

QAction* Item(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut = {},
              const QIcon& icon = {}) {
    QAction* action = menu->addAction(icon, caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

void Separator(QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); }

QMenu* Menu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    return menu;
}

}  // namespace

void TForm1::CreateMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = Menu(bar, "File1", QStringLiteral("ファイル(&F)"));
    Open1 = Item(File1, "Open1", QStringLiteral("開く(&O)"), {}, style()->standardIcon(QStyle::SP_DialogOpenButton));
    SaveAs1 = Item(File1, "SaveAs1", QStringLiteral("名前を付けて保存(&A)"), {},
                   style()->standardIcon(QStyle::SP_DialogSaveButton));
    Separator(File1, "N1");
    R1 = Item(File1, "R1", QStringLiteral("辞書データ修復(&R)"));
    Separator(File1, "N3");
    Print1 = Item(File1, "Print1", QStringLiteral("表示データ印刷(&P)"));
    Separator(File1, "N2");
    Exit1 = Item(File1, "Exit1", QStringLiteral("終了(&X)"), {}, style()->standardIcon(QStyle::SP_DialogCloseButton));

    Edit1 = Menu(bar, "Edit1", QStringLiteral("編集(&E)"));
    E1 = Item(Edit1, "E1", QStringLiteral("編集モード'(&E)"));
    E1->setCheckable(true);

    Show1 = Menu(bar, "Show1", QStringLiteral("表示(&V)"));
    P1 = Item(Show1, "P1", QStringLiteral("データプロパティ(&D)"), {},
              style()->standardIcon(QStyle::SP_FileDialogInfoView));
    Separator(Show1, "N4");
    N6 = Item(Show1, "N6", QStringLiteral("検索結果次表示(&N)"), QKeySequence(Qt::Key_F3));
    P2 = Item(Show1, "P2", QStringLiteral("検索結果前表示(&P)"), QKeySequence(Qt::SHIFT | Qt::Key_F3));
    Separator(Show1, "N5");
    F1 = Item(Show1, "F1", QStringLiteral("次のデータ表示(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F),
              style()->standardIcon(QStyle::SP_ArrowForward));
    B1 = Item(Show1, "B1", QStringLiteral("前のデータ表示(&B)"), QKeySequence(Qt::CTRL | Qt::Key_P),
              style()->standardIcon(QStyle::SP_ArrowBack));
    T1 = Item(Show1, "T1", QStringLiteral("最初のデータ表示(&T)"), QKeySequence(Qt::CTRL | Qt::Key_T),
              style()->standardIcon(QStyle::SP_MediaSkipBackward));
    L1 = Item(Show1, "L1", QStringLiteral("最後のデータ表示(&L)"), QKeySequence(Qt::CTRL | Qt::Key_L),
              style()->standardIcon(QStyle::SP_MediaSkipForward));
    Separator(Show1, "N7");
    S1 = Item(Show1, "S1", QStringLiteral("フォームサイズ切り替え(&S)"), {},
              style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    O1 = Item(Show1, "O1", QStringLiteral("オプション設定(&O)"));
    Separator(Show1, "N8");
    ClipboardLookup1 = Item(Show1, "ClipboardLookup1", QStringLiteral("クリップボードを検索(&C)"));
    ClipboardLookup1->setCheckable(true);

    // Two keys without a menu item: Ctrl+K reaches the search box from anywhere in the
    // window, and Ctrl+Return searches from inside it, where Return keeps the history.
    SearchBox1 = new QAction(QStringLiteral("検索文字列"), this);
    SearchBox1->setObjectName(QStringLiteral("SearchBox1"));
    SearchBox1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    addAction(SearchBox1);
    SearchNow1 = new QAction(QStringLiteral("検索"), this);
    SearchNow1->setObjectName(QStringLiteral("SearchNow1"));
    SearchNow1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    SearchNow1->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    cmbSubStr->addAction(SearchNow1);

    Help1 = Menu(bar, "Help1", QStringLiteral("ヘルプ(&H)"));
    U1 = Item(Help1, "U1", QStringLiteral("使用説明(&U)"), {}, style()->standardIcon(QStyle::SP_DialogHelpButton));
    V1 = Item(Help1, "V1", QStringLiteral("バージョン表示(&V)"), {},
              style()->standardIcon(QStyle::SP_MessageBoxInformation));
}

// Every handler runs guarded: its error is reported, and Qt's frames never see it.
void TForm1::ConnectCommands() {
    connect(Open1, &QAction::triggered, this, Guarded(this, &TForm1::Open1Click));
    connect(SaveAs1, &QAction::triggered, this, Guarded(this, &TForm1::SaveAs1Click));
    connect(R1, &QAction::triggered, this, Guarded(this, &TForm1::R1Click));
    connect(E1, &QAction::triggered, this, Guarded(this, &TForm1::E1Click));
    // A question that fails keeps the page on view: nothing is left unsaved behind it.
    new PageChangeGuard(PageControl1,
                        [this](int from, int to) { return RunGuarded(false, [&] { return PageControl1Changing(from, to); }); });
    connect(Exit1, &QAction::triggered, this, Guarded(this, &TForm1::Exit1Click));
    connect(SpeedButton6, &QToolButton::clicked, this, Guarded(this, &TForm1::Exit1Click));
    connect(U1, &QAction::triggered, this, Guarded(this, &TForm1::U1Click));
    connect(SpeedButton5, &QToolButton::clicked, this, Guarded(this, &TForm1::U1Click));
    connect(Print1, &QAction::triggered, this, Guarded(this, &TForm1::Print1Click));
    connect(S1, &QAction::triggered, this, Guarded(this, &TForm1::ToggleCompact));
    connect(O1, &QAction::triggered, this, Guarded(this, &TForm1::O1Click));
    connect(P1, &QAction::triggered, this, Guarded(this, &TForm1::P1Click));
    connect(SpeedButton9, &QToolButton::clicked, this, Guarded(this, &TForm1::SpeedButton9Click));
    connect(V1, &QAction::triggered, this, Guarded(this, &TForm1::V1Click));
    connect(SpeedButton7, &QToolButton::clicked, this, Guarded(this, &TForm1::ToggleCompact));

    connect(F1, &QAction::triggered, this, Guarded(this, &TForm1::ShowNextRecord));
    connect(SpeedButton4, &QToolButton::clicked, this, Guarded(this, &TForm1::ShowNextRecord));
    connect(B1, &QAction::triggered, this, Guarded(this, &TForm1::ShowPreviousRecord));
    connect(SpeedButton3, &QToolButton::clicked, this, Guarded(this, &TForm1::ShowPreviousRecord));
    connect(T1, &QAction::triggered, this, Guarded(this, &TForm1::ShowFirstRecord));
    connect(L1, &QAction::triggered, this, Guarded(this, &TForm1::ShowLastRecord));

    connect(SpeedButton1, &QToolButton::clicked, this, Guarded(this, &TForm1::SpeedButton1Click));
    connect(cmbSubStr->lineEdit(), &QLineEdit::returnPressed, this, Guarded([this] { cmbSubStrKeyPress(QChar(13)); }));
    connect(SearchNow1, &QAction::triggered, this, Guarded(this, &TForm1::SpeedButton1Click));
    connect(SearchBox1, &QAction::triggered, this, Guarded(this, &TForm1::SearchBox1Click));
    connect(ClipboardLookup1, &QAction::triggered, this, Guarded(this, &TForm1::ClipboardLookup1Click));
    // Off until the settings or the item turn it on (FollowClipboardLookup).
    clipboardWatch_ = new ClipboardWatch(
        [this] { return Desktop.clipboardLookup && !isActiveWindow(); },
        [this](const QString& text, bool ownCopy) { ClipboardTextCopied(text, ownCopy); }, this);

    connect(N6, &QAction::triggered, this, Guarded(this, &TForm1::NextBtnClick));
    connect(NextBtn, &QToolButton::clicked, this, Guarded(this, &TForm1::NextBtnClick));
    connect(P2, &QAction::triggered, this, Guarded(this, &TForm1::ForwardBtnClick));
    connect(ForwardBtn, &QToolButton::clicked, this, Guarded(this, &TForm1::ForwardBtnClick));
    connect(SpeedButton2, &QToolButton::clicked, this, Guarded(this, &TForm1::SpeedButton2Click));
    connect(EditorEx3, &TEditorEx::OnClick, this, Guarded(this, &TForm1::EditorEx3Click));

    connect(EditorEx1, &TEditorEx::OnClick, this, Guarded(this, &TForm1::EditorEx1Click));
    connect(EditorEx2, &TEditorEx::OnClick, this, Guarded(this, &TForm1::EditorEx2Click));
    // Return on a row of either index does what a click on it does.
    connect(EditorEx2, &TEditorEx::OnReturnKey, this, Guarded(this, &TForm1::EditorEx2Click));
    connect(EditorEx3, &TEditorEx::OnReturnKey, this, Guarded(this, &TForm1::EditorEx3Click));
    // A headword found by typing its first letters is shown as a click on it would be.
    connect(new TypeToFind(EditorEx2), &TypeToFind::Found, this, Guarded(this, &TForm1::EditorEx2Click));
}
