// The settings file through the real main window: what a close writes, what the next
// start brings back, and the files that cannot be written.
#include "app/FormTestSupport.h"
#include "common/IniFile.h"
#include "common/Sjis.h"
#include "common/SystemHelpers.h"
#include "dialogs/TfrmOption.h"
#include "textview/TEditorEx.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cerrno>
#include <cstring>

namespace {

std::string Record(int number, const char* headword, const char* translation) {
    return std::to_string(number) + " " + headword + "///" + Sjis::FromUtf8(translation).bytes + ":::Example.\r\n";
}

std::string Ini(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

}  // namespace

class SettingsTest : public FormTestBase {
    Q_OBJECT

    QString iniPath() const { return dir.filePath(QStringLiteral("QuillorDic.ini")); }

    // A new start of the program on the same settings file, as far as the window goes:
    // the settings read, then the first show.
    bool Restart() {
        form.reset();
        CreateTestForms();
        form->LoadSettings();
        return ShowAndActivate();
    }

    // Runs `action`, acknowledging every message box it shows; returns their texts.
    static QStringList AcknowledgingMessages(const std::function<void()>& action) {
        QStringList reports;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&reports] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                reports.append(box->text());
                box->accept();
            }
        });
        poll.start(20);
        action();
        return reports;
    }

    QStringList CloseCollectingErrors() {
        return AcknowledgingMessages([this] { form->close(); });
    }

