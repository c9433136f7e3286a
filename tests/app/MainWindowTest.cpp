// The real main window, driven offscreen: its layout, loading, clicks, the caret, the
// compact layout, the splitter and the error report.
#include "app/Actions.h"
#include "app/FormTestSupport.h"
#include "app/TSplitter.h"
#include "common/ErrorBoundary.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "dialogs/TfrmOption.h"
#include "textview/TEditorEx.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

// A numbered dictionary of `count` sound records, CR LF.
std::string Dictionary(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += std::to_string(i) + " word" + std::to_string(i) + "///" + Sjis::FromUtf8("訳語").bytes +
                ":::Example " + std::to_string(i) + ".\r\n";
    return text;
}

}  // namespace

class MainWindowTest : public FormTestBase {
    Q_OBJECT

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
    }

    void cleanup() { form.reset(); }

    void layoutHasEveryControlWithItsCaptionAndState() {
        QCOMPARE(form->windowTitle(), QStringLiteral("QuillorDic - "));
        QCOMPARE(form->size(), QSize(737, 483));
        QCOMPARE(form->minimumSize(), QSize(318, 200));

        const struct {
            const char* name;
            const char* hint;
        } buttons[] = {
            {"SpeedButton2", "検索結果のインデックス･リストと表示を切り替えます"},
            {"cmbSubStr", "検索する文字列をここに入力します(RETURNで履歴に登録)"},
            {"rdoSelectCondition0", "見出し、訳文、例文の全部を対象にします"},
            {"rdoSelectCondition1", "見出しだけを対象にします"},
            {"rdoSelectCondition2", "訳文だけを対象にします"},
            {"rdoSelectCondition3", "例文だけを対象にします"},
            {"chkNotSeparateWord", "検索文字列をスペース区切りで分離するかを指定します"},
            {"chkNotPartMatch", "英文検索を単語単位か文字列部分一致かを指定します"},
            {"chkSearchWithAnd", "検索文字列を複数指定した場合の一致方法を指定します"},
            {"chkDispSentence", "検索に一致したパラグラフだけか全部表示かを指定します"},
        };
        for (const auto& [name, hint] : buttons) {
            auto* widget = form->findChild<QWidget*>(QString::fromLatin1(name));
            QVERIFY2(widget, name);
            QCOMPARE(widget->toolTip(), QString::fromUtf8(hint));
            QCOMPARE(widget->accessibleDescription(), QString::fromUtf8(hint));
            QVERIFY2(!widget->accessibleName().isEmpty(), name);
        }

        QCOMPARE(cmbSubStr()->currentText(), QStringLiteral("abate"));
        QCOMPARE(Button("SpeedButton1")->text(), QStringLiteral("検索"));
        QCOMPARE(Button("SpeedButton2")->text(), QStringLiteral("インデックス"));
        QCOMPARE(Child<QLabel>("Label1")->text(), QStringLiteral("<検索対象>"));
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("1"));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("0"));
        QVERIFY(Child<QLineEdit>("edtNowNo")->isReadOnly());
        QVERIFY(Child<QRadioButton>("rdoSelectCondition0")->isChecked());
        for (const char* box : {"chkNotSeparateWord", "chkNotPartMatch", "chkSearchWithAnd", "chkDispSentence"})
            QVERIFY2(Child<QCheckBox>(box)->isChecked(), box);
        QVERIFY(!Child<QCheckBox>("chkDispSentence")->isEnabled());

        QCOMPARE(Child<QFrame>("pnlIndex")->width(), 200);
        QVERIFY(EditorEx2()->isVisible());
        QVERIFY(!EditorEx3()->isVisible());
        QCOMPARE(PageControl1()->tabText(0), QStringLiteral("ブラウザ"));
        QCOMPARE(PageControl1()->tabText(1), QStringLiteral("テキスト"));
        QCOMPARE(PageControl1()->currentIndex(), 0);
        QVERIFY(!PageControl1()->isTabVisible(1));
        QCOMPARE(EditorEx1()->WholeText(), std::string("EditorEx1"));
        QVERIFY(EditorEx1()->ReadOnly());
        QVERIFY(!Action("E1")->isChecked());
        QCOMPARE(StatusLabel(StatusPanel::Position)->width(), 100);
        QCOMPARE(StatusLabel(StatusPanel::Count)->width(), 100);

        QCOMPARE(form->Session().HitLimit(), 300);
        QCOMPARE(form->Session().View().separators.title, std::string("///"));
        QVERIFY(form->Files().settings.endsWith(QStringLiteral(".ini")));
        QVERIFY(form->Files().guide.endsWith(QStringLiteral(".mht")));
        QCOMPARE(form->Session().IgnoredWordsText(),
                 QStringLiteral("in\nthe\nof\non\nfor\nat\nto\ngo\nend\nany\n"));
        QVERIFY(!Child<TfrmOption>("frmOption")->isVisible());
    }

    // The menus, the tool bar and the keys come from one table of commands: each is one
    // action, standing where the table puts it and shared by its tool button.
    void everyCommandIsOneActionSharedByItsMenuItemButtonAndKeys() {
        QSet<QAction*> inTable;
        QMap<QString, QString> keyOwners;
        for (const CommandSpec& spec : CommandTable()) {
            QAction* action = Action(spec.objectName);
            QVERIFY2(!inTable.contains(action), spec.objectName);
            inTable.insert(action);
            QCOMPARE(action->shortcuts(), spec.keys);
            for (const QKeySequence& key : spec.keys) {
                QVERIFY2(!keyOwners.contains(key.toString()), qPrintable(key.toString() + QStringLiteral(" twice")));
                keyOwners.insert(key.toString(), QString::fromLatin1(spec.objectName));
            }
            if (spec.menu) {
                const QList<QAction*> items = Child<QMenu>(spec.menu)->actions();
                const qsizetype at = items.indexOf(action);
                QVERIFY2(at >= 0, spec.objectName);
                if (spec.separatorBefore) {
                    QVERIFY2(at > 0 && items[at - 1]->isSeparator(), spec.objectName);
                    QCOMPARE(items[at - 1]->objectName(), QString::fromLatin1(spec.separatorBefore));
                }
            }
            if (spec.toolButton) {
                QToolButton* button = Button(spec.toolButton);
                QCOMPARE(button->defaultAction(), action);
                QVERIFY2(!action->toolTip().isEmpty(), spec.objectName);
                QCOMPARE(button->accessibleDescription(), action->toolTip());
                QVERIFY2(!button->accessibleName().isEmpty(), spec.toolButton);
            }
        }
        // Every item of the menu bar is a command of the table (submenus aside), and each
        // menu's & keys pick one item each.
        for (QAction* menuAction : Child<QMenuBar>("MainMenu1")->actions()) {
            QSet<QChar> mnemonics;
            for (QAction* item : menuAction->menu()->actions()) {
                if (item->isSeparator()) continue;
                if (!item->menu()) QVERIFY2(inTable.contains(item), qPrintable(item->objectName()));
                const qsizetype amp = item->text().indexOf(QLatin1Char('&'));
                QVERIFY2(amp >= 0, qPrintable(item->text()));
                const QChar key = item->text().at(amp + 1).toUpper();
                QVERIFY2(!mnemonics.contains(key), qPrintable(item->text()));
                mnemonics.insert(key);
            }
        }
        QVERIFY(Action("E1")->isCheckable());
        QVERIFY(Action("ClipboardLookup1")->isCheckable());
    }

    void loadFillsBothViewsAndReportsSize() {
        const std::string bytes = Dictionary(30);
        const QString path = WriteFile(QStringLiteral("small.txt"), bytes);
        StatusLabel(StatusPanel::Message)->setText(QStringLiteral("before"));
        form->LoadDictionary(path);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("Size=%1").arg(bytes.size()));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("before"));  // no damage: panel 2 keeps its text
        QCOMPARE(form->Session().DataFile(), path);
        QCOMPARE(EditorEx1()->LineCount(), 30);
        QCOMPARE(EditorEx2()->LineCount(), 30);
        QCOMPARE(EditorEx2()->Line(29), std::string("word30"));
        QVERIFY(!EditorEx1()->Modified());
    }

    void loadOfADamagedFileReportsTheCounts() {
        const QString path = WriteFile(QStringLiteral("damaged.txt"),
                                       "1 a///x:::y\r\nnospace\r\n\r\nnone\r\n2 b\r\n3 c///x:::y\r\n");
        form->LoadDictionary(path);
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("3//1::0 データの修復が必要です"));
        QCOMPARE(EditorEx2()->LineCount(), 2);
    }

    void aFailedLoadChangesNothingAndIsReported() {
        form->LoadDictionary(WriteFile(QStringLiteral("good.txt"), Dictionary(3)));
        const QString missing = dir.filePath(QStringLiteral("missing.txt"));
        QVERIFY_THROWS_EXCEPTION(std::exception, form->LoadDictionary(missing));
        QCOMPARE(EditorEx2()->LineCount(), 3);
        QVERIFY(form->Session().DataFile().endsWith(QStringLiteral("good.txt")));
    }

    void openCommandProposesTheSampleAndLoadsTheChosenFile() {
        const QString path = WriteFile(QStringLiteral("opened.txt"), Dictionary(5));
        QString proposed;
        form->FileDialogs().open = [&](const QString& proposal) {
            proposed = proposal;
            return path;
        };
        Action("Open1")->trigger();
        QVERIFY(proposed.endsWith(QStringLiteral("/Tarnowe_Medical_Dic.txt")));
        QCOMPARE(form->Session().DataFile(), path);
        QVERIFY(form->windowTitle().startsWith(QStringLiteral("QuillorDic - ")));
        QVERIFY(form->windowTitle().endsWith(QStringLiteral("opened.txt")));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));  // the first record is shown
        QCOMPARE(EditorEx2()->CaretRow(), 0);
        QVERIFY(EditorEx2()->HasKeyboardFocus());

        const QString title = form->windowTitle();
        form->FileDialogs().open = [](const QString&) { return QString(); };  // cancelled
        Action("Open1")->trigger();
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->Session().DataFile(), path);
    }

    void clicksInTheFullTextViewAndTheIndex() {
        form->LoadDictionary(WriteFile(QStringLiteral("clicks.txt"), Dictionary(10)));

        PageControl1()->setTabVisible(1, true);
        PageControl1()->setCurrentIndex(1);
        QTest::mouseClick(EditorEx1()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx1(), 4));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4(4)4"));
        QTest::mouseClick(EditorEx1()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx1(), 0));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.0(0)0"));

        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 3));
        QCOMPARE(EditorEx2()->CaretRow(), 3);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));

        // Below the last row: the caret goes to the empty place after it; nothing is shown.
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 15));
        QCOMPARE(EditorEx2()->CaretRow(), 10);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));

        // The arrow keys move the band but show nothing.
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 2));
        QTest::keyClick(EditorEx2(), Qt::Key_Down);
        QCOMPARE(EditorEx2()->CaretRow(), 3);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
    }

    void setCaretRowScrollsOnlyWithTheFocus() {
        form->LoadDictionary(WriteFile(QStringLiteral("long.txt"), Dictionary(500)));
        TEditorEx* index = EditorEx2();
        Button("SpeedButton1")->setFocus();
        index->SetCaretRow(300);
        QCOMPARE(index->CaretRow(), 300);
        QCOMPARE(index->TopRow(), 0);  // no focus: no scrolling

        index->TakeFocus();
        index->SetCaretRow(300);  // the same row: nothing at all
        QCOMPARE(index->TopRow(), 0);
        index->SetCaretRow(400);
        QCOMPARE(index->TopRow(), 400 - index->VisibleRowCount() + 1);  // the row becomes the bottom row
        index->SetCaretRow(350);
        QCOMPARE(index->TopRow(), 350);  // the row becomes the top row
        const std::int64_t top = index->TopRow();
        index->SetCaretRow(352);
        QCOMPARE(index->TopRow(), top);  // visible already

        index->SetCaretRow(10'000);
        QCOMPARE(index->CaretRow(), 500);  // after the last row: the text ends with a line break
        index->SetCaretRow(-5);
        QCOMPARE(index->CaretRow(), 0);

        EditorEx1()->SetWholeText("a\r\nb");  // no final line break
        EditorEx1()->SetCaretRow(9);
        QCOMPARE(EditorEx1()->CaretRow(), 1);
    }

    void compactLayoutAndBackRestoresTheSizeAndTheHeadwordIndex() {
        form->LoadDictionary(WriteFile(QStringLiteral("compact.txt"), Dictionary(5)));
        form->resize(800, 520);
        QTest::qWait(10);
        Button("SpeedButton2")->click();  // the search index is showing
        QVERIFY(EditorEx3()->isVisible());

        Button("SpeedButton7")->click();
        QVERIFY(Child<QWidget>("pnlIndex")->isHidden());
        QCOMPARE(form->size(), QSize(318, 200));
        QVERIFY(!Child<QMenuBar>("MainMenu1")->isVisible());
        QVERIFY(!Child<QStatusBar>("StatusBar1")->isVisible());
        QVERIFY(!Child<QFrame>("pnlZenKenCon")->isVisible());
        QVERIFY(!PageControl1()->isVisible());
        QVERIFY(Child<QFrame>("pnlBrowser")->isVisible());
        QCOMPARE(Child<QFrame>("pnlBrowser")->parentWidget(), Child<QFrame>("pnlBase"));
        // The menu is detached, and its keys with it, also those of the commands whose
        // tool buttons stay on screen.
        const QString panel0 = Status(StatusPanel::Position);
        const QString hit = Child<QLineEdit>("edtNowNo")->text();
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(form.get(), Qt::Key_F3);
        QCOMPARE(Status(StatusPanel::Position), panel0);
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), hit);

        Action("S1")->trigger();
        QVERIFY(!Child<QWidget>("pnlIndex")->isHidden());
        QCOMPARE(form->size(), QSize(800, 520));
        QVERIFY(Child<QMenuBar>("MainMenu1")->isVisible());
        QVERIFY(EditorEx2()->isVisible());
        QVERIFY(!EditorEx3()->isVisible());
        QCOMPARE(Button("SpeedButton2")->text(), QStringLiteral("インデックス"));
        QCOMPARE(Child<QFrame>("pnlBrowser")->parentWidget(), Child<QWidget>("TabSheet1"));
        QCOMPARE(Child<TSplitter>("Splitter1")->x(), Child<QFrame>("pnlIndex")->width());
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));  // the current record shown again
    }

    void leavingTheCompactLayoutShowsTheCurrentRowOfTheIndex() {
        form->LoadDictionary(WriteFile(QStringLiteral("long.txt"), Dictionary(400)));
        form->resize(800, 520);
        TEditorEx* index = EditorEx2();
        for (const std::int64_t row : {350, 3}) {
            index->SetCaretRow(row);
            QTest::keyClick(index, Qt::Key_Return);  // what a click on the row does
            Action("S1")->trigger();
            Action("S1")->trigger();
            QTest::qWait(10);  // the layout settles the index's new height
            QCOMPARE(index->CaretRow(), row);
            QVERIFY2(index->TopRow() <= row && row < index->TopRow() + index->VisibleRowCount(),
                     qPrintable(QStringLiteral("row %1, rows %2 to %3 on screen")
                                    .arg(row)
                                    .arg(index->TopRow())
                                    .arg(index->TopRow() + index->VisibleRowCount() - 1)));
        }
    }

    void splitterRefusesAnIndexPaneBelowAHundredPixels() {
        auto* splitter = Child<TSplitter>("Splitter1");
        auto* indexPane = Child<QFrame>("pnlIndex");
        QVERIFY(!splitter->ProposeWidth(99));
        QCOMPARE(indexPane->width(), 200);
        QVERIFY(splitter->ProposeWidth(100));
        QCOMPARE(indexPane->width(), 100);
        QVERIFY(!splitter->ProposeWidth(form->width()));  // the page control keeps its room

        // A drag with the mouse, then the button follows the panel.
        QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(2, 50));
        QMouseEvent move(QEvent::MouseMove, QPointF(62, 50), splitter->mapToGlobal(QPointF(62, 50)),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(splitter, &move);
        QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(62, 50));
        QCOMPARE(indexPane->width(), 160);
        QCOMPARE(Button("SpeedButton2")->width(), Child<QFrame>("Panel2")->width());
    }

