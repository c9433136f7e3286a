#pragma once
// Every command of the main window as one QAction, built here from one table: its
// text with its & key, its keys, its icon, its tool tip, where it stands in the menus
// and which tool button shows it. The menu item, the tool button and the keys share
// the action, so a command is connected once and looks the same everywhere.

#include <QKeySequence>
#include <QList>
#include <QStyle>

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

class QAction;
class QWidget;

enum class Command {
    Open,             // ファイル → 開く
    SaveAs,           // ファイル → 名前を付けて保存
    Repair,           // ファイル → 辞書データ修復
    Print,            // ファイル → 表示データ印刷
    ExportWordList,   // ファイル → 単語帳を書き出す
    ImportWordList,   // ファイル → 単語帳を読み込む
    Exit,             // ファイル → 終了, and its tool button
    EditMode,         // 編集 → 編集モード (checked while on)
    DataInfo,         // 表示 → データプロパティ, and the データ情報 tool button
    NextHit,          // 表示 → 検索結果次表示 (F3), ▶
    PreviousHit,      // 表示 → 検索結果前表示 (Shift+F3), ◀
    NextRecord,       // 表示 → 次のデータ表示 (Ctrl+F), and its tool button
    PreviousRecord,   // 表示 → 前のデータ表示 (Ctrl+P), and its tool button
    FirstRecord,      // 表示 → 最初のデータ表示 (Ctrl+T)
    LastRecord,       // 表示 → 最後のデータ表示 (Ctrl+L)
    HistoryBack,      // 表示 → 戻る (Alt+Left), and its tool button: back in the history
    HistoryForward,   // 表示 → 進む (Alt+Right), and its tool button
    HistoryList,      // 表示 → 履歴: the history's list
    WordListed,       // 表示 → 単語帳に登録 (Ctrl+D, checked while the record shown is listed), and its tool button
    WordList,         // 表示 → 単語帳: the word list's window
    CompactLayout,    // 表示 → フォームサイズ切り替え, and its tool button
    Options,          // 表示 → オプション設定
    ClipboardLookup,  // 表示 → クリップボードを検索 (checked while on)
    ZoomIn,           // 表示 → ズーム → 拡大 (Ctrl++)
    ZoomOut,          // 表示 → ズーム → 縮小 (Ctrl+-)
    ZoomReset,        // 表示 → ズーム → 標準のサイズ (Ctrl+0)
    Guide,            // ヘルプ → 使用説明, and its tool button
    Version,          // ヘルプ → バージョン表示
    SearchBox,        // Ctrl+K anywhere in the window: the search box
    Search,           // 検索 beside the search box, and Ctrl+Return inside it
};
inline constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::Search) + 1;

// One line of the table. The object names are the program's established names, each
// short one (P1, N6, F1...) explained by its command's comment above.
struct CommandSpec {
    Command command;
    const char* objectName;
    const char* text;                 // with its & key
    QList<QKeySequence> keys;
    std::optional<QStyle::StandardPixmap> icon;
    bool iconInMenu = true;           // false: the icon shows on the tool button only
    const char* toolTip = nullptr;    // the tool button's hint; nullptr: the text
    bool checkable = false;
    const char* menu = nullptr;       // the object name of the menu it stands in; nullptr: none
    const char* separatorBefore = nullptr;  // the object name of a separator above it in that menu
    const char* toolButton = nullptr;       // the object name of the tool button it shows on
};

// Every command, in menu order.
const std::vector<CommandSpec>& CommandTable();

class Actions {
public:
    // Builds every action as a child of `owner`, and adds the ones with keys and no
    // menu to it, so their keys work anywhere in the window.
    explicit Actions(QWidget* owner);
    QAction* operator[](Command command) const { return actions_[static_cast<std::size_t>(command)]; }
    // The compact layout has no menu bar, and the menus' keys go with it, also for the
    // commands whose tool buttons stay on screen; back in the full layout they return.
    void SetMenuKeysActive(bool active);

private:
    std::array<QAction*, kCommandCount> actions_{};
};
