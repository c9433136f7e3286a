#pragma once
// The main window's controls by their established names, as a designer's generated
// form would hold them: built by the window's layout code, read and written only by
// the window. Each control's object name is its name here, so tests find it by name.

#include "common/StatusPanel.h"

#include <array>

class BrowserView;
class QCheckBox;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;
class TEditorEx;
class TSplitter;
class HistoryDialog;
class WordListDialog;
class TfrmInfomation;
class TfrmOption;
class TfrmVersion;

struct MainWindowUi {
    // The tool bar panel: record steps, layout, data information, guide, exit.
    QFrame* Panel1 = nullptr;
    QToolButton* SpeedButton3 = nullptr;  // previous record
    QToolButton* SpeedButton4 = nullptr;  // next record
    QToolButton* SpeedButton7 = nullptr;  // compact layout
    QToolButton* SpeedButton9 = nullptr;  // data information
    QToolButton* SpeedButton5 = nullptr;  // usage guide
    QToolButton* SpeedButton6 = nullptr;  // exit
    // Back and forward in the history, and the shown record on or off the word list.
    QToolButton* HistoryBackBtn = nullptr;
    QToolButton* HistoryForwardBtn = nullptr;
    QToolButton* WordListedBtn = nullptr;
    // The hit navigator: ◀, the current hit, "/", the result count, ▶.
    QFrame* Panel4 = nullptr;
    QToolButton* ForwardBtn = nullptr;
    QLineEdit* edtNowNo = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtSearchHit = nullptr;
    QToolButton* NextBtn = nullptr;
    // The search box and its button.
    QComboBox* cmbSubStr = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    // The search conditions: the scope and the four switches.
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
    // The status bar's three panels.
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, kStatusPanelCount> StatusPanels{};
    // The index pane: its switch button and the two index lists.
    QFrame* pnlIndex = nullptr;
    QFrame* Panel2 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    TEditorEx* EditorEx2 = nullptr;  // the headword index
    TEditorEx* EditorEx3 = nullptr;  // the search index
    TSplitter* Splitter1 = nullptr;
    // The pages: the record page in the browser view and the full text.
    QFrame* pnlBase = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QFrame* pnlBrowser = nullptr;
    BrowserView* WebBrowser1 = nullptr;
    TEditorEx* EditorEx1 = nullptr;  // the full text
    // The file dialogs, made when first used, and the three dialogs.
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;
    TfrmInfomation* frmInfomation = nullptr;
    TfrmVersion* frmVersion = nullptr;
    TfrmOption* frmOption = nullptr;
    // The history's list and the word list, made when first opened.
    HistoryDialog* frmHistory = nullptr;
    WordListDialog* frmWordList = nullptr;
};
