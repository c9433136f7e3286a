// Looking a word up from elsewhere, through the real main window offscreen: the one
// way in for a word (the requests of later starts and the clipboard),
// the keys of the search box, and requests that must wait for the window.
#include "app/FormTestSupport.h"
#include "common/InstanceRequest.h"
#include "common/ErrorBoundary.h"
#include "common/Sjis.h"
#include "common/SystemHelpers.h"

#include <QAction>
#include <QClipboard>
#include <QListWidget>
#include <QWebEngineScript>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>

namespace {

// The texts the search box showed, each once in a row, leaving out the empty text the
// box passes through while the history takes a new entry.
QStringList Shown(const QSignalSpy& spy) {
    QStringList texts;
    for (const QList<QVariant>& change : spy) {
        const QString text = change.at(0).toString();
        if (!text.isEmpty() && (texts.isEmpty() || texts.last() != text)) texts.append(text);
    }
    return texts;
}

// Headwords with the forms a reader of papers meets, in more than the 255 bytes a
// search needs.
std::string MedicalRecords() {
    const std::string more = " Nothing else is said about it in this record, which is long enough.";
    return "1 bacillus///a:::Rods." + more + "\r\n2 bacterium///b:::Germs." + more +
           "\r\n3 pneumonia///c:::The heart beats on." + more + "\r\n4 heart///d:::The heart beats." + more + "\r\n";
}

}  // namespace

class LookupTest : public FormTestBase {
    Q_OBJECT

private:
    QWidget otherProgram;  // takes the activation, as a window of another program would

    void LeaveTheWindow() {
        otherProgram.show();
        otherProgram.activateWindow();
        QTRY_VERIFY(!form->isActiveWindow());
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        form->LoadDictionary(WriteFile(QStringLiteral("dic.txt"), EightRecords()));
    }

    void cleanup() {
        form.reset();
        otherProgram.hide();
    }

