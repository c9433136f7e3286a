#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/AppMessage.h"
#include "app/ClipboardWatch.h"
#include "app/RecordNavigator.h"
#include "app/Startup.h"
#include "app/ZoomController.h"
#include "store/UserDatabase.h"
#include "browser/BrowserView.h"
#include "common/ErrorBoundary.h"
#include "common/FileLocations.h"
#include "common/StartupTrace.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"
#include "dictionary/DataFilePreload.h"
#include "dictionary/NulCut.h"
#include "textview/TEditorEx.h"
#include "ui/Fonts.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStatusBar>
#include <QTabWidget>

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      fileDialogs_{[this](const QString& proposedPath) { return RunOpenDialog(proposedPath); },
                   [this](const QString& proposedPath) { return RunSaveDialog(proposedPath); },
                   [this](const QString& proposedPath) { return RunWordListDialog(true, proposedPath); },
                   [this](const QString& proposedPath) { return RunWordListDialog(false, proposedPath); }} {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFont(DesignFont(12));
    setMinimumSize(318, 200);
    setGeometry(234, 143, 737, 483);

    CreateToolBarPanel();
    CreateIndexPane();
    CreatePages();
    CreateStatusBar();
    navigator_ = std::make_unique<RecordNavigator>(
        session_, RecordNavigator::Controls{ui_.EditorEx2, ui_.EditorEx3, ui_.SpeedButton2, ui_.edtNowNo},
        [this](const RecordStep& step) { ShowStep(step); });
    zoom_ = new ZoomController(session_.Desktop(), ui_.WebBrowser1, {ui_.EditorEx1, ui_.EditorEx2, ui_.EditorEx3}, this);
    CreateMenus();
    ConnectCommands();
    FormCreate();
    ui_.frmInfomation = new TfrmInfomation(this);
    ui_.frmVersion = new TfrmVersion(this);
    ui_.frmOption = new TfrmOption(this);
    // The words are the user's as they are typed: a logout that closes the window with the
    // dialog still open saves them, whichever of the two it closes first.
    connect(ui_.frmOption->Memo1, &QPlainTextEdit::textChanged, this,
            [this] { session_.SetIgnoredWordsText(ui_.frmOption->Memo1->toPlainText()); });
}

// The views attach to the session's lines, which go before the views do: the views let
// go of them first, and the window's widgets then go as any window's do.
TForm1::~TForm1() {
    for (TEditorEx* view : {ui_.EditorEx1, ui_.EditorEx2, ui_.EditorEx3}) view->DetachLines();
}

void TForm1::FormCreate() {
    files_ = LocateFiles(QCoreApplication::applicationFilePath(), CurrentLocationEnvironment());
    // A newcomer sees a dictionary at once; afterwards the settings decide.
    session_.SetDataFile(files_.firstStartSample);
    // Qt paints every widget double-buffered already.

    Act(Command::EditMode)->setChecked(!ui_.EditorEx1->ReadOnly());
    ui_.EditorEx3->setVisible(false);

    if (QFileInfo(files_.settings).isFile()) LoadSettings();

    ui_.PageControl1->setCurrentIndex(0);
    ui_.PageControl1->setTabVisible(1, false);

    FollowShownRecord();  // nothing to go back to yet
    InstallAppMessage(ui_.Panel1);
    // Reports outlive no window: once this one is gone, they go to stderr (a second
    // window may have taken the report over already).
    SetErrorReporter([form = QPointer<TForm1>(this)](const std::exception& error) {
        if (form) form->OnAppException(error);
        else ReportErrorOnStderr(error);
    });
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    MarkStartup("window shown");
    RunGuarded([this] { FormShow(); });
    preload_.reset();  // a guess the load did not take holds memory for nothing
    MarkStartup("first record shown");
}

void TForm1::FormShow() {
    // The engine starts while the dictionary is read ahead: much of its start runs on
    // this thread, which the load would keep from it.
    ui_.WebBrowser1->StartEngine();
    LoadIgnoredWords();
    if (preload_) ui_.WebBrowser1->WaitForEngine();
    if (!fileNamedAtStart_.isEmpty()) {
        // A named file that cannot be read is reported, and the last one stays the one
        // the settings remember.
        LoadDictionary(fileNamedAtStart_);
        UpdateCaption(session_.DataFile());
    } else {
        // The last data file may be gone; that passes without a word.
        const QString dataFile = session_.DataFile();
        if (dataFile.isEmpty() || !QFileInfo(dataFile).isFile()) return;
        UpdateCaption(dataFile);
        LoadDictionary(dataFile);
    }
    MarkStartup("dictionary loaded");
    OfferKeptEdits();
    if (session_.HeadwordIndex().LineCount() >= 2) navigator_->FirstRecord();
}

void TForm1::UpdateCaption(const QString& path) {
    const QString title = QApplication::applicationName();
    QFont captionFont(QStringLiteral("ＭＳ Ｐゴシック"));
    captionFont.setPointSize(10);
    captionFont.setBold(true);
    const std::string shortened =
        ShortenPathForCaption(path.toStdString(), width(), title.toStdString(), WidthIn(captionFont));
    setWindowTitle(title + QStringLiteral(" - ") + QString::fromStdString(shortened));
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RunGuarded([this] { UpdateCaption(session_.DataFile()); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    // Unsaved edits come first: a close the user calls off, or that fails to settle
    // them, saves no settings either. A logout or `kill` waits for no answer, so it
    // keeps them aside unasked, and the window closes whatever happens; also when it
    // comes while the question is on screen (it then answers Cancel).
    const bool resolved = !TerminationRequested() && RunGuarded(false, [this] { return ResolveUnsavedEdits(); });
    if (!resolved) {
        if (!TerminationRequested()) {
            event->ignore();
            return;
        }
        RunGuarded([this] { KeepUnsavedEditsForRecovery(); });
    }
    FormCloseQuery();
    // A closed window looks nothing up: the clipboard is left alone from here on.
    RunGuarded([this] { clipboardWatch_->SetWatching(false); });
    event->accept();
}

void TForm1::FormCloseQuery() {
    // A close that fails the same way every time must still end the program.
    RunGuarded([this] { SaveSettings(); });
    RunGuarded([this] { CloseStore(); });
}

void TForm1::OpenAtStart(const QString& path) { fileNamedAtStart_ = QFileInfo(path).absoluteFilePath(); }

void TForm1::AdoptPreload(std::unique_ptr<DataFilePreload> preload) { preload_ = std::move(preload); }

void TForm1::Exit1Click() { close(); }

void TForm1::OnAppException(const std::exception& error) {
    // While the program is made to end, no one is there to close a message box.
    if (TerminationRequested()) {
        ReportErrorOnStderr(error);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("エラー"),
                    QStringLiteral("エラー発生 \r\n") + QString::fromUtf8(error.what()), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("ErrorReport"));
    box.exec();
}

void TForm1::SetStatusText(StatusPanel panel, const QString& text) {
    if (panel == StatusPanel::Message) messageIsLoadNotice_ = IsLoadNotice(text.toStdString());
    QLabel* label = ui_.StatusPanels.at(static_cast<std::size_t>(panel));
    label->setText(text);
    // A panel's text is what assistive technology reads as its name: announce the change.
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}


void TForm1::SetPageZoom(int percent) { zoom_->SetPageZoom(percent); }

void TForm1::SetTextZoom(int percent) { zoom_->SetTextZoom(percent); }
