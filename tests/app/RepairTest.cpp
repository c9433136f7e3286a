// The repair command on the real main window: the chosen file repaired into the
// full-text view, the two output files in the current folder, and its errors.
#include "app/FormTestSupport.h"
#include "textview/TEditorEx.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>

namespace {

const std::string kSound = "1 a///x:::y\r\n2 b///x:::y\r\n";
const std::string kDamaged = "5 a///x:::y\r\n6 b///tr:::ex\r\nmore\r\nof b\r\n7 c///x:::y\r\n";

std::string ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
}

}  // namespace

class RepairTest : public FormTestBase {
    Q_OBJECT

    QString previousFolder_;
    std::unique_ptr<QTemporaryDir> currentFolder_;  // a fresh one per test: temp3.dat and temp4.dat go here

    void ChooseForRepair(const QString& path) {
        form->ChooseFileToOpen = [path](const QString&) { return path; };
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
        QMetaObject::invokeMethod(form->R1, &QAction::trigger, Qt::QueuedConnection);
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
    }

    void cleanup() {
        QDir::setCurrent(previousFolder_);
        currentFolder_.reset();
        form.reset();
    }

    void theChosenFileIsRepairedIntoTheViewAndBothFiles() {
        ChooseForRepair(WriteFile(QStringLiteral("damaged.txt"), kDamaged));
        form->R1->trigger();

        const std::string repaired = "1 a///x:::y\r\n2 b///tr:::ex/ more/ of b\r\n3 c///x:::y\r\n";
        QCOMPARE(form->EditorEx1->Lines().WholeText(), repaired);
        QVERIFY(form->EditorEx1->Lines().Modified());
        QCOMPARE(ReadFile(QStringLiteral("temp3.dat")), repaired);
        QCOMPARE(ReadFile(QStringLiteral("temp4.dat")), std::string("d3: 3 of b\r\nd3: 2 more/ of b\r\n"));
        QCOMPARE(form->StatusText(2), QStringLiteral("0//0::2 データの修復しました"));
        QVERIFY(!QApplication::overrideCursor());

        // The loaded file stays the data file, with its index.
        QVERIFY(form->DataFileName.endsWith(QStringLiteral("loaded.txt")));
        QCOMPARE(form->EditorEx2->LineCount(), std::size_t{2});
    }

    void cancellingTheDialogChangesNothing() {
        form->SetStatusText(2, QStringLiteral("before"));
        ChooseForRepair(QString());
        form->R1->trigger();
        QCOMPARE(form->StatusText(2), QStringLiteral("before"));
        QCOMPARE(form->EditorEx1->Lines().WholeText(), kSound);
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp3.dat")));
    }

    void aFileThatCannotBeReadIsReportedAndTheViewStays() {
        ChooseForRepair(WriteFile(QStringLiteral("empty.txt"), ""));
        QVERIFY(RepairReportingError().startsWith(QStringLiteral("エラー発生 \r\nWin32 エラー。コード : ")));
        QCOMPARE(form->EditorEx1->Lines().WholeText(), kSound);
        QVERIFY(!form->EditorEx1->Lines().Modified());
        QVERIFY(!QApplication::overrideCursor());
    }

    void anOutputThatCannotBeWrittenIsReportedAndTheViewStaysRepaired() {
        QVERIFY(QDir().mkdir(QStringLiteral("temp3.dat")));  // no file can take its place
        ChooseForRepair(WriteFile(QStringLiteral("damaged.txt"), kDamaged));
        QCOMPARE(RepairReportingError(), QStringLiteral("エラー発生 \r\nファイル temp3.dat を作成できません"));
        QCOMPARE(form->EditorEx1->LineCount(), std::size_t{3});
        QVERIFY(form->EditorEx1->Lines().Modified());
        QVERIFY(!QFileInfo::exists(QStringLiteral("temp4.dat")));
        QVERIFY(!QApplication::overrideCursor());
    }
};

int main(int argc, char* argv[]) { return RunFormTests<RepairTest>(argc, argv); }

#include "RepairTest.moc"
