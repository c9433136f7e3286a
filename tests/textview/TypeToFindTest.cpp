// Typing in the real headword index: the caret goes to the headword typed and the
// record is shown as a click shows it.
#include "../app/FormTestSupport.h"

#include "common/Sjis.h"
#include "textview/TypeToFind.h"

#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>

#include <chrono>

using namespace std::chrono_literals;

class TypeToFindTest : public FormTestBase {
    Q_OBJECT

private slots:
    void typedLettersFindAndShowAHeadword() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        std::string text;
        int number = 0;
        for (const char* word : {"abate", "abdomen", "Abscess", "acne", "abdominal pain", "cyst", "ガーゼ", "yeast"}) {
            const std::string headword = Sjis::FromUtf8(word).bytes;
            text += std::to_string(++number) + " " + headword + "///x:::" + headword + " here.\r\n";
        }
        const QString path = WriteFile(QStringLiteral("typing.txt"), text);
        form->FileDialogs().open = [&](const QString&) { return path; };
        Action("Open1")->trigger();  // the index has the focus, its caret on the first row
        TEditorEx* index = EditorEx2();
        QVERIFY(index->HasKeyboardFocus());

        auto* finder = index->findChild<TypeToFind*>();
        QVERIFY(finder);
        auto now = std::chrono::steady_clock::time_point{} + 1h;
        finder->SetClock([&] { return now; });
        const auto shows = [&](std::int64_t row) {
            return index->CaretRow() == row &&
                   Status(StatusPanel::Position) == QStringLiteral("No.%1").arg(row + 1);
        };

        // A growing prefix stays on a line it still begins, and moves on when it no longer does.
        QTest::keyClicks(index, "Ab");
        QVERIFY(shows(0));
        QTest::keyClick(index, Qt::Key_S);
        QVERIFY(shows(2));
        QTRY_VERIFY(BodyText(WebBrowser1()).contains(QStringLiteral("Abscess here.")));

        // Backspace: "ab" again, then "abd" is looked for from the caret, not the top.
        QTest::keyClick(index, Qt::Key_Backspace);
        QCOMPARE(index->CaretRow(), 2);
        QTest::keyClick(index, Qt::Key_D);
        QVERIFY(shows(4));

        // Escape: "c" alone, not "abdc".
        QTest::keyClick(index, Qt::Key_Escape);
        QTest::keyClick(index, Qt::Key_C);
        QVERIFY(shows(5));

        // Within a second the prefix grows ("cy" stays on "cyst"); after more than a
        // second a key begins anew ("a", wrapping to the top).
        now += 900ms;
        QTest::keyClick(index, Qt::Key_Y);
        QVERIFY(shows(5));
        now += 1001ms;
        QTest::keyClick(index, Qt::Key_A);
        QVERIFY(shows(0));
        // A key kPause after the one before still extends the prefix; only a longer pause starts anew.
        for (const auto& [pause, prefix] : {std::pair{TypeToFind::kPause + 1ms, "b"},
                                            {TypeToFind::kPause - 1ms, "ab"}, {TypeToFind::kPause, "ab"}}) {
            QTest::keyClick(index, Qt::Key_Escape);
            QTest::keyClick(index, Qt::Key_A);
            now += pause;
            QTest::keyClick(index, Qt::Key_B);
            QCOMPARE(finder->Prefix(), std::string(prefix));
        }

        // Nothing begins so: the caret and the record stay, and the arrow keys still
        // move the band without showing a record.
        QTest::keyClicks(index, "bq");
        QVERIFY(shows(0));
        QTest::keyClick(index, Qt::Key_Down);
        QCOMPARE(index->CaretRow(), 1);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));

        // What an input method commits is typed too; the index takes it although read-only.
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QApplication::sendEvent(index, &query);
        QVERIFY(query.value(Qt::ImEnabled).toBool());
        now += 2s;
        QInputMethodEvent composing(QStringLiteral("が"), {});
        QApplication::sendEvent(index, &composing);
        QCOMPARE(index->CaretRow(), 1);
        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("ガー"));
        QApplication::sendEvent(index, &committed);
        QVERIFY(shows(6));
        QCOMPARE(index->Lines().Line(6), Sjis::FromUtf8("ガーゼ").bytes);  // the index itself unchanged

        // Backspace takes the whole character, so "ガ" stays on "ガーゼ" rather than
        // half of it matching wherever.
        QTest::keyClick(index, Qt::Key_Backspace);
        QCOMPARE(finder->Prefix(), Sjis::FromUtf8("ガ").bytes);

        // Backspace is a key too: the pause runs from it, not from the key before it.
        QTest::keyClick(index, Qt::Key_Escape);
        QTest::keyClicks(index, "abd");
        now += TypeToFind::kPause / 2;
        QTest::keyClick(index, Qt::Key_Backspace);
        now += TypeToFind::kPause - 1ms;
        QTest::keyClick(index, Qt::Key_S);
        QCOMPARE(finder->Prefix(), std::string("abs"));
        QVERIFY(shows(2));
        // A blank inside a prefix is typed, not a page down.
        QTest::keyClick(index, Qt::Key_Escape);
        QTest::keyClicks(index, "abdominal p");
        QCOMPARE(finder->Prefix(), std::string("abdominal p"));
        QVERIFY(shows(4));
    }
};

int main(int argc, char* argv[]) { return RunFormTests<TypeToFindTest>(argc, argv); }

#include "TypeToFindTest.moc"
