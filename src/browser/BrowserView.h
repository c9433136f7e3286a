#pragma once
// The browser view where a record is read (WebBrowser1), on Qt WebEngine.
//
// A large page (a long record line of Japanese text) is served to the engine through
// the program's own "quillor:" scheme, since a data: address is refused beyond 2 MB.
// Record text goes into the page unescaped, so the page's own scripts never run
// (JavaScript is off in its main world; the program's own scripts run in the
// application world) and nothing is fetched from the network: a record holding
// <script> or <img src="http://..."> neither runs nor reaches anything.

#include <QWebEngineView>

#include <memory>
#include <string>

class QPrinter;
class QWebEngineProfile;

class BrowserView : public QWebEngineView {
    Q_OBJECT
public:
    explicit BrowserView(QWidget* parent = nullptr);
    ~BrowserView() override;

    // Puts the page (code page 932 bytes) into the view and waits until the engine
    // has it. Redrawing is suspended meanwhile and resumed however this ends.
    void LoadHtml(const std::string& page);

    // Starts the engine's page process with an empty page and returns at once, so that
    // it starts while the program does other work (the dictionary's read); the next
    // LoadHtml waits for it first.
    void StartEngine();
    // Lets the user interface run until StartEngine's page is in.
    void WaitForEngine();

    // Opens a local file (the usage guide); not waited for.
    void OpenFile(const QString& path);

    // Prints what the view shows and waits for the printer; raises when printing fails
    // or takes longer than the wait allows. A PDF file gets the engine's own PDF, with
    // its text as text; a printer gets the pages drawn. The view keeps the printer
    // until the engine is done with it, also after the wait gave up; a print asked for
    // meanwhile first waits for that one.
    void PrintTo(std::shared_ptr<QPrinter> printer);
    // The pages drawn into the printer, whatever its kind.
    void PrintPages(std::shared_ptr<QPrinter> printer);
    bool IsPrinting() const { return printing_ != nullptr; }

    // The page's zoom in percent, kept from page to page. The engine prints a page as
    // at 100 % whatever its zoom.
    void SetZoomPercent(int percent);
    int ZoomPercent() const { return zoomPercent_; }

    // How long a page load or a print may take before the wait gives up (30 s).
    void SetWaitLimit(int milliseconds) { waitLimitMs_ = milliseconds; }

    // The scheme of the pages LoadHtml serves; registered before the application starts.
    static void RegisterPageScheme();

signals:
    // Ctrl+wheel over the page asks for a zoom step in (> 0) or out (< 0).
    void ZoomRequested(int direction);
    // A link to a headword (on the page of suggestions) was clicked: the load it was
    // made after and the headword's row; the page stays.
    void RecordLinkClicked(quint64 load, qint64 row);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWebEngineProfile* profile_;
    class RemoteRequestBlocker* blocker_;
    class PageSchemeHandler* pages_;
    int pageSerial_ = 0;  // each page gets an address of its own
    bool starting_ = false;  // StartEngine's page is on its way
    int zoomPercent_ = 100;
    int waitLimitMs_ = 30'000;  // a page or print that never arrives must not hang the window
    std::shared_ptr<QPrinter> printing_;  // the print under way, until the engine ends it

    void WaitForEarlierPrint();
};
