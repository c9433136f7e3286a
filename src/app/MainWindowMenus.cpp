// The menus from the command table, and the one connection of every command to its handler.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/ClipboardWatch.h"
#include "app/CompletionPopup.h"
#include "app/HistoryMouseButtons.h"
#include "app/PageChangeGuard.h"
#include "app/RecordNavigator.h"
#include "app/ZoomController.h"
#include "browser/BrowserView.h"
#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "textview/TypeToFind.h"
#include "ui/ToolIcons.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {

QMenu* Menu(QMenu* parent, QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = parent ? parent->addMenu(caption) : bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    return menu;
}

}  // namespace

QAction* TForm1::Act(Command command) const { return (*actions_)[command]; }

void TForm1::CreateMenus() {
    actions_ = std::make_unique<Actions>(this);
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    Menu(nullptr, bar, "File1", QStringLiteral("ファイル(&F)"));
    Menu(nullptr, bar, "Edit1", QStringLiteral("編集(&E)"));
    QMenu* show = Menu(nullptr, bar, "Show1", QStringLiteral("表示(&V)"));
    Menu(nullptr, bar, "Help1", QStringLiteral("ヘルプ(&H)"));
    for (const CommandSpec& spec : CommandTable()) {
        if (!spec.menu) continue;
        QMenu* menu = findChild<QMenu*>(QString::fromLatin1(spec.menu));
        if (!menu && QLatin1String(spec.menu) == QLatin1String("Zoom1")) {
            // The zoom submenu stands where its first item does, after a separator of its own.
            show->addSeparator()->setObjectName(QStringLiteral("N9"));
            menu = Menu(show, bar, "Zoom1", QStringLiteral("ズーム(&Z)"));
        }
        if (spec.separatorBefore) menu->addSeparator()->setObjectName(QString::fromLatin1(spec.separatorBefore));
        menu->addAction(Act(spec.command));
    }

    Act(Command::WordListed)->setIcon(StarIcon());
    Act(Command::HistoryBack)->setIcon(HistoryArrowIcon(false));
    Act(Command::HistoryForward)->setIcon(HistoryArrowIcon(true));

    // Ctrl+Return searches from inside the search box, where Return keeps the history.
    QAction* search = Act(Command::Search);
    removeAction(search);
    search->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    ui_.cmbSubStr->addAction(search);

    // Each tool button shows its command's action: its icon, its hint, its keys.
    for (const CommandSpec& spec : CommandTable()) {
        if (!spec.toolButton) continue;
        auto* button = findChild<QToolButton*>(QString::fromLatin1(spec.toolButton));
        button->setDefaultAction(Act(spec.command));
        button->setAccessibleDescription(button->toolTip());
    }

}