private:
    // A fresh window started with the settings naming a file of `records` records.
    bool StartWithDataFile(const QString& name, int records) {
        form.reset();
        CreateTestForms();
        form->Session().SetDataFile(WriteFile(name, Dictionary(records)));
        form->show();
        return QTest::qWaitForWindowExposed(form.get());
    }

private slots:
    void startUpLoadsTheLastDataFileAndShowsTheFirstRecord() {
        QVERIFY(StartWithDataFile(QStringLiteral("last.txt"), 3));
        QCOMPARE(EditorEx2()->LineCount(), 3);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        QVERIFY(form->windowTitle().endsWith(QStringLiteral("last.txt")));

        // One index line: loaded, but no record shown.
        QVERIFY(StartWithDataFile(QStringLiteral("one.txt"), 1));
        QCOMPARE(EditorEx2()->LineCount(), 1);
        QVERIFY(Status(StatusPanel::Position).startsWith(QStringLiteral("Size=")));
    }

    void theToolBarMenuMakesADesktopShortcut() {
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        auto* item = Child<QFrame>("Panel1")->findChild<QAction*>(QStringLiteral("SystemMenu100"));
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ(&D)"));
        item->trigger();
        QTRY_VERIFY(QFile::exists(home.filePath(QStringLiteral("Desktop/QuillorDic.desktop"))));
        qputenv("HOME", savedHome);
    }

    void anExceptionFromAHandlerIsReportedAndTheProgramGoesOn() {
        QString reported;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            reported = box->windowTitle() + QLatin1Char('|') + box->text();
            box->button(QMessageBox::Ok)->click();
        });
        // The last record of an empty index is line -1: the list index error.
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QTRY_VERIFY(!reported.isEmpty());
        QCOMPARE(reported, QStringLiteral("エラー|エラー発生 \r\nリストのインデックスが範囲を超えています (-1)"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.0"));

        form->LoadDictionary(WriteFile(QStringLiteral("after.txt"), Dictionary(4)));
        QVERIFY(ShowAndActivate());
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
    }

    // Qt's frames cannot carry an exception: the handler of every command, button and
    // key reports its own error, and none reaches the application object's catch.
    void everyCommandButtonAndKeyReportsItsOwnError() {
        form->LoadDictionary(WriteFile(QStringLiteral("dic.txt"), Dictionary(4)));
        // Back, forward and the word list act on records read: three read, one step back.
        for (const int row : {0, 1, 2})
            QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), row));
        Action("HistoryBack1")->trigger();
        Action("E1")->trigger();  // the text page and its keys too
        int reported = 0;
        const ErrorReporter previous = SetErrorReporter([&](const std::exception&) { ++reported; });
        // The first guard of the expected kind entered from the test's own call fails: a
        // command's own slot, or a view's own key handler. A guard in an event loop nested
        // deeper (a page being loaded) is not the handler's own.
        int armedLevel = -1;
        GuardKind armedKind = GuardKind::Slot;
        SetGuardProbe([&](GuardKind kind) {
            if (QThread::currentThread()->loopLevel() != armedLevel || kind != armedKind) return;
            armedLevel = -1;
            throw QuillorError("probe");
        });
        QStringList unreported;
        const int caughtBefore = QuillorApplication::ReportsCaughtByNotify();
        const auto failing = [&](const QString& what, const std::function<void()>& act,
                                 GuardKind kind = GuardKind::Slot) {
            reported = 0;
            armedKind = kind;
            armedLevel = QThread::currentThread()->loopLevel();
            act();
            armedLevel = -1;
            if (reported != 1) unreported.append(what);
        };

        const auto ours = [](const QObject* object) {
            return !object->objectName().isEmpty() && !object->objectName().startsWith(QLatin1String("qt_")) &&
                   !qobject_cast<const QTabBar*>(object->parent());
        };
        for (QAction* action : form->findChildren<QAction*>()) {
            if (!ours(action) || action->menu() || action->isSeparator()) continue;
            failing(action->objectName(), [&] { action->trigger(); });
            // Its shortcut, typed with the focus in the search box.
            for (const QKeySequence& keys : action->shortcuts())
                failing(keys.toString(), [&] { QTest::keySequence(cmbSubStr()->lineEdit(), keys); });
        }
        for (QToolButton* button : form->findChildren<QToolButton*>())
            if (ours(button)) failing(button->objectName(), [&] { button->click(); });
        failing(QStringLiteral("Return in the search box"),
                [&] { QTest::keyClick(cmbSubStr()->lineEdit(), Qt::Key_Return); });
        for (TEditorEx* view : {EditorEx1(), EditorEx2(), EditorEx3()}) {
            view->setVisible(true);
            failing(view->objectName() + QStringLiteral(" Return"), [&] { QTest::keyClick(view, Qt::Key_Return); },
                    GuardKind::Handler);
            failing(view->objectName() + QStringLiteral(" click"), [&] { emit view->OnClick(); });
        }
        for (TEditorEx* index : {EditorEx2(), EditorEx3()})  // Return on a row does what a click does
            failing(index->objectName() + QStringLiteral(" Return signal"), [&] { emit index->OnReturnKey(); });
        failing(QStringLiteral("Ctrl+Tab"),
                [&] { QTest::keyClick(PageControl1()->tabBar(), Qt::Key_Tab, Qt::ControlModifier); },
                GuardKind::Handler);
        failing(QStringLiteral("Splitter1"), [&] { emit Child<TSplitter>("Splitter1")->Moved(); });

        SetGuardProbe(nullptr);
        SetErrorReporter(previous);
        QVERIFY2(unreported.isEmpty(), qPrintable(unreported.join(QLatin1Char(','))));
        QCOMPARE(QuillorApplication::ReportsCaughtByNotify(), caughtBefore);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<MainWindowTest>(argc, argv); }

#include "MainWindowTest.moc"
