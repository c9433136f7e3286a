// Reading records in the real browser view, offscreen: pages, navigation, colours,
// safety, the usage guide and printing.
#include "app/FormTestSupport.h"
#include "browser/BrowserView.h"
#include "common/Sjis.h"
#include "textview/TEditorEx.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QProcess>
#include <QTabWidget>
#include <QToolButton>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <memory>

namespace {

std::string Sjis932(const char* utf8) { return Sjis::FromUtf8(utf8).bytes; }

QString Title(BrowserView* view) { return Evaluate(view, QStringLiteral("document.title")).toString(); }

}  // namespace

class BrowserViewTest : public FormTestBase {
    Q_OBJECT

private:
    // Prints the page on view into a PDF file and reads its text back.
    QString PrintedText(const QString& pdf) {
        WebBrowser1()->PrintTo(PdfPrinter(pdf));
        return PdfText(pdf);
    }

    static std::shared_ptr<QPrinter> PdfPrinter(const QString& pdf) {
        auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(pdf);
        return printer;
    }

    static QString PdfText(const QString& pdf) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        text.waitForFinished(10'000);
        return QString::fromUtf8(text.readAllStandardOutput());
    }

    void LoadSample() {
        const std::string text = "1 abate///" + Sjis932("軽減する") + ":::The pain abated./ It came back.\r\n" +
                                 "2 CO_2///" + Sjis932("二酸化炭素") + ":::Na~+ and CO_2 were measured.\r\n" +
                                 "3 heart///" + Sjis932("心臓") + ":::The heart beats.\r\n" +
                                 "4 heart failure///" + Sjis932("心不全") + ":::Heart failure worsened.\r\n";
        form->LoadDictionary(WriteFile(QStringLiteral("sample.txt"), text));
        Action("T1")->trigger();
    }

private slots:
    void initTestCase() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
    }

    void cleanupTestCase() { form.reset(); }

    void aRecordIsShownAsItsPage() {
        LoadSample();
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("1 abate"));
        const QString text = BodyText(WebBrowser1());
        QVERIFY2(text.contains(QStringLiteral("軽減する")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("The pain abated.\n")), qPrintable(text));  // a sentence per line

        // Superscripts and subscripts are real elements.
        form->ShowRecord(1, false);
        QCOMPARE(Evaluate(WebBrowser1(), QStringLiteral("document.querySelectorAll('sub').length")).toInt(), 2);
        QCOMPARE(Evaluate(WebBrowser1(), QStringLiteral("document.querySelector('sup').textContent")).toString(),
                 QStringLiteral("+"));
    }

    void theTranslationIsGreenAndTheFieldsUseTheirFonts() {
        LoadSample();
        const QString color = Evaluate(WebBrowser1(), QStringLiteral(
            "[...document.querySelectorAll('span')].find(s => s.textContent.includes('軽減する'))"
            ".ownerDocument.defaultView.getComputedStyle([...document.querySelectorAll('span')]"
            ".find(s => s.textContent.includes('軽減する'))).color")).toString();
        QCOMPARE(color, QStringLiteral("rgb(0, 128, 0)"));
        const QString headwordFont = Evaluate(WebBrowser1(), QStringLiteral(
            "getComputedStyle(document.querySelector('span')).fontFamily")).toString();
        QVERIFY2(headwordFont.startsWith(QStringLiteral("Tahoma")), qPrintable(headwordFont));
    }

    void clicksAndNavigationShowTheirRecords() {
        LoadSample();
        TEditorEx* index = EditorEx2();
        QTest::mouseClick(index->viewport(), Qt::LeftButton, {},
                          QPoint(20, 2 * index->RowHeight() + index->RowHeight() / 2));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("3 heart"));

        QVERIFY(ShowAndActivate());
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("4 heart failure"));
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);  // the last row: nothing
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("3 heart"));
        QTest::keyClick(form.get(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("1 abate"));
        QCOMPARE(index->CaretRow(), 0);
        Button("SpeedButton3")->click();  // the first row: only the focus moves
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        QVERIFY(index->HasKeyboardFocus());
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("4 heart failure"));
        Button("SpeedButton3")->click();
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        Button("SpeedButton4")->click();
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
    }

    void aPageAskedForWhileTheEngineStartsIsTheOneShown() {
        // The start-up's first record waits for the engine; a click in that wait asks
        // for another record, which must be the one left on view.
        BrowserView view;
        view.resize(400, 300);
        view.show();
        view.StartEngine();
        QTimer::singleShot(0, &view, [&view] { view.LoadHtml("<p>clicked</p>"); });
        view.LoadHtml("<p>first</p>");
        QCOMPARE(BodyText(&view), QStringLiteral("clicked"));
    }

    void recordTextNeitherRunsScriptsNorReachesTheNetwork() {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const std::string hostile = "1 x<script>document.title='ran'</script>///y:::<img src=\"http://127.0.0.1:" +
                                    std::to_string(server.serverPort()) + "/leak.png\">\r\n2 b///c:::d\r\n";
        form->LoadDictionary(WriteFile(QStringLiteral("hostile.txt"), hostile));
        form->ShowRecord(0, false);
        QTest::qWait(300);
        QVERIFY(!server.hasPendingConnections());
        QVERIFY(Title(WebBrowser1()) != QStringLiteral("ran"));
    }

    void aMegabyteLineOfJapaneseIsShownWhole() {
        std::string huge = "1 long///";
        const std::string word = Sjis932("心臓");
        while (huge.size() < (1 << 20)) huge += word;
        huge += ":::end\r\n2 b///c:::d\r\n";
        form->LoadDictionary(WriteFile(QStringLiteral("huge.txt"), huge));
        form->ShowRecord(1, false);
        form->ShowRecord(0, false);
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("1 long"));
        QVERIFY(Evaluate(WebBrowser1(), QStringLiteral("document.body.innerText.length")).toInt() > 500'000);
    }

    void aLineOutsideTheTextReportsTheIndexErrorAfterPanelZero() {
        LoadSample();
        QVERIFY_THROWS_EXCEPTION(std::exception, form->ShowRecord(9, false));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.10"));
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("1 abate"));  // the page stays
    }

    void theUsageGuideOpensAndAMissingOneIsReported() {
        LoadSample();
        form->Files().guide = dir.filePath(QStringLiteral("missing.mht"));
        Action("U1")->trigger();
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("missing.mht が見つかりません"));
        QCOMPARE(Title(WebBrowser1()), QStringLiteral("1 abate"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.mht")));  // a folder is no guide
        form->Files().guide = dir.filePath(QStringLiteral("folder.mht"));
        StatusLabel(StatusPanel::Message)->setText(QString());
        Action("U1")->trigger();
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("folder.mht が見つかりません"));

        form->Files().guide = QStringLiteral(QUILLOR_GUIDE);
        PageControl1()->setTabVisible(1, true);
        PageControl1()->setCurrentIndex(1);  // the text page of edit mode
        QSignalSpy loaded(WebBrowser1(), &QWebEngineView::loadFinished);
        Button("SpeedButton5")->click();
        QVERIFY(loaded.wait(10'000));
        QCOMPARE(PageControl1()->currentIndex(), 0);
        // The archive's style sheet applies.
        QCOMPARE(Evaluate(WebBrowser1(), QStringLiteral("document.styleSheets.length")).toInt(), 1);
        QVERIFY2(BodyText(WebBrowser1()).contains(QStringLiteral("全文検索")), qPrintable(Title(WebBrowser1())));
        PageControl1()->setTabVisible(1, false);

        // Printing now prints the guide, not the record.
        const QString pdf = dir.filePath(QStringLiteral("guide.pdf"));
        QVERIFY(PrintedText(pdf).contains(QStringLiteral("全文検索")));
    }

    void printingWritesThePageOnViewAndFailsClearlyWithoutAPrinter() {
        LoadSample();
        form->ShowRecord(2, false);
        const QString printed = PrintedText(dir.filePath(QStringLiteral("record.pdf")));
        QVERIFY2(printed.contains(QStringLiteral("heart")) && printed.contains(QStringLiteral("心臓")), qPrintable(printed));

        // A print slower than the wait: the wait gives up with an error, but the printer
        // stays alive until the engine has drawn every page into it, and the next print
        // goes ahead.
        const QString drawn = dir.filePath(QStringLiteral("drawn.pdf"));
        std::weak_ptr<QPrinter> slowPrinter;
        {
            auto printer = PdfPrinter(drawn);
            slowPrinter = printer;
            QSignalSpy finished(WebBrowser1(), &QWebEngineView::printFinished);
            WebBrowser1()->SetWaitLimit(0);
            QVERIFY_THROWS_EXCEPTION(std::exception, WebBrowser1()->PrintPages(std::move(printer)));
            WebBrowser1()->SetWaitLimit(30'000);
            QVERIFY(!slowPrinter.expired());
            QVERIFY(WebBrowser1()->IsPrinting());
            QVERIFY(finished.wait(30'000));
            QVERIFY(finished.first().first().toBool());
        }
        QVERIFY(slowPrinter.expired());
        QFile drawnFile(drawn);
        QVERIFY(drawnFile.open(QIODevice::ReadOnly));
        QVERIFY(drawnFile.read(5) == "%PDF-" && drawnFile.size() > 1000);  // the pages are pictures
        WebBrowser1()->PrintPages(PdfPrinter(drawn));
        QVERIFY(!WebBrowser1()->IsPrinting());

        // No printer is configured on the test machine: a clear error, nothing printed.
        if (QPrinterInfo::defaultPrinter().isNull()) {
            QString reported;
            WhenModalShows([&](QWidget* box) {
                reported = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
                box->close();
            });
            Action("Print1")->trigger();
            QVERIFY2(reported.contains(QStringLiteral("プリンタ")), qPrintable(reported));
        }
    }
};

int main(int argc, char* argv[]) { return RunFormTests<BrowserViewTest>(argc, argv); }

#include "BrowserViewTest.moc"
