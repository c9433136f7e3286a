// Zoom: the record page and the text views' fonts, by key and by Ctrl+wheel, remembered
// across a restart, and never in a print.
#include "app/FormTestSupport.h"
#include "common/Sjis.h"

#include <QAction>
#include <QComboBox>
#include <QPrinter>
#include <QProcess>
#include <QWheelEvent>

namespace {

// Sends Ctrl+wheel, one notch up or down, to `widget`.
void CtrlWheel(QWidget* widget, int notches) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

// The words a PDF shows and where, without its metadata.
QStringList PrintedWords(const QString& pdf) {
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    text.waitForFinished(10'000);
    QStringList words;
    for (const QString& line : QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (line.contains(QStringLiteral("<word"))) words << line.trimmed();
    return words;
}

}  // namespace

class ZoomTest : public FormTestBase {
    Q_OBJECT

    int PageWidth() { return Evaluate(WebBrowser1(), QStringLiteral("window.innerWidth")).toInt(); }

    void PressKey(QWidget* focus, QKeySequence keys) {
        focus->setFocus();
        QTest::keySequence(form.get(), keys);
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        const std::string text = "1 abate///" + Sjis::FromUtf8("軽減する").bytes + ":::The pain abated.\r\n" +
                                 "2 heart///" + Sjis::FromUtf8("心臓").bytes + ":::The heart beats.\r\n";
        form->LoadDictionary(WriteFile(QStringLiteral("dic.txt"), text));
        Action("T1")->trigger();
    }

    void cleanup() { form.reset(); }

    void theKeysZoomThePageOrTheTextViewsByWhereTheFocusIs() {
        const int pageWidth = PageWidth();
        const int rowHeight = EditorEx2()->RowHeight();

        PressKey(cmbSubStr(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
        PressKey(cmbSubStr(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
        QTRY_VERIFY(PageWidth() < pageWidth * 0.85);  // 125 %: the page's own width shrinks
        QCOMPARE(EditorEx2()->RowHeight(), rowHeight);

        PressKey(EditorEx2(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
        QVERIFY(EditorEx2()->RowHeight() > rowHeight);
        QCOMPARE(EditorEx1()->font(), EditorEx2()->font());  // the index and the text alike
        QCOMPARE(EditorEx3()->font(), EditorEx2()->font());
        const int pageAt125 = PageWidth();

        // Ctrl+wheel: each over its own view, whatever has the focus.
        CtrlWheel(EditorEx2()->viewport(), -1);
        QCOMPARE(EditorEx2()->RowHeight(), rowHeight);
        QVERIFY(WebBrowser1()->focusProxy());
        CtrlWheel(WebBrowser1()->focusProxy(), 1);
        QTRY_VERIFY(PageWidth() < pageAt125 * 0.95);

        // Each end of the range holds; Ctrl+0 goes back to 100 %.
        for (int i = 0; i < 30; ++i) PressKey(cmbSubStr(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
        QTRY_COMPARE(PageWidth(), pageWidth * 4);
        PressKey(cmbSubStr(), QKeySequence(Qt::CTRL | Qt::Key_0));
        QTRY_COMPARE(PageWidth(), pageWidth);
        for (int i = 0; i < 30; ++i) PressKey(EditorEx1(), QKeySequence(Qt::CTRL | Qt::Key_Plus));
        QCOMPARE(EditorEx2()->font().pixelSize(), 4 * 12);

        // Another record keeps the zoom.
        PressKey(cmbSubStr(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
        const int zoomedOut = PageWidth();
        Action("F1")->trigger();
        QTRY_COMPARE(PageWidth(), zoomedOut);
    }

    void theZoomIsRememberedAndAPrintIsAsAtFullSize() {
        const QString atFullSize = dir.filePath(QStringLiteral("100.pdf"));
        const QString zoomed = dir.filePath(QStringLiteral("300.pdf"));
        const auto print = [this](const QString& pdf) {
            auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(pdf);
            WebBrowser1()->PrintTo(printer);
        };
        print(atFullSize);
        const int pageWidth = PageWidth();
        form->SetPageZoom(300);
        form->SetTextZoom(50);
        QTRY_COMPARE(PageWidth(), pageWidth / 3);
        print(zoomed);
        QCOMPARE(PrintedWords(zoomed), PrintedWords(atFullSize));
        QVERIFY(!PrintedWords(zoomed).isEmpty());
        QTRY_COMPARE(PageWidth(), pageWidth / 3);  // the view is zoomed again after the print

        const QString settings = form->Files().settings;
        form->close();
        form.reset();
        CreateTestForms();
        form->Files().settings = settings;
        form->LoadSettings();
        QVERIFY(ShowAndActivate());
        form->LoadDictionary(dir.filePath(QStringLiteral("dic.txt")));
        Action("T1")->trigger();
        QTRY_COMPARE(PageWidth(), pageWidth / 3);
        QCOMPARE(EditorEx2()->font().pixelSize(), 6);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<ZoomTest>(argc, argv); }

#include "ZoomTest.moc"
