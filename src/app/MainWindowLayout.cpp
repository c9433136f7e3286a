// The controls of the main window, placed as designed.
#include "app/MainWindow.h"

#include "app/TSplitter.h"
#include "app/ViewColors.h"
#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "ui/Fonts.h"
#include "browser/BrowserView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Every control carries its established name as object name, its hint as tool tip,
// and an accessible name and description for screen readers.
template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QString& accessibleName, const QString& hint = {}) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessibleName);
    if (!hint.isEmpty()) {
        widget->setToolTip(hint);
        widget->setAccessibleDescription(hint);
    }
    return widget;
}

QFrame* Panel(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* panel = Named(new QFrame(parent), name, accessibleName);
    panel->setFrameShape(QFrame::NoFrame);
    return panel;
}

// A tool button; its command's action gives it its icon and hint.
QToolButton* IconButton(QWidget* parent, const char* name, const QString& accessibleName, QRect geometry) {
    auto* button = Named(new QToolButton(parent), name, accessibleName);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

// A read-only number. Assistive technology reads the number it shows; its role is
// the description, since a fixed name would hide the changing number.
QLineEdit* HitCounter(QWidget* parent, const char* name, const QString& role, const QString& text,
                      QRect geometry) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleDescription(role);
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);  // skipped by the Tab key
    edit->setFont(DesignFont(11));
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    edit->setPalette(palette);
    edit->setGeometry(geometry);
    return edit;
}

}  // namespace

void TForm1::CreateToolBarPanel() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Form1Client"));
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    ui_.Panel1 = Panel(central, "Panel1", QStringLiteral("ツールバー"));
    ui_.Panel1->setFixedHeight(51);
    ui_.Panel1->setFrameShape(QFrame::StyledPanel);
    column->addWidget(ui_.Panel1);

    ui_.SpeedButton3 = IconButton(ui_.Panel1, "SpeedButton3", QStringLiteral("前のレコード"), {2, 2, 25, 23});
    ui_.SpeedButton4 = IconButton(ui_.Panel1, "SpeedButton4", QStringLiteral("次のレコード"), {27, 2, 25, 23});
    ui_.SpeedButton7 = IconButton(ui_.Panel1, "SpeedButton7", QStringLiteral("フォームサイズ切り替え"), {58, 2, 25, 23});
    ui_.SpeedButton9 = IconButton(ui_.Panel1, "SpeedButton9", QStringLiteral("データ情報"), {83, 2, 25, 23});
    ui_.SpeedButton5 = IconButton(ui_.Panel1, "SpeedButton5", QStringLiteral("使用説明"), {108, 2, 25, 23});
    ui_.SpeedButton6 = IconButton(ui_.Panel1, "SpeedButton6", QStringLiteral("終了"), {139, 2, 25, 23});

    ui_.Panel4 = Panel(ui_.Panel1, "Panel4", QStringLiteral("検索結果ナビゲータ"));
    ui_.Panel4->setGeometry(170, 2, 136, 23);
    ui_.ForwardBtn = IconButton(ui_.Panel4, "ForwardBtn", QStringLiteral("前の検索結果"), {0, 0, 25, 23});
    ui_.edtNowNo = HitCounter(ui_.Panel4, "edtNowNo", QStringLiteral("現在の検索結果番号"), QStringLiteral("1"),
                          {27, 2, 38, 19});
    ui_.Label3 = Named(new QLabel(QStringLiteral("/"), ui_.Panel4), "Label3", QStringLiteral("/"));
    ui_.Label3->setGeometry(66, 2, 6, 19);
    ui_.edtSearchHit = HitCounter(ui_.Panel4, "edtSearchHit", QStringLiteral("検索結果件数"), QStringLiteral("0"),
                              {73, 2, 38, 19});
    ui_.NextBtn = IconButton(ui_.Panel4, "NextBtn", QStringLiteral("次の検索結果"), {111, 0, 25, 23});

    // Right of the search conditions: the history's two steps above, the word list below.
    ui_.HistoryBackBtn = IconButton(ui_.Panel1, "HistoryBackBtn", QStringLiteral("戻る"), {669, 2, 25, 23});
    ui_.HistoryForwardBtn = IconButton(ui_.Panel1, "HistoryForwardBtn", QStringLiteral("進む"), {694, 2, 25, 23});
    ui_.WordListedBtn = IconButton(ui_.Panel1, "WordListedBtn", QStringLiteral("単語帳に登録"), {669, 25, 25, 23});

    ui_.cmbSubStr = Named(new QComboBox(ui_.Panel1), "cmbSubStr", QStringLiteral("検索文字列"),
                      QStringLiteral("検索する文字列をここに入力します(RETURNで履歴に登録)"));
    ui_.cmbSubStr->setEditable(true);
    ui_.cmbSubStr->setInsertPolicy(QComboBox::NoInsert);  // the history is kept by the program
    ui_.cmbSubStr->setEditText(QStringLiteral("abate"));
    ui_.cmbSubStr->setGeometry(2, 27, 242, 22);

    // Its command's action gives it its text, icon and hint.
    ui_.SpeedButton1 = Named(new QToolButton(ui_.Panel1), "SpeedButton1", QStringLiteral("検索"));
    ui_.SpeedButton1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ui_.SpeedButton1->setGeometry(248, 27, 66, 22);

    CreateSearchConditionPanel();
}

