// Faults from outside the program, on the real main window: files that vanish or
// change under it, a full disk, read-only files and folders, damaged settings files,
// a guide that is none, a browser page process that dies, and a logout. Each ends
// with the message the user is told and nothing lost. The test runs as root and again
// as an unprivileged user: only root can mount a small disk, and root writes anywhere.
#include "app/FormTestSupport.h"
#include "common/ErrorBoundary.h"
#include "common/IniFile.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmOption.h"
#include "textview/TEditorEx.h"

#include <QDir>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QWebEnginePage>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <random>

#include <sys/mount.h>
#include <unistd.h>

namespace {

const std::string kDictionary = "1 a///x:::y\r\n2 b///x:::z\r\n";

std::string Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string("<unreadable>");
}

QString CannotCreate(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル %1 を作成できません: %2").arg(path, reason);
}

QString SystemText(int errorNumber) { return QString::fromLocal8Bit(std::strerror(errorNumber)); }

bool IsRoot() { return ::geteuid() == 0; }

}  // namespace

class FaultTest : public FormTestBase {
    Q_OBJECT

    QString data;         // the data file loaded at the start of each test
    QStringList errors;   // what the error report showed after "エラー発生"
    ErrorReporter realReport;
    std::deque<int> answers;
    AskUserHandler realQuestions;

    // Edits line 1 on the text page, then leaves it with Yes: save and reload.
    void EditAndSave(const std::string& line) {
        if (!Action("E1")->isChecked()) Action("E1")->trigger();
        PageControl1()->setCurrentIndex(1);
        EditorEx1()->ReplaceLine(1, line);
        answers = {AskAnswer::Yes};
        QTabBar* tabs = PageControl1()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    }

    // A new start of the program on the settings file `ini`.
    bool RestartWith(const QString& ini) {
        SetErrorReporter(std::move(realReport));
        form.reset();
        CreateTestForms();
        form->Files().settings = ini;
        CollectErrors();
        form->LoadSettings();
        return ShowAndActivate();
    }

