// A user's whole day with the real window and browser, offscreen: the first start,
// the sample opened, browsing, every search option, the results, both index panes,
// the compact layout, the options and both dialogs, an edit saved, a repair, the
// close; then the next start, which must bring back everything the user set. Each
// step checks what the user sees: status panels, caption, hit counter, page text.
#include "app/FormTestSupport.h"
#include "common/Sjis.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmInfomation.h"
#include "dialogs/TfrmOption.h"
#include "dialogs/TfrmVersion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

std::string Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

QStringList IndexLines(const TEditorEx* view) {
    QStringList lines;
    for (std::int64_t i = 0; i < view->LineCount(); ++i) lines.append(Sjis::ToQString(view->Line(i)));
    return lines;
}

}  // namespace

class WholeDayTest : public FormTestBase {
    Q_OBJECT

    int Hits() const { return Child<QLineEdit>("edtSearchHit")->text().trimmed().toInt(); }

    void Search(const QString& request) {
        cmbSubStr()->setEditText(request);
        QTest::mouseClick(Button("SpeedButton1"), Qt::LeftButton);
    }

    // Runs a command that opens a modal dialog; `inside` sees the dialog, then it closes.
    void WithDialog(QAction* command, const std::function<void(QWidget*)>& inside) {
        bool seen = false;
        WhenModalShows([&](QWidget* dialog) {
            inside(dialog);
            seen = true;
            dialog->close();
        });
        command->trigger();
        QVERIFY(seen);
    }

private slots:
    void aWholeDay() {
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("辞書 2024")));
        const QString sample = dir.filePath(QStringLiteral("辞書 2024/Tarnowe_Medical_Dic.txt"));
        QVERIFY(QFile::copy(QStringLiteral(QUILLOR_SAMPLE), sample));
        QFile::setPermissions(sample, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QString previousFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));  // where the repair writes its two files
        int answer = AskAnswer::Yes;
        const AskUserHandler realQuestions =
            SetAskUserHandler([&](std::string_view, std::string_view, int) { return answer; });

        // The first start: no settings, no dictionary.
        CreateTestForms();
        QVERIFY(!QFileInfo::exists(form->Files().settings));
        QVERIFY(ShowAndActivate());
        QCOMPARE(form->windowTitle(), QStringLiteral("QuillorDic - "));
        QCOMPARE(EditorEx2()->LineCount(), 0);

        // The sample, opened.
        form->FileDialogs().open = [&](const QString&) { return sample; };
        Action("Open1")->trigger();
        QVERIFY(form->windowTitle().startsWith(QStringLiteral("QuillorDic - ")));
        QVERIFY(form->windowTitle().contains(QStringLiteral("Tarnowe_Medical_Dic.txt")));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        const std::int64_t records = EditorEx2()->LineCount();
        QVERIFY(records > 700);
        const QString first = IndexLines(EditorEx2()).first();
        QVERIFY(BodyText(WebBrowser1()).startsWith(first));

        // Browsing with keys.
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(form.get(), Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.3"));
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));
        QTest::keyClick(form.get(), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.%1").arg(records));
        QVERIFY(BodyText(WebBrowser1()).startsWith(IndexLines(EditorEx2()).last()));
        QTest::keyClick(form.get(), Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        EditorEx2()->TakeFocus();
        QTest::keyClick(EditorEx2(), Qt::Key_Down);
        QTest::keyClick(EditorEx2(), Qt::Key_Return);
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.2"));

        // Searching with each option.
        Search(QStringLiteral("heart"));
        const int heart = Hits();
        QVERIFY(heart > 10);
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text().trimmed(), QStringLiteral("1"));
        QVERIFY(Status(StatusPanel::Count).startsWith(QStringLiteral("HitAll=")));
        QVERIFY(BodyText(WebBrowser1()).contains(QStringLiteral("heart"), Qt::CaseInsensitive));
        Child<QCheckBox>("chkNotPartMatch")->setChecked(false);  // parts of words too: hearty, heartbeat
        Search(QStringLiteral("heart"));
        QVERIFY(Hits() >= heart);
        Child<QCheckBox>("chkNotPartMatch")->setChecked(true);
        Search(QStringLiteral("heart failure"));
        const int either = Hits();
        Child<QCheckBox>("chkSearchWithAnd")->setChecked(false);  // every key
        Search(QStringLiteral("heart failure"));
        const int both = Hits();
        QVERIFY(both > 0 && both < either);
        Child<QCheckBox>("chkNotSeparateWord")->setChecked(false);  // the whole text one key
        Search(QStringLiteral("heart failure"));
        QVERIFY(Hits() > 0 && Hits() <= both);
        QVERIFY(BodyText(WebBrowser1()).contains(QStringLiteral("heart failure"), Qt::CaseInsensitive));
        Child<QCheckBox>("chkNotSeparateWord")->setChecked(true);
        Child<QCheckBox>("chkSearchWithAnd")->setChecked(true);
        Child<QRadioButton>("rdoSelectCondition1")->setChecked(true);  // headwords only
        Search(QStringLiteral("heart"));
        const int inHeadwords = Hits();
        QVERIFY(inHeadwords > 0 && inHeadwords < heart);
        for (const QString& line : IndexLines(EditorEx3()))
            QVERIFY2(line.contains(QStringLiteral("heart"), Qt::CaseInsensitive) || line.contains(QStringLiteral("Heart")), qPrintable(line));
        Child<QRadioButton>("rdoSelectCondition2")->setChecked(true);  // translations only: a Japanese key
        Search(QStringLiteral("心臓"));
        QVERIFY(Hits() > 0 && Hits() < heart);
        QVERIFY(BodyText(WebBrowser1()).contains(QStringLiteral("心臓")));
        Child<QRadioButton>("rdoSelectCondition3")->setChecked(true);  // examples only
        Search(QStringLiteral("heart"));
        const int inExamples = Hits();
        QVERIFY(inExamples > 0 && inExamples <= heart);
        Child<QRadioButton>("rdoSelectCondition0")->setChecked(true);
        Search(QStringLiteral("zzqx"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("見つかりません"));
        QCOMPARE(EditorEx3()->LineCount(), inExamples);  // the last results stay listed

        // Stepping through the results, from either index pane.
        Search(QStringLiteral("heart"));
        QTest::keyClick(form.get(), Qt::Key_F3);
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("2"));
        const QString second = Status(StatusPanel::Position);
        QTest::keyClick(form.get(), Qt::Key_F3);
        QTest::keyClick(form.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(Status(StatusPanel::Position), second);
        Button("SpeedButton2")->click();
        QVERIFY(EditorEx3()->isVisible());
        QCOMPARE(EditorEx3()->LineCount(), heart);
        QTest::mouseClick(EditorEx3()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx3(), 4));
        QCOMPARE(Child<QLineEdit>("edtNowNo")->text(), QStringLiteral("5"));
        Button("SpeedButton2")->click();
        QVERIFY(EditorEx2()->isVisible());

        // The compact layout and back.
        const QSize full = form->size();
        Button("SpeedButton7")->click();
        QVERIFY(Child<QFrame>("pnlIndex")->isHidden());
        QVERIFY(form->width() < full.width());
        Button("SpeedButton7")->click();
        QVERIFY(!Child<QFrame>("pnlIndex")->isHidden());
        QCOMPARE(form->size(), full);

        // The options: a hit limit and an ignored word.
        auto* options = Child<TfrmOption>("frmOption");
        WithDialog(Action("O1"), [&](QWidget*) {
            options->Edit1->setText(QStringLiteral("5"));
            options->Memo1->appendPlainText(QStringLiteral("blood"));
        });
        QCOMPARE(form->Session().HitLimit(), 5);
        Search(QStringLiteral("heart"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("5件を超えた結果があります"));
        Search(QStringLiteral("blood"));
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("検索キーが未指定です"));

        // Both dialogs.
        auto* information = Child<TfrmInfomation>("frmInfomation");
        WithDialog(Action("P1"), [&](QWidget*) {
            QCOMPARE(information->edtNumOfData->text(), QString::number(records));
            QCOMPARE(information->edtFileSize->text(), QString::number(QFileInfo(sample).size()));
        });
        auto* version = Child<TfrmVersion>("frmVersion");
        WithDialog(Action("V1"), [&](QWidget*) { QVERIFY(version->Label2->text().endsWith(QStringLiteral("Ver.1.0.0.2"))); });

        // Edit mode: a record changed and saved; the index follows.
        Action("E1")->trigger();
        QTabBar* tabs = PageControl1()->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
        QCOMPARE(PageControl1()->currentIndex(), 1);
        EditorEx1()->TakeFocus();
        EditorEx1()->Select({0, 2}, {0, 2});  // before the first headword
        QTest::keyClicks(EditorEx1(), QStringLiteral("my "));
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QCOMPARE(PageControl1()->currentIndex(), 0);
        QCOMPARE(IndexLines(EditorEx2()).first(), QStringLiteral("my ") + first);
        QVERIFY(Bytes(sample).find("my " + Sjis::FromQString(first).bytes) != std::string::npos);

        // A repair of a damaged copy: the repaired text on the text page, the log beside.
        std::string damaged = Bytes(sample);
        damaged.insert(damaged.find("\r\n") + 2, "a stray line\r\n");
        form->FileDialogs().open = [&](const QString&) { return WriteFile(QStringLiteral("damaged.txt"), damaged); };
        Action("R1")->trigger();
        QCOMPARE(Status(StatusPanel::Message), QStringLiteral("0//0::1 データの修復しました"));
        QCOMPARE(Bytes(QStringLiteral("temp4.dat")), std::string("d3: 1 a stray line\r\n"));
        QCOMPARE(EditorEx1()->LineCount(), records);

        // Options left changed, and the close asks about the repaired text: not kept.
        Child<QCheckBox>("chkNotPartMatch")->setChecked(false);
        Child<QRadioButton>("rdoSelectCondition2")->setChecked(true);
        const QRect placement = form->geometry();
        answer = AskAnswer::No;
        QVERIFY(form->close());
        QVERIFY(QFileInfo::exists(form->Files().settings));

        // The next start brings back everything the user set.
        const QString ini = form->Files().settings;
        form.reset();
        CreateTestForms();
        form->Files().settings = ini;
        form->LoadSettings();
        QVERIFY(ShowAndActivate());
        QCOMPARE(form->geometry().size(), placement.size());
        QCOMPARE(form->Session().DataFile(), sample);
        QVERIFY(form->windowTitle().contains(QStringLiteral("Tarnowe_Medical_Dic.txt")));
        QCOMPARE(IndexLines(EditorEx2()).first(), QStringLiteral("my ") + first);
        QCOMPARE(form->Session().HitLimit(), 5);
        QVERIFY(!Child<QCheckBox>("chkNotPartMatch")->isChecked() && Child<QCheckBox>("chkSearchWithAnd")->isChecked());
        QVERIFY(Child<QRadioButton>("rdoSelectCondition2")->isChecked());
        QCOMPARE(cmbSubStr()->currentText(), QStringLiteral("heart"));  // the last search that found
        QVERIFY(cmbSubStr()->findText(QStringLiteral("心臓")) >= 0);
        const QStringList ignored = form->Session().IgnoredWordsText().split(QLatin1Char('\n'));
        QVERIFY(ignored.contains(QStringLiteral("blood")));
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));

        form.reset();
        SetAskUserHandler(realQuestions);
        QDir::setCurrent(previousFolder);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<WholeDayTest>(argc, argv); }

#include "WholeDayTest.moc"