void TForm1::CreateSearchConditionPanel() {
    ui_.pnlZenKenCon = Panel(ui_.Panel1, "pnlZenKenCon", QStringLiteral("検索条件"));
    ui_.pnlZenKenCon->setGeometry(321, 2, 344, 46);
    ui_.pnlZenKenCon->setFrameShape(QFrame::StyledPanel);

    ui_.Label1 = Named(new QLabel(QStringLiteral("<検索対象>"), ui_.pnlZenKenCon), "Label1", QStringLiteral("検索対象"));
    ui_.Label1->setGeometry(2, 3, 60, 18);

    const auto radio = [this](const char* name, const QString& caption, const QString& hint, int x, int width) {
        auto* button = Named(new QRadioButton(caption, ui_.pnlZenKenCon), name, caption, hint);
        button->setGeometry(x, 2, width, 20);
        return button;
    };
    ui_.rdoSelectCondition0 = radio("rdoSelectCondition0", QStringLiteral("全体"),
                                QStringLiteral("見出し、訳文、例文の全部を対象にします"), 62, 46);
    ui_.rdoSelectCondition1 = radio("rdoSelectCondition1", QStringLiteral("見出しのみ"),
                                QStringLiteral("見出しだけを対象にします"), 110, 82);
    ui_.rdoSelectCondition2 = radio("rdoSelectCondition2", QStringLiteral("訳文のみ"),
                                QStringLiteral("訳文だけを対象にします"), 196, 72);
    ui_.rdoSelectCondition3 = radio("rdoSelectCondition3", QStringLiteral("例文のみ"),
                                QStringLiteral("例文だけを対象にします"), 270, 72);
    ui_.rdoSelectCondition0->setChecked(true);

    const auto check = [this](const char* name, const QString& caption, const QString& hint, int x, int width) {
        auto* box = Named(new QCheckBox(caption, ui_.pnlZenKenCon), name, caption, hint);
        box->setGeometry(x, 23, width, 20);
        box->setChecked(true);
        return box;
    };
    ui_.chkNotSeparateWord = check("chkNotSeparateWord", QStringLiteral("複数検索キー"),
                               QStringLiteral("検索文字列をスペース区切りで分離するかを指定します"), 4, 94);
    ui_.chkNotPartMatch = check("chkNotPartMatch", QStringLiteral("WORD(部分)"),
                            QStringLiteral("英文検索を単語単位か文字列部分一致かを指定します"), 100, 86);
    ui_.chkSearchWithAnd = check("chkSearchWithAnd", QStringLiteral("OR(AND)"),
                             QStringLiteral("検索文字列を複数指定した場合の一致方法を指定します"), 188, 72);
    ui_.chkDispSentence = check("chkDispSentence", QStringLiteral("全文表示"),
                            QStringLiteral("検索に一致したパラグラフだけか全部表示かを指定します"), 262, 78);
    ui_.chkDispSentence->setEnabled(false);
}

