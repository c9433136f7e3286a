// Looking a word up from elsewhere: the requests of later starts, the clipboard, and
// the keys that reach the search box.
#include "app/MainWindow.h"

#include "app/Actions.h"
#include "app/ClipboardWatch.h"
#include "app/CompletionPopup.h"
#include "app/RecordNavigator.h"
#include "app/Startup.h"
#include "app/WaitCursor.h"
#include "browser/BrowserView.h"
#include "browser/PageWait.h"
#include "common/ErrorBoundary.h"
#include "common/Sjis.h"
#include "common/StartupTrace.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kBusyRetryMs = 100;             // while a dialog or a command holds the window
constexpr qsizetype kMaxClipboardBytes = 255;  // a word or a phrase; more is no lookup
constexpr std::size_t kCompletionRows = 10;

// A line break or a tab in a text from elsewhere (a selection across lines) would stay
// inside a key and match nothing: each reads as the blank it stands for.
QString OnOneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar& c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char(' ');
    return line;
}

}  // namespace

void TForm1::SearchFor(const QString& text) {
    BringToFront();
    HideCompletions();
    ui_.cmbSubStr->setEditText(OnOneLine(text));
    SpeedButton1Click();
    MarkStartup("lookup shown");  // the benchmark of a later start's --search waits for it
}

void TForm1::LookUpHeadword(const QString& text) {
    BringToFront();
    HideCompletions();
    const QString word = OnOneLine(text);
    // The text stays in the box, where 検索 searches the whole text for it.
    ui_.cmbSubStr->setEditText(word);
    LookupOutcome outcome;
    {
        const WaitCursor wait;  // the first lookup after a load waits for the headwords' catalog
        outcome = session_.LookUp(word);
    }
    // A word looked up can be searched again from the history, as a searched one can.
    if (outcome.kind != LookupOutcome::Kind::FullTextSearch) AddToHistory(word.trimmed());
    switch (outcome.kind) {
    case LookupOutcome::Kind::Record:
        SetStatusText(StatusPanel::Message, QString::fromStdString(outcome.statusText));
        navigator_->ShowLookedUp(outcome.step);
        break;
    case LookupOutcome::Kind::Suggestions:
        SetStatusText(StatusPanel::Position, QString());
        SetStatusText(StatusPanel::Message, QString::fromStdString(outcome.statusText));
        ui_.WebBrowser1->LoadHtml(outcome.page);
        RecordPageLeft();
        break;
    case LookupOutcome::Kind::FullTextSearch: SpeedButton1Click(); break;
    }
    MarkStartup("lookup shown");
}

void TForm1::SearchBoxEdited(const QString& text) {
    completionItems_ = session_.Completions(text, kCompletionRows);
    QStringList rows;
    for (const CompletionItem& item : completionItems_) rows.append(item.text);
    completion_->SetItems(rows);
}

void TForm1::CompletionChosen(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= completionItems_.size()) return;
    ShowHeadwordRow(completionItems_[static_cast<std::size_t>(row)].row, StepReach::Lookup);
}

void TForm1::RecordLinkClicked(std::uint64_t load, std::int64_t row) {
    // A page made before the dictionary was loaded again names rows of the index then.
    if (load != session_.LoadCount())
        return SetStatusText(StatusPanel::Message, QStringLiteral("辞書が読み直されたため、このリンクは使えません"));
    ShowHeadwordRow(row, StepReach::Link);
}

void TForm1::ShowHeadwordRow(std::int64_t row, StepReach reach) {
    if (std::optional<RecordStep> step = session_.HeadwordRowStep(row)) {
        step->reach = reach;
        navigator_->ShowLookedUp(*step);
    }
}

void TForm1::HideCompletions() {
    completion_->Hide();
    completionItems_.clear();
}

void TForm1::BringToFront() {
    if (isMinimized()) setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    if (QWindow* window = windowHandle()) window->requestActivate();
}

void TForm1::HandleRequest(const InstanceRequest& request) {
    if (!requestTimer_) {
        requestTimer_ = new QTimer(this);
        requestTimer_->setSingleShot(true);
        connect(requestTimer_, &QTimer::timeout, this, Guarded(this, &TForm1::RunPendingRequest));
    }
    pendingRequests_.push_back(request);
    // Never inside the caller: it may be the socket's reader, or a start not yet shown.
    if (!requestTimer_->isActive()) requestTimer_->start(0);
}

void TForm1::RunPendingRequest() {
    if (TerminationRequested()) return pendingRequests_.clear();
    if (pendingRequests_.empty()) return;
    // A question waits for its answer, a page is being waited for, or a command is half
    // done further down (its dialog closed, its work not yet): the request comes after.
    if (QApplication::activeModalWidget() || PageWait::Running() || RunningGuards() > 1)
        return requestTimer_->start(kBusyRetryMs);
    const InstanceRequest request = pendingRequests_.front();
    pendingRequests_.pop_front();
    if (!pendingRequests_.empty()) requestTimer_->start(0);  // also when this one fails

    // On Wayland a window comes forward only with the token of the start that asked.
    if (!request.activationToken.isEmpty() && QGuiApplication::platformName() == QLatin1String("wayland"))
        qputenv("XDG_ACTIVATION_TOKEN", request.activationToken.toLatin1());
    switch (request.kind) {
    case InstanceRequest::Kind::Show: BringToFront(); break;
    case InstanceRequest::Kind::Open:
        BringToFront();  // before the question about unsaved edits, if one comes
        OpenDataFile(request.argument);
        break;
    case InstanceRequest::Kind::Search: SearchFor(request.argument); break;
    case InstanceRequest::Kind::Lookup: LookUpHeadword(request.argument); break;
    }
}

void TForm1::ClipboardLookup1Click() {
    session_.Desktop().clipboardLookup = Act(Command::ClipboardLookup)->isChecked();
    FollowClipboardLookup();
}

void TForm1::FollowClipboardLookup() { clipboardWatch_->SetWatching(session_.Desktop().clipboardLookup); }

void TForm1::ClipboardTextCopied(const QString& text, bool ownCopy) {
    // Every character takes a byte at least: a long text (a page, a megabyte) is refused
    // before it is encoded, with room for the blanks around a word.
    const QString word = text.size() > kMaxClipboardBytes * 4 ? QString() : OnOneLine(text).trimmed();
    // A clipboard keeper taking the same text over is no new copy. Every text counts as
    // seen, this program's own copies too, so none of them comes back when a keeper
    // takes it over later.
    const bool seen = word == lastClipboardText_;
    lastClipboardText_ = word;
    // While the window is active the copy is the user's own, made here (the owner was
    // asked while it was not, and the answer may come later).
    if (ownCopy || seen || word.isEmpty() || !session_.Desktop().clipboardLookup || isActiveWindow()) return;
    const Sjis::Encoded bytes = Sjis::FromQString(word);
    if (!bytes.lossless || bytes.bytes.empty() || bytes.bytes.size() > static_cast<std::size_t>(kMaxClipboardBytes))
        return;
    HandleRequest({InstanceRequest::Kind::Lookup, word, QString()});
}

void TForm1::SearchBox1Click() {
    ui_.cmbSubStr->setFocus(Qt::ShortcutFocusReason);
    ui_.cmbSubStr->lineEdit()->selectAll();
}
