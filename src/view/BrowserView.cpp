#include "view/BrowserView.h"

#include "common/Errors.h"
#include "view/PageStyles.h"

#include <QEventLoop>
#include <QPrinter>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>

#include <atomic>
#include <tuple>

// Lets a page read local files and its own data, and nothing from a network.
class RemoteRequestBlocker : public QWebEngineUrlRequestInterceptor {
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        const QString scheme = info.requestUrl().scheme();
        if (scheme == QLatin1String("file") || scheme == QLatin1String("data") || scheme == QLatin1String("about") ||
            scheme == QLatin1String("cid") || scheme == QLatin1String("qrc"))
            return;
        info.block(true);
        ++blocked;
    }

    std::atomic<int> blocked{0};
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

constexpr int kWaitLimitMs = 30'000;  // a page that never arrives must not hang the window

// Lets the user interface run until the view sends `signal` (whose argument tells
// success); answers whether it came in time and succeeded.
template <typename Signal>
bool WaitForSignal(QWebEngineView* view, Signal signal) {
    QEventLoop loop;
    bool succeeded = false;
    QObject::connect(view, signal, &loop, [&](auto&&... arguments) {
        succeeded = std::get<sizeof...(arguments) - 1>(std::tie(arguments...));
        loop.quit();
    });
    QTimer::singleShot(kWaitLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return succeeded;
}

}  // namespace

BrowserView::BrowserView(QWidget* parent)
    : QWebEngineView(parent), profile_(new QWebEngineProfile(this)), blocker_(new RemoteRequestBlocker(this)) {
    profile_->setUrlRequestInterceptor(blocker_);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    auto* page = new QWebEnginePage(profile_, this);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
}

BrowserView::~BrowserView() {
    // The page goes before its profile.
    delete page();
}

int BrowserView::BlockedRequests() const { return blocker_->blocked; }

void BrowserView::LoadHtml(const std::string& page) {
    const SuspendedRedrawing suspended(this);
    const std::string bytes = NormaliseStyleAttributes(WithCrLfLineEnds(page));
    setContent(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())),
               QStringLiteral("text/html;charset=Shift_JIS"));
    WaitForSignal(this, &QWebEngineView::loadFinished);
}

void BrowserView::OpenFile(const QString& path) { load(QUrl::fromLocalFile(path)); }

void BrowserView::PrintTo(QPrinter& printer) {
    // A PDF file gets the engine's own PDF, with its text as text; a printer gets the
    // pages drawn.
    const bool toPdfFile = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    bool printed = false;
    if (toPdfFile) {
        printToPdf(printer.outputFileName(), printer.pageLayout());
        printed = WaitForSignal(this, &QWebEngineView::pdfPrintingFinished);
    } else {
        print(&printer);
        printed = WaitForSignal(this, &QWebEngineView::printFinished);
    }
    if (!printed) throw QuillorError("印刷できませんでした");
}
