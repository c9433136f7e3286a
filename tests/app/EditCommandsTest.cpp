// Edit mode, the question when the user leaves the edited text, saving, save-as, the
// unsaved edits that a close or an open must not drop unasked, and those a termination
// keeps aside.
#include "app/FormTestSupport.h"
#include "common/Sjis.h"
#include "common/SystemHelpers.h"
#include "dictionary/KeptEdits.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QDateTime>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kTranslation = Sjis::FromUtf8("訳語").bytes;
const char* const kSaveQuestion = "辞書ファイルは変更されています.\r\n更新しますか?";

std::string Record(int number, const std::string& headword) {
    return std::to_string(number) + " " + headword + "///" + kTranslation + ":::Example.";
}

std::string Dictionary(std::initializer_list<const char*> headwords) {
    std::string text;
    int number = 0;
    for (const char* headword : headwords) text += Record(++number, headword) + "\r\n";
    return text;
}

std::string Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<unreadable>");
}

mode_t ModeOf(const QString& path) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

struct Question {
    std::string text;
    std::string caption;
    int flags = 0;
};

}  // namespace

class EditCommandsTest : public FormTestBase {
    Q_OBJECT

    // The user's answers, in order, and the questions they answered.
    std::deque<int> answers;
    std::vector<Question> asked;
    AskUserHandler realQuestions;
    // The error reports, acknowledged as they come up.
    QStringList errors;
    QTimer errorWatch;

    // A folder of this test's own: a file one test made read-only must not turn up
    // in the next, nor its settings file.
    std::unique_ptr<QTemporaryDir> files;
    QString Write(const QString& name, const std::string& bytes) {
        const QString path = files->filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return path;
    }

    // `beforeShow` stands for what the settings would have said.
    bool StartForm(const std::function<void()>& beforeShow = {}) {
        CreateTestForms();
        form->Files().settings = files->filePath(QStringLiteral("QuillorDic.ini"));
        form->Files().stateFolder = files->filePath(QStringLiteral("state/QuillorDic"));
        form->Files().keptEditsFolder = form->Files().stateFolder;
        if (beforeShow) beforeShow();
        return ShowAndActivate();
    }

    QTabBar* Tabs() const { return PageControl1()->tabBar(); }
    int Page() const { return PageControl1()->currentIndex(); }

    void ClickTab(int tab) { QTest::mouseClick(Tabs(), Qt::LeftButton, {}, Tabs()->tabRect(tab).center()); }

    // A dictionary loaded and edit mode on, the browser page in front.
    QString LoadForEditing(const QString& name, const std::string& bytes) {
        const QString path = Write(name, bytes);
        form->LoadDictionary(path);
        Action("E1")->trigger();
        return path;
    }

    // The text page in front with line 1 changed.
    void EditOnTextPage(const std::string& line = Record(2, "edited")) {
        ClickTab(1);
        QCOMPARE(Page(), 1);
        EditorEx1()->ReplaceLine(1, line);
        QVERIFY(EditorEx1()->Modified());
    }

private slots:
    void init() {
        files = std::make_unique<QTemporaryDir>();
        QVERIFY(StartForm());
        answers.clear();
        asked.clear();
        realQuestions = SetAskUserHandler([this](std::string_view text, std::string_view caption, int flags) {
            asked.push_back({std::string(text), std::string(caption), flags});
            if (answers.empty()) return AskAnswer::Cancel;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
        errors.clear();
        errorWatch.callOnTimeout(this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->objectName() != QStringLiteral("ErrorReport")) return;
            errors.append(box->text());
            box->accept();
        });
        errorWatch.start(20);
    }

    void cleanup() {
        errorWatch.stop();
        errorWatch.disconnect();
        SetAskUserHandler(std::move(realQuestions));
        form.reset();
        files.reset();
    }

