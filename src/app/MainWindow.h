#pragma once
// The main window: it owns every piece of program state, and its handlers read the
// controls, call the core and apply the outcome. The handlers of each subsystem are
// defined in a file of their own here: DictionaryCommands, SearchCommands,
// RecordCommands, SettingsCommands, DialogCommands, EditCommands, RepairCommands and
// LookupCommands; the window's parts are built in MainWindowLayout and MainWindowMenus.

#include "common/InstanceRequest.h"
#include "common/StatusPanel.h"
#include "dictionary/RecordLine.h"
#include "session/DictionarySession.h"

#include <QFont>
#include <QMainWindow>

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Actions;
class QAction;
class QChar;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTimer;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QVBoxLayout;
class TEditorEx;
class TSplitter;
class BrowserView;
class ClipboardWatch;
class TfrmInfomation;
class TfrmOption;
class TfrmVersion;
class DataFilePreload;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // --- program state ---
    QString IniFileName;     // the settings file: next to the executable, or the user's own
    QString SettingsFolderToCreate;  // the user's configuration folder, made at the first save
    QString StateFolder;       // the user's own state folder, private to the user
    QString KeptEditsFolder;   // where a logout keeps unsaved edits: the state folder, or beside the settings
    QString HelpFileName;    // the usage guide: next to the executable, or in share/quillordic
    QString SampleFileName;  // the sample dictionary the open dialog proposes
    // The dictionary, the search and the values the settings give: every command's state.
    DictionarySession& Session() { return session_; }

    // --- window-level events and commands ---
    void FormCreate();
    void FormShow();
    // Closing always goes ahead; the settings are saved first, and an error in saving
    // them is reported without keeping the window open (on a termination, to stderr).
    void FormCloseQuery();
    // A data file named when the program was started, opened instead of the last one.
    void OpenAtStart(const QString& path);
    // The data file read ahead at start-up, for the first load to take; let go once shown.
    void AdoptPreload(std::unique_ptr<DataFilePreload> preload);
    void UpdateCaption(const QString& path);
    void ToggleCompact();  // 表示 → フォームサイズ切り替え, SpeedButton7
    bool IsCompact() const;
    bool Splitter1CanResize(int newWidth) const;
    void Splitter1Moved();
    void OnAppException(const std::exception& error);
    void Exit1Click();  // ファイル → 終了, SpeedButton6

    // --- settings ---
    void LoadSettings();
    void SaveSettings();
    void MakeSettingsFolder();
    // The ignored words of the settings file.
    void LoadIgnoredWords();

    // --- dialogs ---
    void O1Click();            // 表示 → オプション設定
    void SpeedButton9Click();  // the tool bar's データ情報 button and 表示 → データプロパティ
    void V1Click();            // ヘルプ → バージョン表示

    // --- dictionary ---
    void LoadDictionary(const QString& path);
    void Open1Click();  // ファイル → 開く
    // What ファイル → 開く does once a file is chosen: asks about unsaved edits, then loads it.
    void OpenDataFile(const QString& path);
    void R1Click();     // ファイル → 辞書データ修復
    // The sample dictionary (SampleFileName), proposed by the open dialogs.
    QString ProposedDataFile() const;
    // Runs OpenDialog1 with a proposed file; the chosen path, or empty on cancel.
    QString RunOpenDialog(const QString& proposedPath);
    // How the open commands ask for a file: the open dialog, unless a test answers instead.
    std::function<QString(const QString& proposedPath)> ChooseFileToOpen =
        [this](const QString& proposedPath) { return RunOpenDialog(proposedPath); };

    // --- edit mode and saving ---
    void E1Click();  // 編集 → 編集モード
    // The user is about to leave page `from` for page `to`; false keeps `from`.
    bool PageControl1Changing(int from, int to);
    void SaveAs1Click();  // ファイル → 名前を付けて保存
    // Before the full-text view's text is replaced or the program closes: when edit
    // mode is on and the text was changed, asks whether to save it. False when the
    // user cancels or the save does not happen, and the caller then stops.
    bool ResolveUnsavedEdits();
    // Writes the full-text view to `path`, first asking when that would drop bytes a
    // NUL byte kept out of the read of FullTextOrigin; an error is reported. Whether it
    // was written.
    bool SaveFullText(const QString& path);
    // A termination asks nothing: unsaved edits (edit mode on or off) are kept in
    // KeptEditsFolder, else in StateFolder, else nowhere (said on stderr), for the
    // program must end.
    void KeepUnsavedEditsForRecovery();
    // Runs SaveDialog1 with a proposed file; the chosen path, or empty on cancel.
    QString RunSaveDialog(const QString& proposedPath);
    // How save-as asks for a file: the save dialog, unless a test answers instead.
    std::function<QString(const QString& proposedPath)> ChooseFileToSave =
        [this](const QString& proposedPath) { return RunSaveDialog(proposedPath); };

    // --- search ---
    void SpeedButton1Click();  // the search button (検索) beside the search box
    // Return in the search box records its text in the history; it starts no search.
    void cmbSubStrKeyPress(QChar key);
    // Moves a text already in the history (whatever its letter case) to the top in its
    // new spelling and selects it; puts a new one on top without changing the selection.
    void AddToHistory(const QString& text);
    void FillSearchIndex();
    // The fields the search looks in, as the scope radio buttons show them.
    RecordField SelectedScope() const;
    void SelectScope(RecordField scope);

    // --- looking a word up from elsewhere ---
    // The one way in for a word from outside the search box (a later start's --search,
    // the clipboard): the text into the box, the search run as 検索 runs it, the window
    // to the front.
    void LookUp(const QString& text);
    // A later start's request (or this start's own --search), run once no dialog is
    // open and no command is under way.
    void HandleRequest(const InstanceRequest& request);
    void BringToFront();
    void ClipboardLookup1Click();  // 表示 → クリップボードを検索 (a check item)
    void SearchBox1Click();        // Ctrl+K: the search box, its text selected

    // --- search results ---
    void NextBtnClick();     // ▶ and 表示 → 検索結果次表示 (F3)
    void ForwardBtnClick();  // ◀ and 表示 → 検索結果前表示 (Shift+F3)
    void ShowCurrentHit();
    // Gives the keyboard focus to whichever of the two index lists is showing.
    // The index list on screen (the headwords or the search results); none in the compact layout.
    TEditorEx* VisibleIndex() const;
    void FocusVisibleIndex();  // the focus stays where it is when none shows
    void EditorEx3Click();     // a click or Return on a row of the search index
    void SpeedButton2Click();  // インデックス: the index pane switches between headwords and results

    // --- records, the usage guide and printing ---
    void ShowRecord(std::int64_t n, bool markKeys);
    void U1Click();             // ヘルプ → 使用説明, SpeedButton5
    void Print1Click();         // ファイル → 表示データ印刷
    void ShowPreviousRecord();  // 表示 → 前のデータ表示 (Ctrl+P), SpeedButton3
    void ShowNextRecord();      // 表示 → 次のデータ表示 (Ctrl+F), SpeedButton4
    void ShowFirstRecord();     // 表示 → 最初のデータ表示 (Ctrl+T)
    void ShowLastRecord();      // 表示 → 最後のデータ表示 (Ctrl+L)
    // Whether the headword index shows: not while the search index stands in its place,
    // nor while the window is compact.
    bool IsHeadwordIndexShowing() const;
    void EditorEx1Click();  // a click in the full text: the caret's place in the status bar
    void EditorEx2Click();  // a click or Return on a row of the headword index

    // --- zoom ---
    // 表示 → ズーム → 拡大 (Ctrl++), 縮小 (Ctrl+-), 標準のサイズ (Ctrl+0): a step of the
    // text views' fonts when one of them has the focus, else of the record page.
    void ZoomStep(int direction);
    void SetPageZoom(int percent);  // also Ctrl+wheel over the page
    void SetTextZoom(int percent);  // also Ctrl+wheel over a text view

    // --- status bar ---
    void SetStatusText(StatusPanel panel, const QString& text);
    QString StatusText(StatusPanel panel) const;
    QLabel* StatusLabel(StatusPanel panel) const;

    // --- the dialogs, children of this window ---
    TfrmInfomation* frmInfomation = nullptr;
    TfrmVersion* frmVersion = nullptr;
    TfrmOption* frmOption = nullptr;

    // --- controls, by their established names ---
    QFrame* Panel1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QToolButton* SpeedButton9 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QFrame* Panel4 = nullptr;
    QToolButton* ForwardBtn = nullptr;
    QLineEdit* edtNowNo = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtSearchHit = nullptr;
    QToolButton* NextBtn = nullptr;
    QComboBox* cmbSubStr = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QFrame* pnlZenKenCon = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* rdoSelectCondition0 = nullptr;
    QRadioButton* rdoSelectCondition1 = nullptr;
    QRadioButton* rdoSelectCondition2 = nullptr;
    QRadioButton* rdoSelectCondition3 = nullptr;
    QCheckBox* chkNotSeparateWord = nullptr;
    QCheckBox* chkNotPartMatch = nullptr;
    QCheckBox* chkSearchWithAnd = nullptr;
    QCheckBox* chkDispSentence = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, kStatusPanelCount> StatusPanels{};
    QFrame* pnlIndex = nullptr;
    QFrame* Panel2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    TEditorEx* EditorEx2 = nullptr;
    TEditorEx* EditorEx3 = nullptr;
    TSplitter* Splitter1 = nullptr;
    QFrame* pnlBase = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QFrame* pnlBrowser = nullptr;
    BrowserView* WebBrowser1 = nullptr;
    TEditorEx* EditorEx1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* R1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* E1 = nullptr;
    QMenu* Show1 = nullptr;
    QAction* P1 = nullptr;
    QAction* N6 = nullptr;
    QAction* P2 = nullptr;
    QAction* F1 = nullptr;
    QAction* B1 = nullptr;
    QAction* T1 = nullptr;
    QAction* L1 = nullptr;
    QAction* S1 = nullptr;
    QAction* O1 = nullptr;
    QAction* ClipboardLookup1 = nullptr;
    QAction* SearchBox1 = nullptr;  // Ctrl+K, anywhere in the window
    QAction* SearchNow1 = nullptr;  // Ctrl+Return in the search box: 検索
    QAction* ZoomIn1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* ZoomReset1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* U1 = nullptr;
    QAction* V1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A step's carets, then its record; the hit counter first when the step moved the hit.
    void ApplyStep(const RecordStep& step);
    // Steps along the headword index, the index taking the focus before and after the
    // caret moves, so that it scrolls to the new row.
    void StepAlongHeadwords(const std::optional<RecordStep>& step);
    void FocusHeadwordsIfShowing();
    void CreateToolBarPanel();
    void CreateSearchConditionPanel();
    void CreateIndexPane();
    void CreatePages();
    void CreateStatusBar();
    void CreateMenus();
    void ConnectCommands();
    void CreateZoomCommands();
    std::array<QRadioButton*, 4> ScopeButtons() const;
    // Asks whether to save the edits into DataFileName and saves them on Yes, then
    // reloads the file when `reloadAfterSaving` (a failed reload is reported, the edits
    // being safe in the file). False on Cancel or when the save did not happen.
    bool OfferToSaveEdits(bool reloadAfterSaving);
    void RunPendingRequest();
    // After a data file is opened: when edits of it were kept, says so and offers to
    // open them; Yes puts them into the text page as edits not yet saved.
    void OfferKeptEdits();
    // The clipboard watched while, and only while, the lookup is on (the setting loaded,
    // the item checked, the window open).
    void FollowClipboardLookup();
    // A new clipboard text, as the watch hands it over: searched when it was copied
    // elsewhere while the window is inactive, and new.
    void ClipboardTextCopied(const QString& text, bool ownCopy);
    QStringList KeptEditsFolders() const;
    // The kept edits the view holds are done with once saved into the data file or
    // dropped at the user's word.
    void ForgetKeptEditsInView();

    std::unique_ptr<Actions> actions_;  // one per command, shared by menu item, tool button and key
    std::deque<InstanceRequest> pendingRequests_;  // run one at a time, in order of arrival
    QTimer* requestTimer_ = nullptr;               // runs them, or looks again while busy
    QString lastClipboardText_;                    // a clipboard text counts once
    QString keptEditsInView_;  // the kept edits' file the full-text view was filled from, until resolved
    ClipboardWatch* clipboardWatch_ = nullptr;     // on while the lookup is

    DictionarySession session_;  // declared before the controls' users: the views attach to its lines
    bool compact_ = false;       // the compact layout: no index, no menu, no status bar
    bool searchIndexShown_ = false;  // the search index stands in the headword index's place
    int normalWidth_ = 0;        // the full layout's size, kept while the window is compact
    int normalHeight_ = 0;
    bool shown_ = false;  // FormShow runs once, at the first show
    QString fileNamedAtStart_;  // opened by FormShow instead of DataFileName
    std::unique_ptr<DataFilePreload> preload_;  // the start-up's read-ahead, until shown
    QFont designedTextFont_;  // the text views' font at 100 %
};