    void aWordFromElsewhereIsSearchedAsTheButtonSearchesIt() {
        LeaveTheWindow();
        form->SearchFor(QStringLiteral("heart"));
        QTRY_VERIFY(form->isActiveWindow());
        QCOMPARE(cmbSubStr()->currentText(), QStringLiteral("heart"));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("3    "));
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));

        // What cannot be typed into the box reads as what can; the rest gets the
        // search's own message.
        const struct {
            const char* text;
            const char* box;
            const char* message;
        } odd[] = {
            {"", "", "検索キーが未指定です"},
            {"\n", " ", "検索キーが未指定です"},
            {"heart\r\nfailure\t", "heart failure ", "heart failure "},
            {"h\xC3\xA9" "art", "h\xC3\xA9" "art", "見つかりません"},  // é: not in code page 932
        };
        for (const auto& [text, box, message] : odd) {
            form->SearchFor(QString::fromUtf8(text));
            QCOMPARE(cmbSubStr()->currentText(), QString::fromUtf8(box));
            QCOMPARE(Status(StatusPanel::Message), QString::fromUtf8(message));
        }
        QCOMPARE(EditorEx3()->WholeText(),
                 std::string("heart (1)\r\nheart failure (2)\r\nlung (3)\r\n"));  // OR: either word
    }

    void aLookupShowsTheHeadwordItsBaseFormOrLinksToNearSpellings() {
        const QString medical = WriteFile(QStringLiteral("medical.txt"), MedicalRecords());
        form->LoadDictionary(medical);
        form->HandleRequest({InstanceRequest::Kind::Lookup, QStringLiteral("Bacilli\n"), QString()});
        QTRY_COMPARE(Status(StatusPanel::Message), QStringLiteral("Bacilli → bacillus"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        QCOMPARE(EditorEx2()->CaretRow(), 0);
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("Bacilli"));

        form->LookUpHeadword(QStringLiteral("pnuemonia"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("もしかして: pneumonia"));
        QCOMPARE(Status(StatusPanel::Position), QString());
        WebBrowser1()->page()->runJavaScript(QStringLiteral("document.links[0].click()"), QWebEngineScript::ApplicationWorld);
        QTRY_COMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        QCOMPARE(EditorEx2()->CaretRow(), 2);
        // A page made before the dictionary was read again links rows it may no longer hold.
        form->LookUpHeadword(QStringLiteral("pnuemonia"));
        form->LoadDictionary(medical);
        WebBrowser1()->page()->runJavaScript(QStringLiteral("document.links[0].click()"), QWebEngineScript::ApplicationWorld);
        QTRY_VERIFY(Status(StatusPanel::Message).startsWith(QStringLiteral("辞書が読み直された")));

        // Neither a headword nor near one: the search of the whole text.
        form->LookUpHeadword(QStringLiteral("beats"));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("2    "));
    }

    // The list under the box offers headwords as they are typed; a row chosen shows its
    // record and leaves the box, the history and the search as they were.
    void typingOffersHeadwordsAndAChosenOneLeavesTheSearchAlone() {
        form->LoadDictionary(WriteFile(QStringLiteral("medical.txt"), MedicalRecords()));
        form->Session().Catalog();
        QLineEdit* edit = cmbSubStr()->lineEdit();
        auto* list = cmbSubStr()->findChild<QListWidget*>();
        QVERIFY(list);
        QTest::keyClick(EditorEx2(), Qt::Key_K, Qt::ControlModifier);
        QTest::keyClicks(cmbSubStr(), QStringLiteral("bact"));
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("bacterium"));
        QTest::keyClicks(cmbSubStr(), QStringLiteral("eria"));
        QCOMPARE(list->item(0)->text(), QStringLiteral("bacteria → bacterium"));
        const int historySize = cmbSubStr()->count();
        QTest::keyClick(cmbSubStr(), Qt::Key_Down);
        QTest::keyClick(cmbSubStr(), Qt::Key_Return);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));
        QCOMPARE(edit->text(), QStringLiteral("bacteria"));
        QCOMPARE(cmbSubStr()->count(), historySize);
        QVERIFY(edit->hasFocus());
        QVERIFY(!list->isVisible());

        // Return on the text itself keeps its meaning: the history takes it.
        edit->selectAll();
        QTest::keyClicks(cmbSubStr(), QStringLiteral("pnuemonia"));
        QTRY_VERIFY(list->isVisible());
        QCOMPARE(list->item(0)->text(), QStringLiteral("pneumonia"));
        QTest::keyClick(cmbSubStr(), Qt::Key_Return);
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("pnuemonia"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));
    }

    // A request arriving while a record page is waited for runs after that command ends,
    // not inside it.
    void aRequestWaitsForThePageBeingWaitedFor() {
        QTimer::singleShot(0, form.get(), [this] { form->HandleRequest({InstanceRequest::Kind::Search, "lung", {}}); });
        form->ShowRecord(4, false);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.5"));
        QVERIFY(cmbSubStr()->currentText() != QStringLiteral("lung"));
        QTRY_COMPARE(cmbSubStr()->currentText(), QStringLiteral("lung"));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.4"));
    }

    void theClipboardIsLookedUpOnlyForANewShortTextCopiedElsewhere() {
        QVERIFY(!Action("ClipboardLookup1")->isChecked());  // off until the user asks
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QSignalSpy box(cmbSubStr(), &QComboBox::editTextChanged);
        LeaveTheWindow();
        clipboard->setText(QStringLiteral("heart"));  // off: nothing

        Action("ClipboardLookup1")->trigger();
        QVERIFY(form->Session().Desktop().clipboardLookup);
        form->activateWindow();
        QTRY_VERIFY(form->isActiveWindow());
        clipboard->setText(QStringLiteral("lung"));  // copied here: the window is active
        LeaveTheWindow();
        clipboard->setImage(QImage(8, 8, QImage::Format_RGB32));
        auto* picture = new QMimeData;  // a picture that brings its name along: only the text is asked for
        picture->setImageData(QImage(8, 8, QImage::Format_RGB32));
        picture->setText(QStringLiteral("bone"));
        clipboard->setMimeData(picture);
        clipboard->setText(QString(1024 * 1024, QLatin1Char('x')));
        clipboard->setText(QString());
        clipboard->setText(QStringLiteral(" \r\n"));
        clipboard->setText(QStringLiteral("h\u00E9art"));  // é: not in code page 932
        const QString bytes256 = QString(128, QChar(0x5FC3));  // 心, two bytes each
        clipboard->setText(bytes256);
        const QString bytes255 = QString(127, QChar(0x5FC3)) + QLatin1Char('x');
        clipboard->setText(bytes255);
        clipboard->setText(QStringLiteral("heart\n"));  // a line copied whole
        QTRY_COMPARE(cmbSubStr()->currentText(), QStringLiteral("heart"));

        QCOMPARE(Shown(box), (QStringList{QStringLiteral("bone"), bytes255, QStringLiteral("heart")}));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));  // looked up: the record of "heart"
        QTRY_VERIFY(form->isActiveWindow());
        Action("ClipboardLookup1")->trigger();
        QVERIFY(!form->Session().Desktop().clipboardLookup);
    }

    void ctrlKReachesTheSearchBoxAndCtrlReturnSearchesFromIt() {
        EditorEx2()->TakeFocus();
        QTest::keyClick(EditorEx2(), Qt::Key_K, Qt::ControlModifier);
        QLineEdit* edit = cmbSubStr()->lineEdit();
        QVERIFY(edit->hasFocus());
        QCOMPARE(edit->selectedText(), QStringLiteral("abate"));

        QTest::keyClicks(edit, QStringLiteral("heart"));  // typed over the selection
        QTest::keyClick(edit, Qt::Key_Return);            // the history only
        QCOMPARE(cmbSubStr()->itemText(0), QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Count), QString());
        QTest::keyClick(edit, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=5"));
        QCOMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("3    "));
        QTest::keyClick(EditorEx2(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(edit->selectedText(), QStringLiteral("heart"));
        QTest::keyClicks(edit, QStringLiteral("lung"));
        QTest::keyClick(edit, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);  // the keypad's
        QCOMPARE(Status(StatusPanel::Count), QStringLiteral("HitAll=2"));
    }

    void aRequestWaitsForTheOpenDialogAndOpensAsTheOpenCommandDoes() {
        // Asked while the options dialog is open, the search comes once it is closed.
        bool searchedMeanwhile = true;
        WhenModalShows([&](QWidget* dialog) {
            form->HandleRequest({InstanceRequest::Kind::Search, QStringLiteral("heart"), QString()});
            QTest::qWait(300);  // time enough for a request that does not wait to run
            searchedMeanwhile = cmbSubStr()->currentText() == QStringLiteral("heart");
            dialog->close();
        });
        Action("O1")->trigger();
        QVERIFY(!searchedMeanwhile);
        QTRY_COMPARE(Child<QLineEdit>("edtSearchHit")->text(), QStringLiteral("3    "));

        // A file to open asks about unsaved edits first, as ファイル → 開く does.
        const QString dictionary = form->Session().DataFile();
        const QString other = WriteFile(QStringLiteral("other.txt"), EightRecords());
        Action("E1")->trigger();
        EditorEx1()->SetModified(true);
        QStringList asked;
        const AskUserHandler previous = SetAskUserHandler([&](std::string_view text, std::string_view, int) {
            asked.append(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
            return AskAnswer::Cancel;
        });
        form->HandleRequest({InstanceRequest::Kind::Open, other, QString()});
        QTRY_COMPARE(asked.size(), 1);
        QVERIFY(asked.front().startsWith(QStringLiteral("辞書ファイルは変更されています")));
        QCOMPARE(form->Session().DataFile(), dictionary);
        SetAskUserHandler(previous);
        EditorEx1()->SetModified(false);

        // A folder is refused in the open command's own words.
        QStringList reported;
        const ErrorReporter reporter = SetErrorReporter([&](const std::exception& error) {
            reported.append(QString::fromUtf8(error.what()));
        });
        form->FileDialogs().open = [&](const QString&) { return dir.path(); };
        Action("Open1")->trigger();
        form->HandleRequest({InstanceRequest::Kind::Open, dir.path(), QString()});
        QTRY_COMPARE(reported.size(), 2);
        SetErrorReporter(reporter);
        QVERIFY(!reported.front().isEmpty());
        QCOMPARE(reported.back(), reported.front());

        form->HandleRequest({InstanceRequest::Kind::Open, other, QString()});
        QTRY_COMPARE(form->Session().DataFile(), other);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<LookupTest>(argc, argv); }

#include "LookupTest.moc"