private slots:
    void init() {
        CreateTestForms();
        QVERIFY(ShowAndActivate());
    }

    void cleanup() { form.reset(); }

    void aCloseWritesEverySettingAndTheNextStartBringsItBack() {
        const QString data = WriteFile(QStringLiteral("dic.txt"), Record(1, "abate", "軽減する") +
                                                                      Record(2, "heart", "心臓"));
        form->move(310, 320);
        form->resize(640, 480);
        Child<QCheckBox>("chkNotSeparateWord")->setChecked(false);
        Child<QCheckBox>("chkSearchWithAnd")->setChecked(false);
        Child<QRadioButton>("rdoSelectCondition2")->setChecked(true);
        form->Session().SetHitLimit(1000);
        for (int i = 1; i <= 12; ++i) form->AddToHistory(QStringLiteral("key%1").arg(i));
        form->Session().SetIgnoredWordsText(QStringLiteral("with\nthe\n\nThe\n"));
        form->Session().SetDataFile(data);
        QVERIFY(!QFile::exists(iniPath()));
        form->close();

        const std::string written = Ini(iniPath());
        const auto at = [&](const char* text) { return written.find(text); };
        QVERIFY(at("[FORM]") < at("[SEARCH]"));
        QVERIFY(at("[SEARCH]") < at("[KEYKIST]"));
        QVERIFY(at("[KEYKIST]") < at("[VIEW]"));
        QVERIFY(at("[VIEW]") < at("[FILE]"));
        QVERIFY(at("notword=\"with,the,The\"\r\n\r\n[KEYKIST]") != std::string::npos);
        QVERIFY(at("item1=\"key12\"") != std::string::npos);
        QCOMPARE(at("item11"), std::string::npos);

        QVERIFY(Restart());
        QCOMPARE(form->pos(), QPoint(310, 320));
        QCOMPARE(form->size(), QSize(640, 480));
        QVERIFY(!Child<QCheckBox>("chkNotSeparateWord")->isChecked());
        QVERIFY(!Child<QCheckBox>("chkSearchWithAnd")->isChecked());
        QVERIFY(Child<QCheckBox>("chkNotPartMatch")->isChecked());
        QVERIFY(Child<QRadioButton>("rdoSelectCondition2")->isChecked());
        QCOMPARE(form->Session().HitLimit(), 1000);
        QCOMPARE(cmbSubStr()->count(), 10);
        QCOMPARE(cmbSubStr()->currentText(), QStringLiteral("key12"));
        QCOMPARE(form->Session().DataFile(), data);
        QCOMPARE(EditorEx2()->LineCount(), 2);  // the last data file is loaded again
        QCOMPARE(Status(StatusPanel::Position), QStringLiteral("No.1"));
        QCOMPARE(form->Session().IgnoredWordsText().toLower(), QStringLiteral("the\nwith"));
    }

    // Windows closed all at once (a logout) with the options dialog still open keep the
    // words typed into it, whichever window goes first.
    void wordsTypedIntoTheOpenOptionsAreSavedWhenEveryWindowCloses() {
        auto* options = Child<TfrmOption>("frmOption");
        bool typed = false;
        WhenModalShows([&](QWidget* modal) {
            typed = modal == options;
            options->Memo1->setPlainText(QStringLiteral("kidney\nliver"));
            QApplication::closeAllWindows();
        });
        Action("O1")->trigger();  // back once the dialog is closed
        QVERIFY(typed);
        QVERIFY(!form->isVisible());
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "SEARCH", "notword"), "kidney,liver");
    }

    void theCompactWindowSavesTheFullLayoutsSizeAndOddPlacesAreNotRestored() {
        form->resize(700, 450);
        Action("S1")->trigger();
        form->close();
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "FORM", "WIDTH"), "700");
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "FORM", "HEIGHT"), "450");

        // A top of 300 or less, or a width beyond the screen, leaves the designed values.
        const QSize screen = QGuiApplication::primaryScreen()->size();
        WriteIniValue(iniPath().toStdString(), "FORM", "TOP", false, "300");
        WriteIniValue(iniPath().toStdString(), "FORM", "WIDTH", false, std::to_string(screen.width() + 1));
        form.reset();
        CreateTestForms();
        const QPoint designedPlace = form->pos();
        const int designedWidth = form->width();
        form->LoadSettings();
        QCOMPARE(form->y(), designedPlace.y());
        QCOMPARE(form->width(), designedWidth);
        QCOMPARE(form->height(), 450);
    }

    void handEditedViewKeysStyleThePageButNeverTheRecordText() {
        const std::string gothic = Sjis::FromUtf8("ＭＳ ゴシック").bytes;
        WriteFile(QStringLiteral("QuillorDic.ini"),
                  "[VIEW]\r\nSepNum=\"SPC\"\r\nColor=\"Navy\"\r\nYakuFont=\"" + gothic +
                      "\"\r\nYakuColor=\"RED\"\r\n");
        const QString data = WriteFile(QStringLiteral("dic.txt"),
                                       "1 abate///" + Sjis::FromUtf8("軽減する").bytes +
                                           ":::Note style='color: \"x\"' here.\r\n2 b///c:::d\r\n");
        QVERIFY(Restart());
        form->LoadDictionary(data);
        Action("T1")->trigger();
        const QString colour = Evaluate(WebBrowser1(), QStringLiteral(
            "getComputedStyle([...document.querySelectorAll('span')].find(s => s.textContent.includes('軽減する'))).color"))
                                   .toString();
        QVERIFY2(colour == QStringLiteral("rgb(255, 0, 0)"),
                 qPrintable(Evaluate(WebBrowser1(), QStringLiteral("document.body.innerHTML")).toString()));
        QVERIFY2(BodyText(WebBrowser1()).contains(QStringLiteral("Note style='color: \"x\"' here.")),
                 qPrintable(BodyText(WebBrowser1())));
        // The separators and fragments themselves stay as the settings gave them.
        QCOMPARE(form->Session().View().fragments.keyMarkOpen, std::string("<FONT COLOR=\"Navy\">"));
        QCOMPARE(form->Session().View().fragments.translationOpen,
                 "<span style='font-family: \"" + gothic + "\"; Color: \"RED\"'>");
        // A later close leaves the hand-edited section as it was.
        form->close();
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "VIEW", "Color"), "Navy");
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "VIEW", "BunFont"), "ER");
    }

    void aDataFileWhosePathTheCodePageCannotSpellIsFoundAgain_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("asAddress");  // kept as a file: address, not as code page 932 text
        QTest::newRow("not in the code page") << QStringLiteral("Téléchargements") << true;
        // Characters the code page holds, but reads back as others.
        QTest::newRow("wave dash") << QStringLiteral("辞書〜2024") << true;
        QTest::newRow("yen sign") << QStringLiteral("¥data") << true;
        QTest::newRow("minus sign") << QStringLiteral("a−b") << true;
        QTest::newRow("double vertical line") << QStringLiteral("a‖b") << true;
        QTest::newRow("fullwidth tilde") << QStringLiteral("辞書～2024") << false;
        QTest::newRow("plain Japanese") << QStringLiteral("医学辞書") << false;
    }

    void aDataFileWhosePathTheCodePageCannotSpellIsFoundAgain() {
        QFETCH(QString, folder);
        QFETCH(bool, asAddress);
        QVERIFY(QDir(dir.path()).mkdir(folder));
        const QString data =
            WriteFile(folder + QStringLiteral("/dic.txt"), Record(1, "abate", "軽減する") + Record(2, "heart", "心臓"));
        form->LoadDictionary(data);
        form->AddToHistory(QStringLiteral("naïve"));  // not kept: the code page has no "ï"
        form->AddToHistory(QStringLiteral("heart"));
        form->Session().SetIgnoredWordsText(QStringLiteral("naïve\nwith"));  // the same for a word
        form->close();
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "SEARCH", "notword"), "with");
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "KEYKIST", "item1"), "heart");
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "KEYKIST", "item2"), "ER");
        const std::string stored = ReadIniValue(iniPath().toStdString(), "FILE", "DATAT");
        QCOMPARE(stored, asAddress ? QUrl::fromLocalFile(data).toEncoded().toStdString() : Sjis::FromQString(data).bytes);
        QVERIFY(Restart());
        QCOMPARE(form->Session().DataFile(), data);
        QCOMPARE(EditorEx2()->LineCount(), 2);
    }

    void settingsThatCannotBeWrittenAreReportedOnceAndTheWindowStillCloses() {
        form->Files().settings = dir.filePath(QStringLiteral("no-such-folder/QuillorDic.ini"));
        const QStringList reports = CloseCollectingErrors();
        QCOMPARE(reports, QStringList{QStringLiteral("エラー発生 \r\nファイル ") + form->Files().settings +
                                      QStringLiteral(" を作成できません: ") + QString::fromLocal8Bit(std::strerror(ENOENT))});
        QVERIFY(!form->isVisible());
    }

    void aReadOnlySettingsFileIsWrittenOnlyWhenTheUserAgrees() {
        form->close();
        QFile::setPermissions(iniPath(), QFileDevice::ReadOwner);
        const std::string before = Ini(iniPath());

        // Cancel to every question: the erasing of the history, which does not ask,
        // cannot write the file; one report, the file as it was, the window closed.
        int asked = 0;
        AskUserHandler previous = SetAskUserHandler([&](std::string_view, std::string_view, int) {
            ++asked;
            return AskAnswer::Cancel;
        });
        QVERIFY(ShowAndActivate());
        form->Session().SetHitLimit(5);
        QCOMPARE(CloseCollectingErrors().size(), 1);
        QCOMPARE(asked, 10);
        QCOMPARE(Ini(iniPath()), before);
        QVERIFY(!form->isVisible());

        // OK once: the file becomes writable and every value is written.
        SetAskUserHandler([&](std::string_view, std::string_view, int) {
            ++asked;
            return AskAnswer::Ok;
        });
        QVERIFY(ShowAndActivate());
        QCOMPARE(CloseCollectingErrors().size(), 0);
        SetAskUserHandler(std::move(previous));
        QCOMPARE(asked, 11);
        QVERIFY(QFileInfo(iniPath()).isWritable());
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "SEARCH", "MaxOfSelection"), "5");
    }

    void aFileNamedAtStartIsOpenedInsteadOfTheLastOne() {
        const QString last = WriteFile(QStringLiteral("last.txt"), Record(1, "last", "最後") + Record(2, "x", "y"));
        const QString named = WriteFile(QStringLiteral("named.txt"), Record(1, "named", "指定") + Record(2, "x", "y"));
        WriteIniValue(iniPath().toStdString(), "FILE", "DATAT", true, last.toStdString());
        form.reset();
        CreateTestForms();
        form->LoadSettings();
        form->OpenAtStart(named);
        QVERIFY(ShowAndActivate());
        QCOMPARE(form->Session().DataFile(), named);
        QVERIFY(QString::fromStdString(EditorEx2()->Line(0)).startsWith(QStringLiteral("named")));

        // A named file that is not there is reported, and the settings keep naming the
        // last file that loaded.
        form->close();
        form.reset();
        CreateTestForms();
        form->LoadSettings();
        form->OpenAtStart(dir.filePath(QStringLiteral("gone.txt")));
        const QStringList reports = AcknowledgingMessages([this] { ShowAndActivate(); });
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().contains(QStringLiteral("コード : 2")), qPrintable(reports.first()));
        QCOMPARE(form->Session().DataFile(), named);
        form->close();
        QCOMPARE(ReadIniValue(iniPath().toStdString(), "FILE", "DATAT"), named.toStdString());
    }
};

int main(int argc, char* argv[]) { return RunFormTests<SettingsTest>(argc, argv); }

#include "SettingsTest.moc"