    void CollectErrors() {
        realReport = SetErrorReporter([this](const std::exception& error) { errors.append(QString::fromUtf8(error.what())); });
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
        data = WriteFile(QStringLiteral("dic.txt"), kDictionary);
        form->LoadDictionary(data);
        form->ShowRecord(0, false);
        errors.clear();
        CollectErrors();
        answers.clear();
        realQuestions = SetAskUserHandler([this](std::string_view, std::string_view, int) {
            if (answers.empty()) return AskAnswer::Cancel;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    void cleanup() {
        SetAskUserHandler(std::move(realQuestions));
        SetErrorReporter(std::move(realReport));
        form.reset();
    }

    void aDataFileThatVanishesOrChangesAfterTheDialogIsReadAsItIsThen() {
        const QString other = dir.filePath(QStringLiteral("other.txt"));
        form->FileDialogs().open = [&](const QString&) {
            QFile::remove(other);
            return other;
        };
        Action("Open1")->trigger();
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors.first().startsWith(QStringLiteral("Win32 エラー。コード : 2.")), qPrintable(errors.first()));
        QCOMPARE(form->Session().DataFile(), data);
        QCOMPARE(EditorEx2()->Line(0), std::string("a"));
        Action("R1")->trigger();  // the repair of a file gone the same way
        QCOMPARE(errors.size(), 2);
        QCOMPARE(EditorEx1()->Lines().WholeText(), kDictionary);
        QVERIFY(!EditorEx1()->Modified());

        form->FileDialogs().open = [&](const QString&) {
            WriteFile(QStringLiteral("other.txt"), "1 new///x:::y\r\n2 newer///x:::y\r\n");
            return other;
        };
        Action("Open1")->trigger();
        QCOMPARE(form->Session().DataFile(), other);
        QCOMPARE(EditorEx2()->Line(1), std::string("newer"));
        QCOMPARE(errors.size(), 2);
    }

    void aDataFileReplacedWhileItIsEditedGetsTheEdits() {
        Action("E1")->trigger();
        PageControl1()->setCurrentIndex(1);
        EditorEx1()->ReplaceLine(1, "2 b///edited:::z");
        WriteFile(QStringLiteral("dic.txt"), "9 written///by:::another program\r\n");
        answers = {AskAnswer::Yes};
        QTabBar* tabs = PageControl1()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(Bytes(data), std::string("1 a///x:::y\r\n2 b///edited:::z\r\n"));
        QCOMPARE(EditorEx2()->Line(1), std::string("b"));
        QVERIFY(errors.isEmpty());
    }

    void aSaveOnAFullDiskKeepsTheFileAndTheEdits() {
        if (!IsRoot()) QSKIP("a full disk is a small tmpfs, which only root may mount");
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir().mkpath(disk));
        if (::mount("tmpfs", disk.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP(qPrintable(QStringLiteral("no tmpfs could be mounted: ") + SystemText(errno)));
        const auto unmount = qScopeGuard([&] { ::umount2(disk.toLocal8Bit().constData(), MNT_DETACH); });
        const QString onDisk = disk + QStringLiteral("/dic.txt");
        {
            QFile file(onDisk);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kDictionary.data(), static_cast<qint64>(kDictionary.size()));
        }
        form->LoadDictionary(onDisk);

        EditAndSave("2 b///" + std::string(100'000, 'x') + ":::z");
        QCOMPARE(errors, QStringList{CannotCreate(onDisk, SystemText(ENOSPC))});
        QCOMPARE(Bytes(onDisk), kDictionary);
        QCOMPARE(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("dic.txt")});
        QVERIFY(EditorEx1()->Modified());
        QCOMPARE(PageControl1()->currentIndex(), 1);
    }

    void aSaveOntoAReadOnlyFileKeepsIt() {
        const QString locked = WriteFile(QStringLiteral("locked.txt"), "old");
        QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        form->FileDialogs().save = [&](const QString&) { return locked; };
        Action("SaveAs1")->trigger();
        QCOMPARE(errors, QStringList{CannotCreate(locked, QStringLiteral("読み出し専用です"))});
        QCOMPARE(Bytes(locked), std::string("old"));
    }

    void aSaveIntoAFolderThatCannotBeWrittenKeepsTheFile() {
        if (IsRoot()) QSKIP("root writes into any folder: this runs as an unprivileged user");
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkpath(folder));
        const QString inside = WriteFile(QStringLiteral("locked/dic.txt"), kDictionary);
        form->LoadDictionary(inside);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const auto unlock = qScopeGuard([&] { QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner); });

        EditAndSave("2 b///edited:::z");
        QCOMPARE(errors, QStringList{CannotCreate(inside, QStringLiteral("フォルダに書き込めません"))});
        QCOMPARE(Bytes(inside), kDictionary);
        QVERIFY(EditorEx1()->Modified());

        // The repair's two files go into the current folder: the same reason, and the
        // repaired text stays in the view.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        const auto back = qScopeGuard([&] { QDir::setCurrent(previous); });
        form->FileDialogs().open = [&](const QString&) { return data; };
        answers = {AskAnswer::No};
        Action("R1")->trigger();
        QCOMPARE(errors.last(), CannotCreate(QStringLiteral("temp3.dat"), QStringLiteral("フォルダに書き込めません")));
        QCOMPARE(EditorEx1()->Lines().WholeText(), kDictionary);
        QVERIFY(EditorEx1()->Modified());
    }

    void aDamagedSettingsFileIsReadAsFarAsItGoesAndKeptWhole_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("binary garbage") << QStringLiteral("garbage");
        QTest::newRow("50 MB") << QStringLiteral("large");
    }

