// Searching through the real main window, offscreen: the search button and its options,
// every message of an unsuccessful request, the history, the hit navigator, the
// search index and the keyboard.
#include "app/FormTestSupport.h"
#include "common/Sjis.h"
#include "textview/TEditorEx.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include <functional>

namespace {

// The key-marked words of the page on view, joined with "|".
QString MarkedWords(BrowserView* view) {
    return Evaluate(view, QStringLiteral("[...document.body.querySelectorAll('font')]"
                                         ".filter(f => (f.color || '').toUpperCase() == 'BLUE')"
                                         ".map(f => f.textContent).join('|')"))
        .toString();
}

}  // namespace

class SearchTest : public FormTestBase {
    Q_OBJECT

private:
    void Search(const QString& request) {
        cmbSubStr()->setEditText(request);
        QTest::mouseClick(Button("SpeedButton1"), Qt::LeftButton);
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        form->LoadDictionary(WriteFile(QStringLiteral("dic.txt"), EightRecords()));
    }

    void cleanup() { form.reset(); }

    void aSearchShowsTheFirstResultWithItsKeysMarked() {
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=5"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));  // the record display writes last
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("1    "));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("3    "));
        QCOMPARE(EditorEx3()->WholeText(), std::string("heart (1)\r\nheart failure (2)\r\nlung (3)\r\n"));
        QCOMPARE(EditorEx2()->CaretRow(), 1);
        QCOMPARE(EditorEx3()->CaretRow(), 0);
        QVERIFY(EditorEx2()->HasKeyboardFocus());
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("heart"));
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(MarkedWords(WebBrowser1()), QStringLiteral("heart|heart"));

        // Browsing shows the same record without marks.
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 1));
        QTRY_COMPARE(MarkedWords(WebBrowser1()), QString());
    }

    void theOptionsChooseFieldsWordsAndTheWayKeysCombine() {
        Child<QCheckBox>("chkSearchWithAnd")->setChecked(false);  // AND
        Search(QStringLiteral("heart lung"));
        QCOMPARE(EditorEx3()->WholeText(), std::string("lung (3)\r\n"));
        QCOMPARE(MarkedWords(WebBrowser1()), QStringLiteral("lung|lung|heart"));

        Child<QCheckBox>("chkSearchWithAnd")->setChecked(true);
        Child<QRadioButton>("rdoSelectCondition1")->setChecked(true);  // headwords only
        Search(QStringLiteral("heart"));
        QCOMPARE(EditorEx3()->WholeText(), std::string("heart (1)\r\nheart failure (2)\r\n"));
        QCOMPARE(MarkedWords(WebBrowser1()), QStringLiteral("heart"));  // the headword alone

        Child<QRadioButton>("rdoSelectCondition3")->setChecked(true);  // examples only
        Child<QCheckBox>("chkNotPartMatch")->setChecked(false);        // parts of words too
        Search(QStringLiteral("ear"));
        QCOMPARE(EditorEx3()->WholeText(), std::string("heart (1)\r\nheart failure (2)\r\nlung (3)\r\n"));

        Child<QRadioButton>("rdoSelectCondition0")->setChecked(true);
        Child<QCheckBox>("chkNotSeparateWord")->setChecked(false);  // one key, blanks and all
        Search(QStringLiteral("the heart"));
        QCOMPARE(EditorEx3()->WholeText(), std::string("heart failure (2)\r\nlung (3)\r\n"));

        // A Japanese key.
        Child<QCheckBox>("chkNotSeparateWord")->setChecked(true);
        Search(QStringLiteral("心臓"));
        QCOMPARE(EditorEx3()->WholeText(), std::string("heart (1)\r\n"));
    }

    void everyUnsuccessfulRequestSaysWhy() {
        Search(QStringLiteral("heart"));
        const std::string index = EditorEx3()->WholeText();

        const struct {
            const char* request;
            const char* message;
        } failures[] = {
            {"   ", "検索キーが未指定です"},
            {"x the", "検索キーが未指定です"},
            {"kidneys", "見つかりません"},
            {"heart\xF0\x9F\x98\x80", "見つかりません"},  // a character code page 932 cannot hold
            {"ear", "条件に一致しません"},
        };
        for (const auto& [request, message] : failures) {
            Search(QString::fromUtf8(request));
            QCOMPARE(Status(StatusPanel::Message), QString::fromUtf8(message));
            QVERIFY(!QApplication::overrideCursor());
        }
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=6"));  // "ear" inside six words
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("1    "));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("0    "));
        QCOMPARE(EditorEx3()->WholeText(), index);  // the last results stay listed
        QCOMPARE(form->Session().Search().Hits().Count(), std::size_t{0});
        QCOMPARE(form->Session().Search().Keys()[0], std::string("ear"));
        Search(QStringLiteral("x the"));
        QCOMPARE(form->Session().Search().Keys()[0], std::string());  // no dropped key stays
        QCOMPARE(cmbSubStr()->count(), 1);  // only successful requests are kept

        form->Session().SetHitLimit(4);
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("4件を超えた結果があります"));
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=5"));
    }

    void aSearchWithoutADictionaryOrOverTooLittleTextIsRefused() {
        form.reset();
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("対象文字列長が255以下です"));

        form->LoadDictionary(WriteFile(QStringLiteral("one.txt"), "1 heart///x:::" + std::string(300, 'y')));
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("行数:1"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("対象文字列行数が2以下です"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void aSearchRunsOverTheTextLoadedLast() {
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=5"));
        std::string other = EightRecords();
        other.replace(other.find("heart beats"), 5, "brain");
        form->LoadDictionary(WriteFile(QStringLiteral("other.txt"), other));
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=4"));

        // A failed load changes nothing, the search text included.
        QVERIFY_THROWS_EXCEPTION(std::exception, form->LoadDictionary(dir.filePath(QStringLiteral("missing.txt"))));
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=4"));
    }

    void theHitNavigatorStepsThroughTheResultsAndStopsAtBothEnds() {
        Search(QStringLiteral("heart"));
        Button("ForwardBtn")->click();  // before the first: nothing
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("1    "));

        Button("NextBtn")->click();
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("2"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        QCOMPARE(EditorEx2()->CaretRow(), 2);
        QTest::keyClick(form.get(), Qt::Key_F3);
        QCOMPARE(form->Session().CurrentHit(), 3);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
        QTest::keyClick(form.get(), Qt::Key_F3);  // after the last: nothing
        QCOMPARE(form->Session().CurrentHit(), 3);
        QCOMPARE(MarkedWords(WebBrowser1()), QStringLiteral("heart"));

        QTest::keyClick(form.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(form->Session().CurrentHit(), 2);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        Button("ForwardBtn")->click();
        QCOMPARE(form->Session().CurrentHit(), 1);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));
    }

    void steppingScrollsTheVisibleIndexToTheHitWhereverTheFocusIs() {
        // "target" in every 40th of 2,400 records: each step leaves the screen it was on.
        std::string text;
        for (int i = 1; i <= 2400; ++i) text += std::to_string(i) + (i % 40 ? " word///x:::y\r\n" : " target///x:::y\r\n");
        form->LoadDictionary(WriteFile(QStringLiteral("long.txt"), text));
        Search(QStringLiteral("target"));
        QVERIFY(EditorEx2()->VisibleRowCount() < 40);
        const auto caretRowShows = [](const TEditorEx* view) {
            return view->CaretRow() >= view->TopRow() && view->CaretRow() < view->TopRow() + view->VisibleRowCount();
        };
        // One step at a time, with the focus taken away before each.
        const auto step = [&](QWidget* focus, const std::function<void()>& press) {
            focus->setFocus();
            press();
        };
        step(cmbSubStr(), [&] { Button("NextBtn")->click(); });
        QCOMPARE(EditorEx2()->CaretRow(), 79);
        QVERIFY(caretRowShows(EditorEx2()));
        step(WebBrowser1(), [&] { QTest::keyClick(form.get(), Qt::Key_F3); });
        QCOMPARE(EditorEx2()->CaretRow(), 119);
        QVERIFY(caretRowShows(EditorEx2()));
        step(cmbSubStr(), [&] { QTest::keyClick(form.get(), Qt::Key_F3, Qt::ShiftModifier); });
        QCOMPARE(EditorEx2()->CaretRow(), 79);
        QVERIFY(caretRowShows(EditorEx2()));

        // The search index, its caret moved while it was hidden, shows the hit at the switch.
        for (int hit = 3; hit <= 45; ++hit) Button("NextBtn")->click();
        QVERIFY(EditorEx3()->CaretRow() >= EditorEx3()->VisibleRowCount());
        step(cmbSubStr(), [&] { Button("SpeedButton2")->click(); });
        QVERIFY(caretRowShows(EditorEx3()));
        step(cmbSubStr(), [&] { QTest::keyClick(form.get(), Qt::Key_F3, Qt::ShiftModifier); });
        QVERIFY(caretRowShows(EditorEx3()));
        step(cmbSubStr(), [&] { Button("SpeedButton2")->click(); });
        QVERIFY(caretRowShows(EditorEx2()));
    }

    void afterAStopAtTheHitLimitTheNavigatorWalksTheRawHits() {
        form->Session().SetHitLimit(2);
        Search(QStringLiteral("heart"));
        QCOMPARE(form->Session().Search().Hits().Count(), 5u);
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 6));
        for (int hit = 2; hit <= 5; ++hit) {
            Button("NextBtn")->click();
            QCOMPARE(form->Session().CurrentHit(), hit);
            QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.7"));  // the record at the index's caret again
        }
        Button("NextBtn")->click();
        QCOMPARE(form->Session().CurrentHit(), 5);
        Button("ForwardBtn")->click();
        QCOMPARE(form->Session().CurrentHit(), 4);
    }

    void theSearchIndexTakesTheIndexPaneAndJumpsToAResult() {
        Search(QStringLiteral("heart"));
        Button("SpeedButton2")->click();
        QCOMPARE(Button("SpeedButton2")->text(), QStringLiteral("検索インデックス"));
        QVERIFY(EditorEx3()->isVisible());
        QVERIFY(!EditorEx2()->isVisible());

        QTest::mouseClick(EditorEx3()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx3(), 2));
        QCOMPARE(form->Session().CurrentHit(), 3);
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("3"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
        QCOMPARE(EditorEx2()->CaretRow(), 1);  // a jump leaves the headword index alone

        // Keyboard: Up, then Return does what a click does.
        QTest::keyClick(EditorEx3(), Qt::Key_Up);
        QTest::keyClick(EditorEx3(), Qt::Key_Return);
        QCOMPARE(form->Session().CurrentHit(), 2);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));

        // The record commands step through the hits while the search index shows.
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(form->Session().CurrentHit(), 3);
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(form->Session().CurrentHit(), 2);

        Button("SpeedButton2")->click();
        QCOMPARE(Button("SpeedButton2")->text(), QStringLiteral("インデックス"));
        QVERIFY(EditorEx2()->isVisible());
    }

    void returnOnAHeadwordRowShowsThatRecord() {
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 4));
        QTest::keyClick(EditorEx2(), Qt::Key_Down);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.5"));  // the arrow moves the band only
        QTest::keyClick(EditorEx2(), Qt::Key_Enter);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.6"));
    }

    void returnInTheSearchBoxKeepsTheTextInTheHistoryWithoutSearching() {
        cmbSubStr()->setEditText(QStringLiteral("  lung "));
        QTest::keyClick(cmbSubStr()->lineEdit(), Qt::Key_Return);
        QCOMPARE(cmbSubStr()->count(), 1);
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("lung"));
        QCOMPARE(Status(StatusPanel::Count), QString());  // no search ran

        for (const char* text : {"heart", "kidney", "liver"}) form->AddToHistory(QString::fromLatin1(text));
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("liver"));
        // An older entry in another spelling comes to the top, spelled anew, and selected.
        cmbSubStr()->setEditText(QStringLiteral("Heart"));
        form->AddToHistory(QStringLiteral("Heart"));
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("Heart"));
        QCOMPARE(cmbSubStr()->count(), 4);
        QCOMPARE(cmbSubStr()->currentIndex(), 0);
        // A new text goes on top; what is selected and typed stays.
        cmbSubStr()->setEditText(QStringLiteral("typing"));
        form->AddToHistory(QStringLiteral("bone"));
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("bone"));
        QCOMPARE(cmbSubStr()->currentIndex(), 1);
        QCOMPARE(cmbSubStr()->currentText(), QStringLiteral("typing"));
        // Characters code page 932 cannot hold still tell two requests apart.
        form->AddToHistory(QStringLiteral("\U0001F600ab"));
        form->AddToHistory(QStringLiteral("\U0001F601ab"));
        QCOMPARE(cmbSubStr()->count(), 7);
    }

    void theCurrentHitAfterTheLastIndexRowShowsNothing() {
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), 12));
        QCOMPARE(EditorEx2()->CaretRow(), 8);  // the empty place after the last row
        const QString before = Status(StatusPanel::Position);
        // The compact layout's switch shows the current hit, both ways: it must not fail.
        Action("S1")->trigger();
        Action("S1")->trigger();
        QCOMPARE(Status(StatusPanel::Position), before);
    }

    void aSoundLoadClearsTheDamageReportOfTheOneBefore() {
        form->LoadDictionary(WriteFile(QStringLiteral("damaged.txt"), EightRecords() + "broken\r\n"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("1//0::0 データの修復が必要です"));
        form->LoadDictionary(WriteFile(QStringLiteral("sound.txt"), EightRecords()));
        QCOMPARE(Status(StatusPanel::Message), QString());
    }

    void assistiveTechnologyReadsWhatTheStatusPanelsAndCountersShow() {
        Search(QStringLiteral("heart"));
        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(StatusLabel(StatusPanel::Count));
        QVERIFY(panel);
        QCOMPARE(panel->text(QAccessible::Name), QStringLiteral("HitAll=5"));
        QCOMPARE(panel->text(QAccessible::Description), QStringLiteral("検索件数"));
        QAccessibleInterface* counter = QAccessible::queryAccessibleInterface(Child<QLineEdit>("edtSearchHit"));
        QVERIFY(counter);
        QCOMPARE(counter->text(QAccessible::Value), QStringLiteral("3    "));
        QVERIFY(counter->text(QAccessible::Name).isEmpty());
        QCOMPARE(counter->text(QAccessible::Description), QStringLiteral("検索結果件数"));
    }
};

int main(int argc, char* argv[]) { return RunFormTests<SearchTest>(argc, argv); }

#include "SearchTest.moc"
