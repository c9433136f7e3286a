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

    // Opens a local file (the usage guide); not waited for.
    void OpenFile(const QString& path);

    // Prints what the view shows and waits for the printer; raises when printing fails.
    void PrintTo(QPrinter& printer);

    // The scheme of the pages LoadHtml serves; registered before the application starts.
    static void RegisterPageScheme();

private:
    QWebEngineProfile* profile_;
    class RemoteRequestBlocker* blocker_;
    class PageSchemeHandler* pages_;
    int pageSerial_ = 0;  // each page gets an address of its own
};
