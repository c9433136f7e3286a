// The three dialogs on their own, offscreen: the options dialog's resizing and tab
// order, the information dialog's facts and placing, the version dialog's strip,
// timers and clicks driven by a test clock, and the gauge's arithmetic and pixels.
#include "app/FormTestSupport.h"
#include "common/SystemHelpers.h"
#include "common/VersionInfo.h"
#include "dialogs/TGauge.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <string>
#include <vector>

namespace {

// Counts its paints, to tell a repaint from none.
class CountingGauge : public TGauge {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        TGauge::paintEvent(event);
    }
};

// Allowing for the rounding of odd sizes.
bool IsCentredOver(const QWidget* dialog, const QWidget* owner) {
    const QPoint offset = dialog->frameGeometry().center() - owner->frameGeometry().center();
    if (offset.manhattanLength() <= 2) return true;
    qWarning() << dialog->frameGeometry() << "is not centred over" << owner->frameGeometry();
    return false;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

    QWidget owner;
    QTemporaryDir dir;
    std::vector<std::string> openedLinks;

    // Shown, with its timers stopped so that only the test clock moves it.
    void ShowStill(TfrmVersion& dialog) {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.Timer1->stop();
        dialog.Timer2->stop();
    }

private slots:
    void initTestCase() {
        owner.setGeometry(100, 80, 800, 600);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        SetOpenLinkHandler([this](std::string_view link) { openedLinks.emplace_back(link); });

        const QString version = dir.filePath(QStringLiteral("version.txt"));
        QFile file(version);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Translation=0411 03A4\n041103A4\\FileVersion=1.0.0.2\n"
                   "041103A4\\Comments=https://quillor.example/\n");
        file.close();
        UseVersionResource(version.toStdString());
    }

    void optionDialogKeepsItsWidthAndMinimumHeightAndStretchesTheMemo() {
        TfrmOption dialog(&owner);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.size(), QSize(237, 390));

        dialog.resize(400, 200);
        QCOMPARE(dialog.size(), QSize(237, 300));
        QCOMPARE(dialog.Memo1->height(), 195);
        dialog.resize(200, 500);
        QCOMPARE(dialog.Memo1->geometry(), QRect(0, 24, 89, 395));
        QCOMPARE(dialog.Button1->geometry(), QRect(100, 430, 77, 25));
    }

    void optionDialogTabsFromMemoToButtonToEditAndClosesOnTheButton() {
        TfrmOption dialog(&owner);
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.Memo1->setFocus();
        const QString words = dialog.Memo1->toPlainText();

        for (QWidget* next : std::initializer_list<QWidget*>{dialog.Button1, dialog.Edit1, dialog.Memo1}) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QCOMPARE(dialog.Memo1->toPlainText(), words);  // the tab moved on, it was not typed

        dialog.Edit1->setText(QStringLiteral("1,000"));
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.Edit1->text(), QStringLiteral("1,000"));
    }

    void informationDialogShowsTheFactsItWasGivenCentredOverItsOwner() {
        TfrmInfomation dialog(&owner);
        dialog.ShowFacts(QStringLiteral(".../dic/med.txt"), QStringLiteral("/home/ann/dic/med.txt"),
                         QStringLiteral("0"), QStringLiteral("2026/12/08 9:41:07"), QStringLiteral("12345"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(IsCentredOver(&dialog, &owner));
        QCOMPARE(dialog.edtFilename->text(), QStringLiteral(".../dic/med.txt"));
        QCOMPARE(dialog.edtFilename->toolTip(), QStringLiteral("/home/ann/dic/med.txt"));
        QCOMPARE(dialog.edtFileSize->text(), QStringLiteral("0"));
        QCOMPARE(dialog.edtFileUpdate->text(), QStringLiteral("2026/12/08 9:41:07"));
        QCOMPARE(dialog.edtNumOfData->text(), QStringLiteral("12345"));
        QVERIFY(dialog.edtFilename->focusPolicy() & Qt::TabFocus);
        QVERIFY(!(dialog.edtFileSize->focusPolicy() & Qt::TabFocus));
        QTest::mouseClick(dialog.Button1, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());

        // Moved away and shown again: back over the owner, with the new facts.
        dialog.move(0, 0);
        dialog.ShowFacts(QStringLiteral("b.txt"), QStringLiteral("/b.txt"), QStringLiteral("-1"), QString(),
                         QStringLiteral("0"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(IsCentredOver(&dialog, &owner));
        QCOMPARE(dialog.edtFilename->toolTip(), QStringLiteral("/b.txt"));
        QVERIFY(dialog.edtFileUpdate->text().isEmpty());
        dialog.close();
    }

    void versionDialogStripGrowsFourPercentATickAndStopsAtFull() {
        TfrmVersion dialog(&owner);
        ShowStill(dialog);
        QVERIFY(IsCentredOver(&dialog, &owner));
        QCOMPARE(dialog.Label2->text(), QString(41, QLatin1Char(' ')) + QStringLiteral("Ver.1.0.0.2"));
        QVERIFY(!dialog.Label5->isVisible());

        dialog.Timer2Timer();
        QCOMPARE(dialog.Label5->text(), QStringLiteral("004"));
        QCOMPARE(dialog.Gauge1->Progress(), 4);
        dialog.Timer2Timer();
        QCOMPARE(dialog.Label5->text(), QStringLiteral("008"));
        for (int tick = 3; tick <= 25; ++tick) dialog.Timer2Timer();
        QCOMPARE(dialog.Label5->text(), QStringLiteral("100"));
        dialog.Timer2Timer();
        QCOMPARE(dialog.ProgressCount(), 26);
        QCOMPARE(dialog.Label5->text(), QStringLiteral("104"));
        QCOMPARE(dialog.Gauge1->Progress(), 100);

        // The strip over the top edge is painted full, in the caption grey.
        QCOMPARE(dialog.grab().toImage().pixelColor(385, 2), dialog.Gauge1->ForeColor());
        QVERIFY(dialog.Gauge1->ForeColor() != Qt::white);
    }

    void versionDialogClosesByItselfAndOnClicksButNotOnTheLink() {
        TfrmVersion dialog(&owner);
        ShowStill(dialog);
        dialog.Timer1->start();
        dialog.Timer1Timer();
        QVERIFY(!dialog.isVisible());
        QVERIFY(!dialog.Timer1->isActive());

        for (QLabel* label : {dialog.Label1, dialog.Label2, dialog.Label4}) {
            ShowStill(dialog);
            QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(200, label->height() / 2));
            QVERIFY2(!dialog.isVisible(), qPrintable(label->objectName()));
        }

        ShowStill(dialog);
        openedLinks.clear();
        QTest::mouseClick(dialog.Label3, Qt::LeftButton, {}, QPoint(200, 25));
        QTest::mouseClick(dialog.Label3, Qt::RightButton, {}, QPoint(200, 25));
        QVERIFY(dialog.isVisible());
        QCOMPARE(openedLinks, std::vector<std::string>{"https://quillor.example/"});
        dialog.close();
    }

    void versionDialogStartsAfreshWhenShownAgain() {
        TfrmVersion dialog(&owner);
        ShowStill(dialog);
        for (int tick = 0; tick < 5; ++tick) dialog.Timer2Timer();
        QTest::mouseClick(dialog.Label1, Qt::LeftButton, {}, QPoint(200, 30));
        dialog.Timer2Timer();  // a late tick on the hidden dialog
        QCOMPARE(dialog.Gauge1->Progress(), 24);

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.ProgressCount(), 0);
        QCOMPARE(dialog.Gauge1->Progress(), 0);
        QVERIFY(dialog.Timer1->isActive() && dialog.Timer2->isActive());
        QCOMPARE(dialog.Timer1->interval(), 12000);
        QCOMPARE(dialog.Timer2->interval(), 500);
        QCOMPARE(dialog.grab().toImage().pixelColor(1, 2), QColor(Qt::white));
        dialog.close();
    }

    void gaugeArithmetic() {
        QCOMPARE(GaugePercentDone(0, 3, 2), 66);
        QCOMPARE(GaugePercentDone(-50, 50, 0), 50);
        QCOMPARE(GaugePercentDone(7, 7, 7), 0);
        QCOMPARE(GaugePercentDone(0, 2'000'000'000, 1'000'000'000), 50);

        QCOMPARE(GaugeFilledWidth(385, 4), 15);     // 386 × 0.04 = 15.44
        QCOMPARE(GaugeFilledWidth(385, 100), 386);  // one past the inner width
        QCOMPARE(GaugeFilledWidth(99, 29), 28);     // 100 × 0.29 falls just short of 29

        TGauge gauge;
        gauge.SetProgress(150);
        QCOMPARE(gauge.Progress(), 100);
        gauge.SetProgress(-5);
        QCOMPARE(gauge.Progress(), 0);
        gauge.SetProgress(80);
        gauge.SetMaxValue(50);
        QCOMPARE(gauge.Progress(), 50);
    }

    void gaugeRepaintsOnlyWhenThePercentageChanges() {
        CountingGauge gauge;
        gauge.resize(100, 10);
        gauge.SetMaxValue(1000);
        gauge.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gauge));
        QApplication::processEvents();
        const int before = gauge.paints;

        gauge.SetProgress(5);  // still 0 %
        QApplication::processEvents();
        QCOMPARE(gauge.paints, before);
        gauge.SetProgress(10);  // 1 %
        QApplication::processEvents();
        QCOMPARE(gauge.paints, before + 1);
    }

    void gaugePaintsBorderBackgroundAndBar() {
        TGauge gauge;
        gauge.resize(101, 10);  // inner 99 wide: 50 % fills int(100 × 0.5) = 50 pixels
        gauge.SetShowText(false);
        gauge.SetForeColor(Qt::red);
        gauge.SetProgress(50);
        const QImage image = gauge.grab().toImage();
        QCOMPARE(image.pixelColor(0, 5), QColor(Qt::black));
        QCOMPARE(image.pixelColor(100, 5), QColor(Qt::black));
        QCOMPARE(image.pixelColor(50, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(image.pixelColor(50, 8), QColor(Qt::red));
        QCOMPARE(image.pixelColor(51, 5), QColor(Qt::white));

        gauge.SetBorderStyle(TGaugeBorderStyle::bsNone);
        gauge.SetMinValue(50);  // an empty range: nothing filled
        const QImage empty = gauge.grab().toImage();
        QCOMPARE(empty.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(empty.pixelColor(100, 9), QColor(Qt::white));
    }
};

int main(int argc, char* argv[]) { return RunFormTests<DialogsTest>(argc, argv); }

#include "DialogsTest.moc"
