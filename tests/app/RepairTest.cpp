// The repair command on the real main window: the chosen file repaired into the
// full-text view, the two output files in the current folder, the unsaved edits it
// asks about first, and its errors.
#include "app/FormTestSupport.h"
#include "common/SystemHelpers.h"
#include "textview/TEditorEx.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QTabBar>
#include <QTabWidget>

#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

namespace {

const std::string kSound = "1 a///x:::y\r\n2 b///x:::y\r\n";
const std::string kDamaged = "5 a///x:::y\r\n6 b///tr:::ex\r\nmore\r\nof b\r\n7 c///x:::y\r\n";
const std::string kRepaired = "1 a///x:::y\r\n2 b///tr:::ex/ more/ of b\r\n3 c///x:::y\r\n";

std::string ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

}  // namespace

class RepairTest : public FormTestBase {
    Q_OBJECT

    QString previousFolder_;
    // The user's answers, in order, and the questions they answered.
    std::deque<int> answers_;
    std::vector<std::string> asked_;
    AskUserHandler realQuestions_;
    std::unique_ptr<QTemporaryDir> currentFolder_;  // a fresh one per test: temp3.dat and temp4.dat go here

    void ChooseForRepair(const QString& path) {
        form->FileDialogs().open = [path](const QString&) { return path; };
    }

