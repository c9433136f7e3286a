#pragma once
// The browser view where a record is read (WebBrowser1), on Qt WebEngine.
//
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

    // Requests the view refused: remote addresses a page asked for.
    int BlockedRequests() const;

private:
    QWebEngineProfile* profile_;
    class RemoteRequestBlocker* blocker_;
};
