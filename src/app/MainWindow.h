#pragma once
// The main window, a thin shell over the session: it builds the controls and one
// action per command, and its handlers read the controls, ask the session and apply
// the outcome. Two controllers stand apart: RecordNavigator (the record and hit steps)
// and ZoomController. The other handlers are defined a file per subsystem here:
// DictionaryCommands, SearchCommands, RecordCommands, SettingsCommands,
// DialogCommands, EditCommands, RepairCommands, LookupCommands and CompactLayout; the
// window's parts are built in MainWindowLayout and MainWindowMenus.

#include "app/MainWindowUi.h"
#include "common/FileLocations.h"
#include "common/InstanceRequest.h"
#include "common/StatusPanel.h"
#include "dictionary/RecordLine.h"
#include "session/DictionarySession.h"

#include <QMainWindow>

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>

class Actions;
class RecordNavigator;
class ZoomController;
class QAction;
class TEditorEx;
enum class Command;
class QChar;
class QRadioButton;
class QTimer;
class ClipboardWatch;
class CompletionPopup;
class DataFilePreload;
class UserDatabase;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // --- what the program's start needs ---
    // A data file named when the program was started, opened instead of the last one.
    void OpenAtStart(const QString& path);
    // The data file read ahead at start-up, for the first load to take; let go once shown.
    void AdoptPreload(std::unique_ptr<DataFilePreload> preload);
    // A later start's request (or this start's own --search), run once no dialog is
    // open and no command is under way.
    void HandleRequest(const InstanceRequest& request);

    // --- the seam the widget tests use besides the controls, which they find by name ---
    // The dictionary, the search and the values the settings give: every command's state.
    DictionarySession& Session() { return session_; }
    // Where the settings, the state, kept edits, the guide and the sample are.
    FileLocations& Files() { return files_; }
    // How the open and save commands ask for a file: the file dialogs, unless a test
    // answers instead.
    struct FileChoosers {
        std::function<QString(const QString& proposedPath)> open;
        std::function<QString(const QString& proposedPath)> save;
        // The word list's export (a file name ending in .csv asks for CSV) and import.
        std::function<QString(const QString& proposedPath)> exportWordList;
        std::function<QString(const QString& proposedPath)> importWordList;
    };
    FileChoosers& FileDialogs() { return fileDialogs_; }
    // The settings file read again, as at start-up.
    void LoadSettings();
    // Reads a data file into the session and the views, as opening it does, without the
    // questions and without showing a record.
    void LoadDictionary(const QString& path);
    // Shows line `n` of the full text on the record page, as a record step along the
    // file does (no history step).
    void ShowRecord(std::int64_t n, bool markKeys);
    // The database of the history and the word list, opened at the first load; none
    // before, or when it could not be made at all.
    UserDatabase* Store() const { return store_.get(); }
    // Moves a text already in the history (whatever its letter case) to the top in its
    // new spelling and selects it; puts a new one on top without changing the selection.
    void AddToHistory(const QString& text);
    // A later start's --search: the text into the box, the search run as 検索 runs it,
    // the window to the front.
    void SearchFor(const QString& text);
    // A later start's --lookup and the clipboard: the record whose headword the text
    // names or is an inflection of, else a page of suggestions, else the search as
    // 検索 runs it; the text into the box and the window to the front.
    void LookUpHeadword(const QString& text);
    // The caption for `path`, shortened to the window's width.
    void UpdateCaption(const QString& path);
    // The record page's zoom and the text views' (also Ctrl+wheel over each).
    void SetPageZoom(int percent);
    void SetTextZoom(int percent);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // --- building the window ---
    void CreateToolBarPanel();
    void CreateSearchConditionPanel();
    void CreateIndexPane();
    void CreatePages();
    void CreateStatusBar();
    void CreateMenus();
    void ConnectCommands();
    QAction* Act(Command command) const;

    // --- window-level events and commands ---
    void FormCreate();
    void FormShow();
    // Closing always goes ahead; the settings are saved first, and an error in saving
    // them is reported without keeping the window open (on a termination, to stderr).
    void FormCloseQuery();
    void ToggleCompact();  // 表示 → フォームサイズ切り替え, SpeedButton7
    bool Splitter1CanResize(int newWidth) const;
    void Splitter1Moved();
    void OnAppException(const std::exception& error);
    void Exit1Click();  // ファイル → 終了, SpeedButton6

    // --- settings ---
    void SaveSettings();
    void MakeSettingsFolder();
    void LoadIgnoredWords();  // the ignored words of the settings file

    // --- dialogs ---
    void O1Click();            // 表示 → オプション設定
    void SpeedButton9Click();  // the tool bar's データ情報 button and 表示 → データプロパティ
    void V1Click();            // ヘルプ → バージョン表示

    // --- dictionary ---
    void Open1Click();  // ファイル → 開く
    // What ファイル → 開く does once a file is chosen: asks about unsaved edits, then loads it.
    void OpenDataFile(const QString& path);
    void R1Click();  // ファイル → 辞書データ修復
    // Runs OpenDialog1 with a proposed file; the chosen path, or empty on cancel.
    QString RunOpenDialog(const QString& proposedPath);

    // --- edit mode and saving ---
    void E1Click();  // 編集 → 編集モード
    // The user is about to leave page `from` for page `to`; false keeps `from`.
    bool PageControl1Changing(int from, int to);
    void SaveAs1Click();  // ファイル → 名前を付けて保存
    // Before the full text is replaced or the program closes: when edit mode is on and
    // the text was changed, asks whether to save it. False when the user cancels or the
    // save does not happen, and the caller then stops.
    bool ResolveUnsavedEdits();
    // Asks whether to save the edits into the data file and saves them on Yes, then
    // reloads the file when `reloadAfterSaving` (a failed reload is reported, the edits
    // being safe in the file). False on Cancel or when the save did not happen.
    bool OfferToSaveEdits(bool reloadAfterSaving);
    // Writes the full text to `path`, first asking when that would drop bytes a NUL
    // byte kept out of the read it came from; an error is reported. Whether it was written.
    bool SaveFullText(const QString& path);
    // A termination asks nothing: unsaved edits (edit mode on or off) are kept in the
    // kept-edits folder, else in the state folder, else nowhere (said on stderr), for
    // the program must end.
    void KeepUnsavedEditsForRecovery();
    // After a data file is opened: when edits of it were kept, says so and offers to
    // open them; Yes puts them into the text page as edits not yet saved.
    void OfferKeptEdits();
    QStringList KeptEditsFolders() const;
    // The kept edits the view holds are done with once saved into the data file or
    // dropped at the user's word.
    void ForgetKeptEditsInView();
    // Runs SaveDialog1 with a proposed file; the chosen path, or empty on cancel.
    QString RunSaveDialog(const QString& proposedPath);

    // --- search ---
    void SpeedButton1Click();  // the search button (検索) beside the search box
    // Return in the search box records its text in the history; it starts no search.
    void cmbSubStrKeyPress(QChar key);
    // The fields the search looks in, as the scope radio buttons show them.
    RecordField SelectedScope() const;
    void SelectScope(RecordField scope);
    std::array<QRadioButton*, 4> ScopeButtons() const;
    void BringToFront();
    void RunPendingRequest();
    void ClipboardLookup1Click();  // 表示 → クリップボードを検索 (a check item)
    void SearchBox1Click();        // Ctrl+K: the search box, its text selected
    // A link on the page of suggestions: that headword's record, when the page is of
    // the dictionary as it is loaded now.
    void RecordLinkClicked(std::uint64_t load, std::int64_t row);
    // The record of the headword on row `row` of the headword index, its caret there.
    void ShowHeadwordRow(std::int64_t row, StepReach reach);
    // The completion list closed, its rows forgotten: before a load, a search or a
    // lookup makes them stale.
    void HideCompletions();
    // The completion list follows what the user types into the search box; a row chosen
    // shows its record and leaves the box as it is.
    void SearchBoxEdited(const QString& text);
    void CompletionChosen(int row);
    // The clipboard watched while, and only while, the lookup is on (the setting loaded,
    // the item checked, the window open).
    void FollowClipboardLookup();
    // A new clipboard text, as the watch hands it over: searched when it was copied
    // elsewhere while the window is inactive, and new.
    void ClipboardTextCopied(const QString& text, bool ownCopy);

    // --- the usage guide, printing, the full text ---
    void U1Click();         // ヘルプ → 使用説明, SpeedButton5
    void Print1Click();     // ファイル → 表示データ印刷
    void EditorEx1Click();  // a click in the full text: the caret's place in the status bar

    // --- the history and the word list ---
    // Opens the database once, before the first load reads its history; what went wrong
    // with it is said in panel 2.
    void OpenStore();
    // Closes it at the end: whatever it still holds is written first.
    void CloseStore();
    void ShowStoreNotice();
    // The record of `step` on the page, its history step taken as the step says.
    void ShowStep(const RecordStep& step);
    // The page shows something else than a record: nothing to add to the word list.
    void RecordPageLeft();
    // The back and forward buttons, the word list's check, the lists open: as the record shown has them.
    void FollowShownRecord();
    void HistoryBack1Click();     // 表示 → 戻る, Alt+Left, the mouse's back button
    void HistoryForward1Click();  // 表示 → 進む, Alt+Right, the mouse's forward button
    void MoveInHistory(std::optional<HistoryMove> (DictionarySession::*move)());
    void History1Click();         // 表示 → 履歴
    void WordListed1Click();      // 表示 → 単語帳に登録, Ctrl+D
    void WordList1Click();        // 表示 → 単語帳
    void ExportWordList1Click();  // ファイル → 単語帳を書き出す
    void ImportWordList1Click();  // ファイル → 単語帳を読み込む
    void HistoryStepChosen(const HistoryStep& step);
    void WordEntryChosen(const WordEntry& entry);
    QString RunWordListDialog(bool save, const QString& proposedPath);

    // --- status bar ---
    void SetStatusText(StatusPanel panel, const QString& text);

    DictionarySession session_;  // before the controls are built: the views attach to its lines
    FileLocations files_;
    FileChoosers fileDialogs_;
    MainWindowUi ui_;
    std::unique_ptr<Actions> actions_;  // one per command, shared by menu item, tool button and key
    std::unique_ptr<RecordNavigator> navigator_;  // the record and hit steps, the index lists
    ZoomController* zoom_ = nullptr;              // the page's and the text views' zoom
    bool compact_ = false;              // the compact layout: no index, no menu, no status bar
    int normalWidth_ = 0;               // the full layout's size, kept while the window is compact
    int normalHeight_ = 0;
    // Panel 2 tells what was wrong with a file read, until anything else is said there;
    // a sound load then takes it back.
    bool messageIsLoadNotice_ = false;

    std::deque<InstanceRequest> pendingRequests_;  // run one at a time, in order of arrival
    QTimer* requestTimer_ = nullptr;               // runs them, or looks again while busy
    QString lastClipboardText_;                    // a clipboard text counts once
    QString keptEditsInView_;  // the kept edits' file the full-text view was filled from, until resolved
    ClipboardWatch* clipboardWatch_ = nullptr;     // on while the lookup is
    CompletionPopup* completion_ = nullptr;        // under the search box while it offers headwords
    std::vector<CompletionItem> completionItems_;  // what its rows stand for

    bool shown_ = false;                        // FormShow runs once, at the first show
    QString fileNamedAtStart_;                  // opened by FormShow instead of the data file
    std::unique_ptr<DataFilePreload> preload_;  // the start-up's read-ahead, until shown
    std::unique_ptr<UserDatabase> store_;       // the history and the word list; the session uses it
};