    // Runs the command as a menu click does, from the event loop, so an error reaches
    // the application-wide report; answers the report and returns its text.
    QString RepairReportingError() {
        QString reported;
        WhenModalShows([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box || box->objectName() != QStringLiteral("ErrorReport")) return;
            reported = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        QMetaObject::invokeMethod(Action("R1"), &QAction::trigger, Qt::QueuedConnection);
        if (!QTest::qWaitFor([&] { return !reported.isEmpty(); }, 10'000)) return QStringLiteral("<no report>");
        return reported;
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        previousFolder_ = QDir::currentPath();
        currentFolder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(currentFolder_->path()));
        form->LoadDictionary(WriteFile(QStringLiteral("loaded.txt"), kSound));
        answers_.clear();
        asked_.clear();
        realQuestions_ = SetAskUserHandler([this](std::string_view text, std::string_view, int) {
            asked_.emplace_back(text);
            if (answers_.empty()) return AskAnswer::Cancel;
            const int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }

    void cleanup() {
        SetAskUserHandler(std::move(realQuestions_));
        QDir::setCurrent(previousFolder_);
        currentFolder_.reset();
        form.reset();
    }

    void theChosenFileIsRepairedIntoTheViewAndBothFiles() {
        ChooseForRepair(WriteFile(QStringLiteral("damaged.txt"), kDamaged));
        Action("R1")->trigger();

        QCOMPARE(EditorEx1()->Lines().WholeText(), kRepaired);
        QVERIFY(EditorEx1()->Lines().Modified());
        QCOMPARE(ReadFile(QStringLiteral("temp3.dat")), kRepaired);
        QCOMPARE(ReadFile(QStringLiteral("temp4.dat")), std::string("d3: 3 of b\r\nd3: 2 more/ of b\r\n"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("0//0::2 データの修復しました"));
        QVERIFY(!QApplication::overrideCursor());

        // The loaded file stays the data file, with its index.
        QVERIFY(form->Session().DataFile().endsWith(QStringLiteral("loaded.txt")));
        QCOMPARE(EditorEx2()->LineCount(), std::size_t{2});
    }

    void aDroppedStrayLineComesBackWholeFromTheLog() {
        std::string stray;  // 100 KB without a space, Japanese text among it
        while (stray.size() < 100'000) stray += "\x88\xE3\x8A\x77/x:::";
        ChooseForRepair(WriteFile(QStringLiteral("stray.txt"), "1 a///x:::y\r\n" + stray + "\r\n2 b///x:::y\r\n"));
        Action("R1")->trigger();
        QCOMPARE(ReadFile(QStringLiteral("temp4.dat")), "d1: 1 " + stray + "\r\n");
        QCOMPARE(ReadFile(QStringLiteral("temp3.dat")), kSound);
    }

    void unsavedEditsAreAskedAboutBeforeTheRepair() {
        const QString loaded = form->Session().DataFile();
        Action("E1")->trigger();
        EditorEx1()->ReplaceLine(1, "2 b///edited:::y");
        ChooseForRepair(WriteFile(QStringLiteral("damaged.txt"), kDamaged));
        StatusLabel(StatusPanel::Message)->setText(QStringLiteral("before"));

        // Cancel: the edits stay, and nothing is written.
        answers_ = {AskAnswer::Cancel};
        Action("R1")->trigger();
        QCOMPARE(asked_, std::vector<std::string>{"辞書ファイルは変更されています.\r\n更新しますか?"});
        QCOMPARE(EditorEx1()->Line(1), std::string("2 b///edited:::y"));
        QVERIFY(EditorEx1()->Modified());
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("before"));
        QCOMPARE(ReadFile(loaded), kSound);
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp3.dat")));

        // No: the edits give way to the repaired text; the data file stays.
        answers_ = {AskAnswer::No};
        Action("R1")->trigger();
        QCOMPARE(EditorEx1()->Lines().WholeText(), kRepaired);
        QCOMPARE(ReadFile(QStringLiteral("temp3.dat")), kRepaired);
        QCOMPARE(ReadFile(loaded), kSound);

        // Yes: the text in the view, unsaved repair and all, goes into the data file
        // first, then the next repair takes the view.
        ChooseForRepair(WriteFile(QStringLiteral("other.txt"), "9 z///x:::y\r\n"));
        answers_ = {AskAnswer::Yes};
        Action("R1")->trigger();
        QCOMPARE(asked_.size(), 3u);
        QCOMPARE(ReadFile(loaded), kRepaired);
        QCOMPARE(EditorEx1()->Lines().WholeText(), std::string("1 z///x:::y\r\n"));
        QVERIFY(EditorEx1()->Modified());
        QCOMPARE(form->Session().DataFile(), loaded);
    }

    void aFileCutAtANulIsSaidSoAndItsRestNotOverwrittenUnasked() {
        const std::string tail = std::string("\0", 1) + "8 d///x:::y\r\n";
        const std::string bytes = kDamaged + tail;
        const QString path = WriteFile(QStringLiteral("nul.txt"), bytes);
        form->LoadDictionary(path);
        ChooseForRepair(path);
        Action("R1")->trigger();
        QCOMPARE(EditorEx1()->Lines().WholeText(), kRepaired);
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("NUL 文字以降の %1 バイトは読み込まれていません　"
                                                     "0//0::2 データの修復しました").arg(tail.size()));

        // Leaving the repaired text with Yes: the save over the file it came from asks
        // again, and No writes nothing.
        Action("E1")->trigger();
        PageControl1()->setCurrentIndex(1);
        QTabBar* tabs = PageControl1()->tabBar();
        answers_ = {AskAnswer::Yes, AskAnswer::No};
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(asked_.size(), 2u);
        QVERIFY(asked_.back().find(" " + std::to_string(tail.size()) + " バイト") != std::string::npos);
        QCOMPARE(ReadFile(path), bytes);
        QCOMPARE(PageControl1()->currentIndex(), 1);
    }

    void cancellingTheDialogChangesNothing() {
        StatusLabel(StatusPanel::Message)->setText(QStringLiteral("before"));
        ChooseForRepair(QString());
        Action("R1")->trigger();
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("before"));
        QCOMPARE(EditorEx1()->Lines().WholeText(), kSound);
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp3.dat")));
    }

    void aFileThatCannotBeReadIsReportedAndTheViewStays() {
        ChooseForRepair(WriteFile(QStringLiteral("empty.txt"), ""));
        QVERIFY(RepairReportingError().startsWith(QStringLiteral("エラー発生 \r\nWin32 エラー。コード : ")));
        QCOMPARE(EditorEx1()->Lines().WholeText(), kSound);
        QVERIFY(!EditorEx1()->Lines().Modified());
        QVERIFY(!QApplication::overrideCursor());
    }

    void anOutputThatCannotBeWrittenIsReportedAndTheViewStaysRepaired() {
        QVERIFY(QDir().mkdir(QStringLiteral("temp3.dat")));  // no file can take its place
        ChooseForRepair(WriteFile(QStringLiteral("damaged.txt"), kDamaged));
        QCOMPARE(RepairReportingError(), QStringLiteral("エラー発生 \r\nファイル temp3.dat を作成できません: ") +
                                             QString::fromLocal8Bit(std::strerror(EISDIR)));
        QCOMPARE(EditorEx1()->LineCount(), std::size_t{3});
        QVERIFY(EditorEx1()->Lines().Modified());
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp4.dat")));
        QVERIFY(!QApplication::overrideCursor());
    }
};

int main(int argc, char* argv[]) { return RunFormTests<RepairTest>(argc, argv); }

#include "RepairTest.moc"