// The scope radio buttons stand in the order of the RecordField numbers.
std::array<QRadioButton*, 4> TForm1::ScopeButtons() const {
    return {ui_.rdoSelectCondition0, ui_.rdoSelectCondition1, ui_.rdoSelectCondition2, ui_.rdoSelectCondition3};
}

RecordField TForm1::SelectedScope() const {
    const auto buttons = ScopeButtons();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked()) return static_cast<RecordField>(i);
    return RecordField::WholeRecord;
}

void TForm1::SelectScope(RecordField scope) { ScopeButtons().at(static_cast<std::size_t>(scope))->setChecked(true); }

void TForm1::CreateIndexPane() {
    auto* panes = new QHBoxLayout;
    panes->setContentsMargins(0, 0, 0, 0);
    panes->setSpacing(0);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addLayout(panes, 1);

    ui_.pnlIndex = Panel(centralWidget(), "pnlIndex", QStringLiteral("インデックス"));
    ui_.pnlIndex->setFixedWidth(200);
    auto* indexColumn = new QVBoxLayout(ui_.pnlIndex);
    indexColumn->setContentsMargins(0, 0, 0, 0);
    indexColumn->setSpacing(0);

    ui_.Panel2 = Panel(ui_.pnlIndex, "Panel2", QStringLiteral("インデックス切り替え"));
    ui_.Panel2->setFixedHeight(24);
    ui_.SpeedButton2 = Named(new QToolButton(ui_.Panel2), "SpeedButton2", QStringLiteral("インデックス"),
                         QStringLiteral("検索結果のインデックス･リストと表示を切り替えます"));
    ui_.SpeedButton2->setText(QStringLiteral("インデックス"));
    ui_.SpeedButton2->setAutoRaise(true);
    ui_.SpeedButton2->setFocusPolicy(Qt::NoFocus);
    ui_.SpeedButton2->setGeometry(0, 0, 200, 24);
    indexColumn->addWidget(ui_.Panel2);

    const auto indexView = [this](TextLines& lines, const char* name, const QString& accessibleName,
                                  const QString& description, const TEditorEx::ViewColors& colors) {
        auto* view = Named(new TEditorEx(lines, ui_.pnlIndex), name, accessibleName, QString());
        view->setAccessibleDescription(description);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->viewport()->setCursor(Qt::PointingHandCursor);
        view->setFocusPolicy(Qt::ClickFocus);  // not in the Tab order
        view->SetViewColors(colors);
        view->SetWholeRowSelection(true);
        return view;
    };
    ui_.EditorEx2 = indexView(session_.HeadwordIndex(), "EditorEx2", QStringLiteral("見出し語インデックス"),
                          QStringLiteral("クリックした見出し語のデータを表示します"), HeadwordIndexColors());
    ui_.EditorEx3 = indexView(session_.SearchIndex(), "EditorEx3", QStringLiteral("検索インデックス"),
                          QStringLiteral("クリックした検索結果のデータを表示します"), SearchIndexColors());
    indexColumn->addWidget(ui_.EditorEx2, 1);
    indexColumn->addWidget(ui_.EditorEx3, 1);

    ui_.pnlBase = Panel(centralWidget(), "pnlBase", QStringLiteral("表示領域"));
    ui_.Splitter1 = Named(new TSplitter(ui_.pnlIndex, centralWidget()), "Splitter1", QStringLiteral("区切り"),
                      QString());
    ui_.Splitter1->SetCanResize([this](int newWidth) { return Splitter1CanResize(newWidth); });
    connect(ui_.Splitter1, &TSplitter::Moved, this, Guarded(this, &TForm1::Splitter1Moved));

    panes->addWidget(ui_.pnlIndex);
    panes->addWidget(ui_.Splitter1);
    panes->addWidget(ui_.pnlBase, 1);
}