    void aDamagedSettingsFileIsReadAsFarAsItGoesAndKeptWhole() {
        QFETCH(QString, kind);
        const QString ini = dir.filePath(kind + QStringLiteral(".ini"));
        std::string bytes;
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(ini));
        } else if (kind == QLatin1String("garbage")) {
            std::mt19937 random(932);
            for (int i = 0; i < 20'000; ++i) bytes += static_cast<char>(random() % 7 == 0 ? '\n' : random() % 256);
            bytes += "\r\n[SEARCH]\r\nMaxOfSelection=\"7\"\r\n";
        } else {  // something else saved over it: 50 MB of bytes, a line break now and then
            bytes = "[SEARCH]\r\nMaxOfSelection=\"7\"\r\n[JUNK]\r\n";
            std::mt19937 random(50);
            while (bytes.size() < 50'000'000) {
                const auto byte = static_cast<char>(random() % 256);
                if (byte == '\n' || random() % 65'536 == 0) bytes += "\r\n";
                else bytes.push_back(byte);
            }
        }
        if (!bytes.empty()) WriteFile(kind + QStringLiteral(".ini"), bytes);

        QVERIFY(RestartWith(ini));
        QCOMPARE(form->Session().HitLimit(), kind == QLatin1String("folder") ? 300 : 7);
        form->close();
        QVERIFY(!form->isVisible());
        if (kind == QLatin1String("folder")) {
            QCOMPARE(errors, QStringList{CannotCreate(ini, SystemText(EISDIR))});
            QVERIFY(QFileInfo(ini).isDir());
            return;
        }
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        // Every line the program does not know stays, byte for byte and in its order.
        const std::string after = Bytes(ini);
        std::size_t lost = 0, foundUpTo = 0;
        for (std::size_t from = 0; from < bytes.size();) {
            std::size_t end = bytes.find('\n', from);
            if (end == std::string::npos) end = bytes.size();
            std::string line = bytes.substr(from, end - from);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            // Blank lines (every byte up to 0x20) and section lines are the file's layout.
            const auto text = std::find_if(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) > 0x20; });
            const bool layout = text == line.end() || *text == '[';
            if (!layout && line.find("MaxOfSelection") == std::string::npos) {
                const std::size_t at = after.find(line, foundUpTo);
                if (at == std::string::npos) ++lost;
                else foundUpTo = at + line.size();
            }
            from = end + 1;
        }
        QCOMPARE(lost, std::size_t{0});
        QCOMPARE(ReadIniValue(ini.toStdString(), "SEARCH", "MaxOfSelection"), std::string("7"));
    }

    void aGuideThatIsNoArchiveIsAsGoodAsMissing() {
        form->Files().guide = WriteFile(QStringLiteral("guide.mht"), "this is no archive\r\n\x01\x02");
        Action("U1")->trigger();
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("guide.mht が見つかりません"));
        QCOMPARE(BodyText(WebBrowser1()).left(1), QStringLiteral("a"));  // the record stays
    }

    void aPageProcessThatDiesIsReplacedAtTheNextRecord() {
        QWebEnginePage* page = WebBrowser1()->page();
        QSignalSpy died(page, &QWebEnginePage::renderProcessTerminated);
        QVERIFY(page->renderProcessPid() > 0);
        ::kill(static_cast<pid_t>(page->renderProcessPid()), SIGKILL);
        QVERIFY(died.wait(10'000));
        EditorEx2()->SetCaretRow(1);
        QTest::keyClick(EditorEx2(), Qt::Key_Return);  // what a click on the row does
        QVERIFY(BodyText(WebBrowser1()).startsWith(QStringLiteral("b")));
        QVERIFY(errors.isEmpty());
    }

    // Last of all: a termination cannot be taken back in this process. Ended while a
    // dialog is open and the settings file is read-only, the program asks nothing,
    // says on stderr what it could not do, and leaves the file as it was.
    void aLogoutEndsTheProgramWithoutAQuestion() {
        form->close();
        const QString ini = form->Files().settings;
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        const std::string before = Bytes(ini);
        SetAskUserHandler(std::move(realQuestions));  // the program's own message boxes
        SetErrorReporter(std::move(realReport));
        QVERIFY(ShowAndActivate());
        auto* options = Child<TfrmOption>("frmOption");

        // A dialog left waiting would hold the logout up: the watch closes it and says so.
        bool leftWaiting = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != options) {
                leftWaiting = true;
                modal->close();
            }
        });
        watch.start(6'000);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("読み出し専用です。書き込みますか: キャンセル")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("を作成できません: 読み出し専用です")));
        CloseOnTermination();
        // The logout comes while the options dialog is open, from inside its own loop.
        bool dialogWasOpen = false;
        QTimer::singleShot(0, Action("O1"), &QAction::trigger);
        QTimer::singleShot(300, [&] {
            dialogWasOpen = QApplication::activeModalWidget() == options;
            ::raise(SIGTERM);
        });
        QVERIFY(QTest::qWaitFor([&] { return !form->isVisible() && !options->isVisible(); }, 5'000));
        QVERIFY(dialogWasOpen);
        QVERIFY(!leftWaiting);
        QCOMPARE(Bytes(ini), before);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<FaultTest>(argc, argv); }

#include "FaultTest.moc"