    void editModeShowsTheTextPageOnlyWhileItIsOn() {
        LoadForEditing(QStringLiteral("dic.txt"), Dictionary({"a", "b", "c"}));
        Action("E1")->trigger();  // off again, as at start
        QVERIFY(!Action("E1")->isChecked());
        QVERIFY(!PageControl1()->isTabVisible(1));
        QVERIFY(EditorEx1()->ReadOnly());

        // The hidden text page cannot be reached from the keyboard either.
        Tabs()->setFocus();
        QTest::keyClick(Tabs(), Qt::Key_Right);
        QTest::keyClick(Tabs(), Qt::Key_End);
        QTest::keyClick(Tabs(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(Page(), 0);

        // The menu's own toggle of the check mark does not decide it: edit mode does.
        Action("E1")->trigger();
        QVERIFY(Action("E1")->isChecked());
        QVERIFY(!EditorEx1()->ReadOnly());
        QVERIFY(PageControl1()->isTabVisible(1));
        QCOMPARE(Page(), 0);  // the user opens the text page by its tab

        // A key typed on the text page is an edit like any other.
        ClickTab(1);
        EditorEx1()->setFocus();
        QTest::keyClick(EditorEx1(), Qt::Key_Z);
        QVERIFY(EditorEx1()->Modified());
        answers = {AskAnswer::Cancel};
        ClickTab(0);
        QCOMPARE(asked.size(), 1u);
        QCOMPARE(Page(), 1);

        // Off while the edited text is in front: the browser page, no question, and the
        // edits stay in the view.
        EditOnTextPage();
        Action("E1")->trigger();
        QVERIFY(!Action("E1")->isChecked());
        QCOMPARE(Page(), 0);
        QVERIFY(!PageControl1()->isTabVisible(1));
        QCOMPARE(asked.size(), 1u);
        QVERIFY(EditorEx1()->Modified());
        QCOMPARE(EditorEx1()->Line(1), Record(2, "edited"));
    }

    void everyWayOfLeavingTheEditedTextAsksAndCancelStays() {
        const QString path = LoadForEditing(QStringLiteral("dic.txt"), Dictionary({"a", "b", "c"}));
        const std::string before = Bytes(path);

        // No edit yet: the page turns without a word, by a click or by Ctrl+Tab.
        ClickTab(1);
        ClickTab(0);
        QCOMPARE(Page(), 0);
        ClickTab(1);
        QTest::keyClick(EditorEx1(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(Page(), 0);
        QVERIFY(asked.empty());

        EditOnTextPage();
        const std::vector<std::function<void()>> ways = {
            [&] { ClickTab(0); },
            [&] { QTest::keyClick(EditorEx1(), Qt::Key_Tab, Qt::ControlModifier); },
            [&] { QTest::keyClick(EditorEx1(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier); },
            [&] { QTest::keyClick(EditorEx1(), Qt::Key_PageUp, Qt::ControlModifier); },
            [&] { QTest::keyClick(EditorEx1(), Qt::Key_PageDown, Qt::ControlModifier); },
            [&] { QTest::keyClick(Tabs(), Qt::Key_Left); },
            [&] { QTest::keyClick(Tabs(), Qt::Key_Home); },
        };
        for (std::size_t i = 0; i < ways.size(); ++i) {
            answers = {AskAnswer::Cancel};
            ways[i]();
            QCOMPARE(asked.size(), i + 1);
            QCOMPARE(Page(), 1);
        }
        QCOMPARE(asked.front().text, std::string(kSaveQuestion));
        QCOMPARE(asked.front().caption, std::string("情報"));
        QCOMPARE(asked.front().flags, AskFlags::YesNoCancel | AskFlags::IconInformation);

        // The wheel turns no page, and the program's own page changes ask nothing.
        QWheelEvent wheel(Tabs()->tabRect(1).center(), Tabs()->mapToGlobal(Tabs()->tabRect(1).center()), {},
                          {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Tabs(), &wheel);
        QCOMPARE(Page(), 1);
        PageControl1()->setCurrentIndex(0);
        PageControl1()->setCurrentIndex(1);
        QCOMPARE(asked.size(), ways.size());

        // No: the page turns, nothing is written, and the next departure asks again.
        answers = {AskAnswer::No};
        ClickTab(0);
        QCOMPARE(Page(), 0);
        QCOMPARE(Bytes(path), before);
        QVERIFY(EditorEx1()->Modified());
        ClickTab(1);
        answers = {AskAnswer::No};
        ClickTab(0);
        QCOMPARE(asked.size(), ways.size() + 2);
        QCOMPARE(Page(), 0);
        QVERIFY(errors.isEmpty());
    }

    void yesWritesTheTextBackAndReloadsIt() {
        // Mixed line breaks and no break at the end: lines are written back with CR LF,
        // the last one without.
        const QString path = LoadForEditing(QStringLiteral("dic.txt"),
                                            Record(1, "a") + "\n" + Record(2, "b") + "\r\n" + Record(3, "c"));
        EditOnTextPage(Record(2, "bee"));
        answers = {AskAnswer::Yes};
        ClickTab(0);

        const std::string saved = Record(1, "a") + "\r\n" + Record(2, "bee") + "\r\n" + Record(3, "c");
        QCOMPARE(Bytes(path), saved);
        QCOMPARE(Page(), 0);
        QVERIFY(!EditorEx1()->Modified());
        QCOMPARE(EditorEx2()->Line(1), std::string("bee"));  // the index follows the saved text
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("Size=%1").arg(saved.size()));
        QCOMPARE(form->Session().DataFile(), path);

        ClickTab(1);
        ClickTab(0);
        QCOMPARE(asked.size(), 1u);
        QCOMPARE(Page(), 0);
        QVERIFY(errors.isEmpty());

        // A data file deleted while it is being edited comes back with the edits.
        QVERIFY(QFile::remove(path));
        EditOnTextPage(Record(2, "again"));
        answers = {AskAnswer::Yes};
        ClickTab(0);
        QCOMPARE(Bytes(path), Record(1, "a") + "\r\n" + Record(2, "again") + "\r\n" + Record(3, "c"));
        QVERIFY(errors.isEmpty());

        // A text emptied whole is saved, though no load takes a file of nothing: the
        // refusal is reported, the page turns all the same, and the text counts as saved.
        ClickTab(1);
        QTest::keyClick(EditorEx1(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(EditorEx1(), Qt::Key_Delete);
        answers = {AskAnswer::Yes};
        ClickTab(0);
        QCOMPARE(Bytes(path), std::string());
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors.front().startsWith(QStringLiteral("エラー発生 \r\nWin32 エラー。コード : ")));
        QCOMPARE(Page(), 0);
        QVERIFY(!EditorEx1()->Modified());
        ClickTab(1);
        ClickTab(0);
        QVERIFY(form->close());
        QCOMPARE(asked.size(), 3u);
    }

    void aSaveThatFailsKeepsTheEditsInFront() {
        const QString path = LoadForEditing(QStringLiteral("dic.txt"), Dictionary({"a", "b"}));
        const std::string before = Bytes(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner);
        EditOnTextPage();
        answers = {AskAnswer::Yes};
        ClickTab(0);
        QCOMPARE(errors, QStringList{QStringLiteral("エラー発生 \r\nファイル %1 を作成できません: 読み出し専用です").arg(path)});
        QCOMPARE(Bytes(path), before);
        QVERIFY(EditorEx1()->Modified());
        QCOMPARE(Page(), 1);
        QCOMPARE(EditorEx2()->Line(1), std::string("b"));

        // Nothing was ever loaded: there is no file to write to.
        QVERIFY(StartForm());
        Action("E1")->trigger();
        ClickTab(1);
        EditorEx1()->ReplaceLine(0, "typed");
        answers = {AskAnswer::Yes};
        ClickTab(0);
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.back(), QStringLiteral("エラー発生 \r\nファイル  を作成できません: ") + QString::fromLocal8Bit(std::strerror(ENOENT)));
        QCOMPARE(Page(), 1);
    }

    void saveAsWritesTheViewWhereTheUserSaysAndChangesNothingElse() {
        const std::string text = Record(1, "a") + "\n" + Record(2, "b") + "\n";
        const QString path = Write(QStringLiteral("dic.txt"), text);
        form->LoadDictionary(path);
        form->UpdateCaption(path);
        const QString caption = form->windowTitle();
        QString proposed;
        QString answer = files->filePath(QStringLiteral("copy.txt"));
        form->FileDialogs().save = [&](const QString& offered) {
            proposed = offered;
            return answer;
        };

        // Out of edit mode: the text as loaded, with CR LF.
        Action("SaveAs1")->trigger();
        QCOMPARE(proposed, path);
        QCOMPARE(Bytes(answer), Record(1, "a") + "\r\n" + Record(2, "b") + "\r\n");

        // Edited, onto an existing file: replaced without a question; the data file, the
        // caption, the index and the modified flag stay.
        Action("E1")->trigger();
        EditOnTextPage();
        answer = Write(QStringLiteral("existing.txt"), "old");
        Action("SaveAs1")->trigger();
        QCOMPARE(Bytes(answer), Record(1, "a") + "\r\n" + Record(2, "edited") + "\r\n");
        QCOMPARE(Bytes(path), text);
        QCOMPARE(form->Session().DataFile(), path);
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(EditorEx2()->Line(1), std::string("b"));
        QVERIFY(EditorEx1()->Modified());
        QVERIFY(asked.empty());

        // Cancelled: nothing written. A folder that is not there: the error report.
        const QStringList present = QDir(files->path()).entryList(QDir::Files);
        answer.clear();
        Action("SaveAs1")->trigger();
        QCOMPARE(QDir(files->path()).entryList(QDir::Files), present);
        QVERIFY(errors.isEmpty());
        answer = files->filePath(QStringLiteral("missing/copy.txt"));
        Action("SaveAs1")->trigger();
        QCOMPARE(errors, QStringList{QStringLiteral("エラー発生 \r\nファイル %1 を作成できません: %2")
                                         .arg(answer, QString::fromLocal8Bit(std::strerror(ENOENT)))});
    }

    void theSaveDialogProposesTheDataFileAndDoesNotAskToReplace() {
        const QString path = Write(QStringLiteral("dic.txt"), Dictionary({"a", "b"}));
        form->LoadDictionary(path);
        bool seen = false;
        WhenModalShows([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (!dialog) return;
            seen = true;
            QCOMPARE(dialog->objectName(), QStringLiteral("SaveDialog1"));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QVERIFY(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->selectedFiles(), QStringList{path});
            dialog->reject();
        });
        const QDateTime written = QFileInfo(path).lastModified();
        Action("SaveAs1")->trigger();
        QVERIFY(seen);
        QCOMPARE(QDir(files->path()).entryList(QDir::Files), QStringList{QStringLiteral("dic.txt")});
        QCOMPARE(QFileInfo(path).lastModified(), written);
    }

    void unsavedEditsAreAskedAboutBeforeTheWindowCloses() {
        const QString path = LoadForEditing(QStringLiteral("dic.txt"), Dictionary({"a", "b"}));
        const std::string before = Bytes(path);
        EditOnTextPage();

        answers = {AskAnswer::Cancel};
        QVERIFY(!form->close());
        QVERIFY(form->isVisible());
        QVERIFY(!QFile::exists(form->Files().settings));  // a close called off saves nothing

        answers = {AskAnswer::No};
        QVERIFY(form->close());
        QCOMPARE(asked.size(), 2u);
        QCOMPARE(Bytes(path), before);
        QVERIFY(QFile::exists(form->Files().settings));

        // Yes writes the edits, then the window closes.
        QVERIFY(ShowAndActivate());
        answers = {AskAnswer::Yes};
        QVERIFY(form->close());
        QCOMPARE(Bytes(path), Record(1, "a") + "\r\n" + Record(2, "edited") + "\r\n");

        // Out of edit mode a changed text is not asked about.
        QVERIFY(ShowAndActivate());
        Action("E1")->trigger();
        EditorEx1()->ReplaceLine(0, "changed");
        QVERIFY(form->close());
        QCOMPARE(asked.size(), 3u);
    }

    void openingAnotherFileAsksAboutTheEditsFirst() {
        const QString first = LoadForEditing(QStringLiteral("first.txt"), Dictionary({"a", "b"}));
        const QString second = Write(QStringLiteral("second.txt"), Dictionary({"x", "y", "z"}));
        form->UpdateCaption(first);
        const QString caption = form->windowTitle();
        form->FileDialogs().open = [&](const QString&) { return second; };
        EditOnTextPage();

        answers = {AskAnswer::Cancel};
        Action("Open1")->trigger();
        QCOMPARE(form->Session().DataFile(), first);
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(EditorEx1()->Line(1), Record(2, "edited"));

        answers = {AskAnswer::No};
        Action("Open1")->trigger();
        QCOMPARE(form->Session().DataFile(), second);
        QCOMPARE(EditorEx2()->LineCount(), 3);
        QCOMPARE(Bytes(first), Dictionary({"a", "b"}));

        // Yes saves the edits of the second file before the first is opened.
        form->FileDialogs().open = [&](const QString&) { return first; };
        EditOnTextPage(Record(2, "why"));
        answers = {AskAnswer::Yes};
        Action("Open1")->trigger();
        QCOMPARE(Bytes(second), Dictionary({"x", "why", "z"}));
        QCOMPARE(form->Session().DataFile(), first);

        // A save that fails opens nothing.
        EditOnTextPage();
        QFile::setPermissions(first, QFileDevice::ReadOwner);
        form->FileDialogs().open = [&](const QString&) { return second; };
        answers = {AskAnswer::Yes};
        Action("Open1")->trigger();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(form->Session().DataFile(), first);
        QVERIFY(EditorEx1()->Modified());
    }

    void aNulByteIsReportedAndASaveOverThatFileAsksFirst() {
        // The NUL byte cuts line 2 short of its ":::".
        const std::string tail = std::string("\0:::Example.\r\n", 15) + Record(3, "c") + "\r\n";
        const std::string bytes = Record(1, "a") + "\r\n2 b///" + kTranslation + tail;
        const QString path = LoadForEditing(QStringLiteral("dic.txt"), bytes);
        const QString notice = QStringLiteral("NUL 文字以降の %1 バイトは読み込まれていません").arg(tail.size());
        QCOMPARE(Status(StatusPanel::Message), notice + QStringLiteral("　0//0::1 データの修復が必要です"));
        QCOMPARE(EditorEx1()->LineCount(), 2);

        // Leaving the edits with Yes: the second question defaults to No, and No
        // writes nothing and keeps the edits in front.
        EditOnTextPage();
        answers = {AskAnswer::Yes, AskAnswer::No};
        ClickTab(0);
        QCOMPARE(asked.size(), 2u);
        QCOMPARE(asked.back().flags, AskFlags::YesNo | AskFlags::IconWarning | AskFlags::DefaultButton2);
        QVERIFY(asked.back().text.find(" " + std::to_string(tail.size()) + " バイト") != std::string::npos);
        QCOMPARE(Bytes(path), bytes);
        QCOMPARE(Page(), 1);

        // Save-as onto the same file by another name of it asks too; onto another file
        // it does not.
        QString target = files->filePath(QStringLiteral("./dic.txt"));
        form->FileDialogs().save = [&](const QString&) { return target; };
        answers = {AskAnswer::No};
        Action("SaveAs1")->trigger();
        QCOMPARE(asked.size(), 3u);
        QCOMPARE(Bytes(path), bytes);
        target = files->filePath(QStringLiteral("copy.txt"));
        Action("SaveAs1")->trigger();
        QCOMPARE(asked.size(), 3u);
        // The cut text ended without a line break, and so does what is written.
        const std::string edited = Record(1, "a") + "\r\n" + Record(2, "edited");
        QCOMPARE(Bytes(target), edited);

        // Yes to both: the file holds the edited text only, and the reload reads all of it.
        answers = {AskAnswer::Yes, AskAnswer::Yes};
        ClickTab(0);
        QCOMPARE(Bytes(path), edited);
        QCOMPARE(Page(), 0);
        QCOMPARE(EditorEx1()->Lines().BytesCutAtNul(), 0u);
        QCOMPARE(Status(StatusPanel::Message), QString());

        // A NUL right after a line break cuts no line: the notice stands alone, and a
        // sound file loaded next takes it back.
        form->LoadDictionary(Write(QStringLiteral("nul.txt"), Dictionary({"a"}) + std::string(1, '\0') + "x"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("NUL 文字以降の 2 バイトは読み込まれていません"));
        form->LoadDictionary(path);
        QCOMPARE(Status(StatusPanel::Message), QString());
        QVERIFY(errors.isEmpty());
    }

    void theQuestionsComeUpWithTheProgramsButtons() {
        SetAskUserHandler(realQuestions);
        struct Shown {
            QString caption, text, defaultButton;
            QMessageBox::Icon icon = QMessageBox::NoIcon;
            QStringList buttons;
        };
        const auto ask = [](int flags) {
            Shown shown;
            WhenModalShows([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return;
                const QPushButton* byDefault = box->defaultButton();
                shown = {box->windowTitle(), box->text(), byDefault ? byDefault->text() : QString(), box->icon(), {}};
                for (const auto button : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                    if (box->button(button)) shown.buttons.append(box->button(button)->text());
                box->button(QMessageBox::No)->click();
            });
            const int answer = AskUser(kSaveQuestion, "情報", flags);
            return std::pair{answer, shown};
        };
        const auto [answer, shown] = ask(AskFlags::YesNoCancel | AskFlags::IconInformation);
        QCOMPARE(answer, AskAnswer::No);
        QCOMPARE(shown.caption, QStringLiteral("情報"));
        QCOMPARE(shown.text, QStringLiteral("辞書ファイルは変更されています.\r\n更新しますか?"));
        QCOMPARE(shown.icon, QMessageBox::Information);
        QCOMPARE(shown.buttons,
                 (QStringList{QStringLiteral("はい(&Y)"), QStringLiteral("いいえ(&N)"), QStringLiteral("キャンセル")}));
        QCOMPARE(ask(AskFlags::YesNo | AskFlags::IconWarning | AskFlags::DefaultButton2).second.defaultButton,
                 QStringLiteral("いいえ(&N)"));
    }

    void keptEditsAreOfferedWhenTheirDataFileIsOpened() {
        const QString path = Write(QStringLiteral("dic.txt"), Dictionary({"a", "b"}));
        const std::string kept = Record(1, "a") + "\r\n" + Record(2, "kept") + "\r\n";
        const QString keptFile = KeptEditsFile(form->Files().stateFolder, path);
        QVERIFY(QDir().mkpath(form->Files().stateFolder));
        Write(QStringLiteral("state/QuillorDic/") + QFileInfo(keptFile).fileName(), kept);
        const auto opened = [&](int answer) {
            asked.clear();
            answers = {answer};
            Action("Open1")->trigger();
            return asked.size() == 1 && asked.front().text == "保存されていない編集が残っています。開きますか";
        };

        // At the start that opens the file, and by ファイル → 開く. No: the file as it
        // is, and the kept edits left where they are.
        form.reset();
        QVERIFY(StartForm([&] {
            form->Session().SetDataFile(path);
            answers = {AskAnswer::No};
        }));
        QCOMPARE(asked.size(), 1u);
        QCOMPARE(asked.front().text, std::string("保存されていない編集が残っています。開きますか"));
        form->FileDialogs().open = [&](const QString&) { return path; };
        QVERIFY(opened(AskAnswer::No));
        QVERIFY(!EditorEx1()->Modified());
        QVERIFY(EditorEx1()->ReadOnly());
        QVERIFY(QFile::exists(keptFile));

        // Yes: they are the text page's, edited and unsaved, until saved into the file.
        QVERIFY(opened(AskAnswer::Yes));
        QCOMPARE(EditorEx1()->WholeText(), kept);
        QVERIFY(EditorEx1()->Modified());
        QVERIFY(Action("E1")->isChecked());
        QCOMPARE(Page(), 1);
        QCOMPARE(form->Session().DataFile(), path);
        answers = {AskAnswer::Yes};  // leaving the page saves them
        ClickTab(0);
        QCOMPARE(Bytes(path), kept);
        QVERIFY(!QFile::exists(keptFile));
        QVERIFY(!opened(AskAnswer::Yes));  // nothing to offer any more

        // What is not this user's own file at the name is never offered.
        QFile::link(files->filePath(QStringLiteral("dic.txt")), keptFile);
        QVERIFY(!opened(AskAnswer::Yes));
        QVERIFY(asked.empty());
    }

    // Last of all: a termination cannot be taken back in this process, and after it no
    // close asks anything.
    void aTerminationKeepsTheEditsPrivatelyUnasked() {
        // A shared folder beside a portable program's settings, where another user
        // planted links at the names the edits could be kept under.
        const QString shared = files->filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        ::chmod(QFile::encodeName(shared), 01777);
        form->Files().keptEditsFolder = shared;
        const QString path = files->filePath(QStringLiteral("shared/dic.txt"));
        Write(QStringLiteral("shared/dic.txt"), Dictionary({"a", "b"}));
        form->LoadDictionary(path);
        Action("E1")->trigger();
        const QString victim = Write(QStringLiteral("victim.txt"), "the user's own file");
        const bool root = ::geteuid() == 0;
        for (const QString& planted : {path + QStringLiteral(".unsaved"), KeptEditsFile(shared, path)}) {
            QVERIFY(QFile::link(victim, planted));
            if (root) ::lchown(QFile::encodeName(planted), 65534, 65534);  // nobody's
        }

        const std::string before = Bytes(path);
        const std::string edited = Record(1, "a") + "\r\n" + Record(2, "edited") + "\r\n";
        EditOnTextPage();
        CloseOnTermination();
        ::raise(SIGTERM);  // as a logout or `kill` ends the program
        QVERIFY(QTest::qWaitFor([&] { return !form->isVisible(); }, 10'000));
        QVERIFY(asked.empty());
        QCOMPARE(Bytes(path), before);
        QCOMPARE(Bytes(victim), std::string("the user's own file"));
        // The names with links are passed over: the edits take the next name, in a
        // file of the user's alone.
        const QString kept = KeptEditsFile(shared, path, 2);
        QCOMPARE(Bytes(kept), edited);
        QVERIFY(!QFileInfo(kept).isSymLink());
        QCOMPARE(ModeOf(kept), 0600u);

        // Out of edit mode too: a second data file of the same name elsewhere keeps its
        // edits apart, and kept edits left for later are not replaced.
        QVERIFY(ShowAndActivate());
        form->Files().keptEditsFolder = form->Files().stateFolder;
        const QString other = Write(QStringLiteral("dic.txt"), Dictionary({"x", "y"}));
        form->LoadDictionary(other);
        EditorEx1()->ReplaceLine(0, Record(1, "z"));  // then edit mode off, the edits in view
        Action("E1")->trigger();
        QVERIFY(EditorEx1()->ReadOnly());
        QVERIFY(form->close());
        QCOMPARE(Bytes(KeptEditsFile(form->Files().stateFolder, other)), Record(1, "z") + "\r\n" + Record(2, "y") + "\r\n");
        QCOMPARE(ModeOf(form->Files().stateFolder), 0700u);  // the user's alone
        QVERIFY(ShowAndActivate());
        form->LoadDictionary(other);
        EditorEx1()->ReplaceLine(0, Record(1, "w"));
        QVERIFY(form->close());
        QCOMPARE(Bytes(KeptEditsFile(form->Files().stateFolder, other, 2)).substr(0, 5), std::string("1 w//"));
        QVERIFY(Bytes(KeptEditsFile(form->Files().stateFolder, other)).starts_with("1 z//"));
        QCOMPARE(Bytes(kept), edited);

        // Nowhere to write: the program still ends, with no message box left waiting
        // for an answer.
        QVERIFY(ShowAndActivate());
        EditorEx1()->ReplaceLine(0, Record(1, "v"));
        form->Files().keptEditsFolder = form->Files().stateFolder = files->filePath(QStringLiteral("victim.txt/QuillorDic"));
        form->Files().settings = files->filePath(QStringLiteral("gone/QuillorDic.ini"));
        QVERIFY(form->close());
        QVERIFY(asked.empty());
        QVERIFY(errors.isEmpty());
    }
};

int main(int argc, char* argv[]) { return RunFormTests<EditCommandsTest>(argc, argv); }

#include "EditCommandsTest.moc"