void TForm1::CreatePages() {
    auto* baseLayout = new QVBoxLayout(ui_.pnlBase);
    baseLayout->setContentsMargins(0, 0, 0, 0);
    ui_.PageControl1 = Named(new QTabWidget(ui_.pnlBase), "PageControl1", QStringLiteral("ページ"));
    baseLayout->addWidget(ui_.PageControl1);

    ui_.TabSheet1 = Named(new QWidget, "TabSheet1", QStringLiteral("ブラウザ"));
    auto* browserPage = new QVBoxLayout(ui_.TabSheet1);
    browserPage->setContentsMargins(0, 0, 0, 0);
    ui_.pnlBrowser = Panel(ui_.TabSheet1, "pnlBrowser", QStringLiteral("ブラウザ"));
    ui_.pnlBrowser->setAutoFillBackground(true);
    QPalette white = ui_.pnlBrowser->palette();
    white.setColor(QPalette::Window, Qt::white);
    ui_.pnlBrowser->setPalette(white);
    auto* browserLayout = new QVBoxLayout(ui_.pnlBrowser);
    browserLayout->setContentsMargins(0, 0, 0, 0);
    ui_.WebBrowser1 = Named(new BrowserView(ui_.pnlBrowser), "WebBrowser1", QStringLiteral("レコード表示"));
    ui_.WebBrowser1->setAccessibleDescription(QStringLiteral("選んだレコードの見出し語、訳語、例文を表示します"));
    browserLayout->addWidget(ui_.WebBrowser1);
    browserPage->addWidget(ui_.pnlBrowser);
    ui_.PageControl1->addTab(ui_.TabSheet1, QStringLiteral("ブラウザ"));

    ui_.TabSheet2 = Named(new QWidget, "TabSheet2", QStringLiteral("テキスト"));
    auto* textPage = new QVBoxLayout(ui_.TabSheet2);
    textPage->setContentsMargins(0, 0, 0, 0);
    ui_.EditorEx1 = Named(new TEditorEx(session_.FullText(), ui_.TabSheet2), "EditorEx1", QStringLiteral("全文テキスト"), QString());
    ui_.EditorEx1->setAccessibleDescription(QStringLiteral("辞書データ全体のテキスト"));
    ui_.EditorEx1->SetViewColors(FullTextColors());
    ui_.EditorEx1->SetWholeText("EditorEx1");
    textPage->addWidget(ui_.EditorEx1);
    ui_.PageControl1->addTab(ui_.TabSheet2, QStringLiteral("テキスト"));
}

void TForm1::CreateStatusBar() {
    ui_.StatusBar1 = Named(new QStatusBar(this), "StatusBar1", QStringLiteral("ステータスバー"));
    setStatusBar(ui_.StatusBar1);
    static const char* const names[] = {"StatusPanel0", "StatusPanel1", "StatusPanel2"};
    static const char* const roles[] = {"位置とサイズ", "検索件数", "メッセージ"};
    for (std::size_t i = 0; i < ui_.StatusPanels.size(); ++i) {
        // No accessible name: assistive technology reads the panel's text itself, and
        // the panel's role is its description.
        auto* panel = new QLabel(ui_.StatusBar1);
        panel->setObjectName(QString::fromLatin1(names[i]));
        panel->setAccessibleDescription(QString::fromUtf8(roles[i]));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        if (i < 2) panel->setFixedWidth(100);
        else panel->setMinimumWidth(50);
        ui_.StatusBar1->addWidget(panel, i < 2 ? 0 : 1);
        ui_.StatusPanels[i] = panel;
    }
}
