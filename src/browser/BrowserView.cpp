#include "browser/BrowserView.h"

#include "browser/PageWait.h"

#include "common/ErrorBoundary.h"
#include "common/Errors.h"
#include "view/LookupPage.h"
#include "view/PageStyles.h"

#include <QBuffer>
#include <QChildEvent>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>


static const QLatin1String kPageScheme("quillor");

// Serves the page LoadHtml was given last, as Shift-JIS HTML.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

    void SetPage(QByteArray bytes) { page_ = std::move(bytes); }

    void requestStarted(QWebEngineUrlRequestJob* job) override {
        auto* body = new QBuffer(job);
        body->setData(page_);
        job->reply(QByteArrayLiteral("text/html;charset=Shift_JIS"), body);
    }

private:
    QByteArray page_;
};

// Lets a page read local files and its own data, and nothing from a network; the
// engine refuses remote addresses to local pages already, this holds for any page.
class RemoteRequestBlocker : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme == QLatin1String("file") || scheme == QLatin1String("data") || scheme == QLatin1String("about") ||
            scheme == QLatin1String("cid") || scheme == QLatin1String("qrc") || scheme == kPageScheme)
            return;
        info.block(true);
    }
};

// Hands a click on a link to a record to the view instead of following it.
class RecordLinkPage : public QWebEnginePage {
public:
    RecordLinkPage(QWebEngineProfile* profile, BrowserView* view) : QWebEnginePage(profile, view), view_(view) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (const auto link = ParseRecordLink(url.toString().toStdString())) {
            if (type == NavigationTypeLinkClicked) emit view_->RecordLinkClicked(link->load, link->row);
            return false;
        }
        return QWebEnginePage::acceptNavigationRequest(url, type, isMainFrame);
    }

private:
    BrowserView* view_;
};

namespace {

// Redrawing off for a scope, back on however the scope ends.
class SuspendedRedrawing {
public:
    explicit SuspendedRedrawing(QWidget* widget) : widget_(widget) { widget_->setUpdatesEnabled(false); }
    ~SuspendedRedrawing() { widget_->setUpdatesEnabled(true); }
    SuspendedRedrawing(const SuspendedRedrawing&) = delete;
    SuspendedRedrawing& operator=(const SuspendedRedrawing&) = delete;

private:
    QWidget* widget_;
};

constexpr qsizetype kLargestInlinePage = 600 * 1024;  // three bytes each when percent-encoded

}  // namespace

BrowserView::BrowserView(QWidget* parent)
    : QWebEngineView(parent),
      profile_(new QWebEngineProfile(this)),
      blocker_(new RemoteRequestBlocker(this)),
      pages_(new PageSchemeHandler(this)) {
    profile_->setUrlRequestInterceptor(blocker_);
    profile_->installUrlSchemeHandler(QByteArray(kPageScheme.data(), kPageScheme.size()), pages_);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    auto* page = new RecordLinkPage(profile_, this);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    // The engine may still be drawing into a printer after a wait gave up: it is let go
    // only when the engine says it is done.
    connect(this, &QWebEngineView::printFinished, this, Guarded([this] { printing_.reset(); }));
    connect(this, &QWebEngineView::pdfPrintingFinished, this, Guarded([this] { printing_.reset(); }));
}

void BrowserView::RegisterPageScheme() {
    QWebEngineUrlScheme scheme(QByteArray(kPageScheme.data(), kPageScheme.size()));
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

BrowserView::~BrowserView() {
    // The page goes before its profile.
    delete page();
}

void BrowserView::StartEngine() {
    if (starting_ || pageSerial_ > 0) return;
    starting_ = true;
    QObject::connect(this, &QWebEngineView::loadFinished, this, [this] { starting_ = false; },
                     Qt::SingleShotConnection);
    setContent(QByteArray(), QStringLiteral("text/html;charset=Shift_JIS"));
}

void BrowserView::WaitForEngine() {
    if (starting_) PageWait::For(this, &QWebEngineView::loadFinished, waitLimitMs_);
}

void BrowserView::LoadHtml(const std::string& page) {
    const int serial = ++pageSerial_;
    // A page asked for while the empty one is still loading would cut that load short,
    // and its end would pass for this page's. A page or the guide asked for during the
    // wait (a click meanwhile) is newer than this one, which then goes unshown.
    if (starting_) {
        WaitForEngine();
        if (serial != pageSerial_) return;
    }
    const SuspendedRedrawing suspended(this);
    const std::string bytes = WithCrLfLineEnds(page);
    const QByteArray content(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // setContent is the quicker way in, but it travels as a percent-encoded address,
    // which the engine refuses beyond 2 MB: larger pages take the program's scheme.
    if (content.size() <= kLargestInlinePage) {
        setContent(content, QStringLiteral("text/html;charset=Shift_JIS"));
    } else {
        pages_->SetPage(content);
        load(QUrl(QStringLiteral("quillor:page/%1").arg(serial)));
    }
    // A page replaced meanwhile by a newer one (another record asked for during the
    // wait) is no failure.
    if (!PageWait::For(this, &QWebEngineView::loadFinished, waitLimitMs_) && serial == pageSerial_)
        throw QuillorError("ページを表示できませんでした");
    // A new page may come at the engine's own zoom.
    if (zoomFactor() != zoomPercent_ / 100.0) setZoomFactor(zoomPercent_ / 100.0);
}

void BrowserView::OpenFile(const QString& path) {
    ++pageSerial_;  // a record page still waiting to be loaded gives way
    load(QUrl::fromLocalFile(path));
}

void BrowserView::WaitForEarlierPrint() {
    if (!printing_) return;
    PageWait::ForEither(this, &QWebEngineView::printFinished, &QWebEngineView::pdfPrintingFinished, waitLimitMs_,
                        [this] { return !printing_; });
    if (printing_) throw QuillorError("印刷できませんでした");
}

void BrowserView::PrintTo(std::shared_ptr<QPrinter> printer) {
    if (printer->outputFormat() != QPrinter::PdfFormat || printer->outputFileName().isEmpty())
        return PrintPages(std::move(printer));
    WaitForEarlierPrint();
    printing_ = printer;
    printToPdf(printer->outputFileName(), printer->pageLayout());
    if (!PageWait::For(this, &QWebEngineView::pdfPrintingFinished, waitLimitMs_))
        throw QuillorError("印刷できませんでした");
}

void BrowserView::PrintPages(std::shared_ptr<QPrinter> printer) {
    WaitForEarlierPrint();
    printing_ = printer;
    print(printer.get());
    if (!PageWait::For(this, &QWebEngineView::printFinished, waitLimitMs_)) throw QuillorError("印刷できませんでした");
}

void BrowserView::SetZoomPercent(int percent) {
    zoomPercent_ = percent;
    setZoomFactor(percent / 100.0);
}

bool BrowserView::event(QEvent* event) {
    // The engine draws into a child widget of its own, made when the first page comes:
    // that child is where the wheel turns.
    if (event->type() == QEvent::ChildAdded)
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            child->installEventFilter(this);
    return QWebEngineView::event(event);
}

bool BrowserView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            // The engine's own zoom would go its own way, unremembered and unclamped.
            if (const int delta = wheel->angleDelta().y(); delta != 0) emit ZoomRequested(delta > 0 ? 1 : -1);
            return true;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}