// Every handler runs guarded: its error is reported, and Qt's frames never see it.
void TForm1::ConnectCommands() {
    const auto on = [this](Command command, auto handler) {
        connect(Act(command), &QAction::triggered, this, Guarded(this, handler));
    };
    on(Command::Open, &TForm1::Open1Click);
    on(Command::SaveAs, &TForm1::SaveAs1Click);
    on(Command::Repair, &TForm1::R1Click);
    on(Command::Print, &TForm1::Print1Click);
    on(Command::ExportWordList, &TForm1::ExportWordList1Click);
    on(Command::ImportWordList, &TForm1::ImportWordList1Click);
    on(Command::Exit, &TForm1::Exit1Click);
    on(Command::EditMode, &TForm1::E1Click);
    on(Command::DataInfo, &TForm1::SpeedButton9Click);
    RecordNavigator* records = navigator_.get();
    const auto step = [&](Command command, void (RecordNavigator::*move)()) {
        connect(Act(command), &QAction::triggered, this, Guarded([records, move] { (records->*move)(); }));
    };
    step(Command::NextHit, &RecordNavigator::NextHit);
    step(Command::PreviousHit, &RecordNavigator::PreviousHit);
    step(Command::NextRecord, &RecordNavigator::NextRecord);
    step(Command::PreviousRecord, &RecordNavigator::PreviousRecord);
    step(Command::FirstRecord, &RecordNavigator::FirstRecord);
    step(Command::LastRecord, &RecordNavigator::LastRecord);
    on(Command::HistoryBack, &TForm1::HistoryBack1Click);
    on(Command::HistoryForward, &TForm1::HistoryForward1Click);
    on(Command::HistoryList, &TForm1::History1Click);
    on(Command::WordListed, &TForm1::WordListed1Click);
    on(Command::WordList, &TForm1::WordList1Click);
    new HistoryMouseButtons(this, Act(Command::HistoryBack), Act(Command::HistoryForward));
    on(Command::CompactLayout, &TForm1::ToggleCompact);
    on(Command::Options, &TForm1::O1Click);
    on(Command::ClipboardLookup, &TForm1::ClipboardLookup1Click);
    on(Command::Guide, &TForm1::U1Click);
    on(Command::Version, &TForm1::V1Click);
    on(Command::SearchBox, &TForm1::SearchBox1Click);
    on(Command::Search, &TForm1::SpeedButton1Click);
    ZoomController* zoom = zoom_;
    connect(Act(Command::ZoomIn), &QAction::triggered, this, Guarded([zoom] { zoom->Step(1); }));
    connect(Act(Command::ZoomOut), &QAction::triggered, this, Guarded([zoom] { zoom->Step(-1); }));
    connect(Act(Command::ZoomReset), &QAction::triggered, this, Guarded([zoom] { zoom->Step(0); }));

    // A question that fails keeps the page on view: nothing is left unsaved behind it.
    new PageChangeGuard(ui_.PageControl1,
                        [this](int from, int to) { return RunGuarded(false, [&] { return PageControl1Changing(from, to); }); });
    connect(ui_.cmbSubStr->lineEdit(), &QLineEdit::returnPressed, this, Guarded([this] { cmbSubStrKeyPress(QChar(13)); }));
    // Only what the user types opens the list, not a text put into the box.
    completion_ = new CompletionPopup(ui_.cmbSubStr, QStringLiteral("見出し語の候補"));
    connect(ui_.cmbSubStr->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { RunGuarded([&] { SearchBoxEdited(text); }); });
    connect(completion_, &CompletionPopup::Chosen, this, [this](int row) { RunGuarded([&] { CompletionChosen(row); }); });
    // Queued: the engine asks about the click inside its own navigation, where no new
    // page can be waited for.
    connect(ui_.WebBrowser1, &BrowserView::RecordLinkClicked, this,
            [this](quint64 load, qint64 row) { RunGuarded([&] { RecordLinkClicked(load, row); }); },
            Qt::QueuedConnection);
    // Off until the settings or the item turn it on (FollowClipboardLookup).
    clipboardWatch_ = new ClipboardWatch(
        [this] { return session_.Desktop().clipboardLookup && !isActiveWindow(); },
        [this](const QString& text, bool ownCopy) { ClipboardTextCopied(text, ownCopy); }, this);

    connect(ui_.SpeedButton2, &QToolButton::clicked, this, Guarded([records] { records->SwitchList(); }));
    connect(ui_.EditorEx1, &TEditorEx::OnClick, this, Guarded(this, &TForm1::EditorEx1Click));
    // A click or Return on a row of either index shows its record; so does a headword
    // found by typing its first letters.
    const auto chooseHeadword = Guarded([records] { records->ChooseHeadword(); });
    const auto chooseResult = Guarded([records] { records->ChooseResult(); });
    connect(ui_.EditorEx2, &TEditorEx::OnClick, this, chooseHeadword);
    connect(ui_.EditorEx2, &TEditorEx::OnReturnKey, this, chooseHeadword);
    connect(new TypeToFind(ui_.EditorEx2), &TypeToFind::Found, this, chooseHeadword);
    connect(ui_.EditorEx3, &TEditorEx::OnClick, this, chooseResult);
    connect(ui_.EditorEx3, &TEditorEx::OnReturnKey, this, chooseResult);
}
