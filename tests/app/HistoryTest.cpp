// The history and the word list through the real window: steps back and forward by
// key, mouse and button, both lists after a restart, a damaged database, and the
// word list's export and import.
#include "app/FormTestSupport.h"

#include <QAbstractItemModel>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>

class HistoryTest : public FormTestBase {
    Q_OBJECT

private:
    QString dictionary;

    void StartWindow(const QString& database) {
        CreateTestForms();
        form->Files().database = database;
        QVERIFY(ShowAndActivate());
        form->LoadDictionary(dictionary);
    }
    void ClickHeadword(int row) {
        QTest::mouseClick(EditorEx2()->viewport(), Qt::LeftButton, {}, RowCentre(EditorEx2(), row));
    }
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : form.get(), key, modifiers);
    }
    QString Page() { return BodyText(WebBrowser1()); }
    // The rows of a list window's table, one column.
    QStringList Column(const char* dialog, const char* table, int column) {
        auto* view = Child<QDialog>(dialog)->findChild<QTableView*>(QString::fromLatin1(table));
        QStringList texts;
        for (int row = 0; view && row < view->model()->rowCount(); ++row)
            texts.append(view->model()->index(row, column).data().toString());
        return texts;
    }

private slots:
    void init() { dictionary = WriteFile(QStringLiteral("dic.txt"), EightRecords()); }
    void cleanup() { form.reset(); }

    void theHistoryAndTheWordListOutliveTheWindow() {
        const QString database = dir.filePath(QStringLiteral("restart.sqlite"));
        StartWindow(database);
        QTRY_VERIFY(!Action("HistoryBack1")->isEnabled());  // once the file's history is read
        ClickHeadword(1);  // heart
        form->LookUpHeadword(QStringLiteral("lung"));
        QVERIFY(Page().contains(QStringLiteral("肺")));
        PressKey(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(Button("WordListedBtn")->isChecked());
        form->LookUpHeadword(QStringLiteral("liver"));
        QVERIFY(!Button("WordListedBtn")->isChecked());

        PressKey(Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Page().contains(QStringLiteral("肺")));
        QVERIFY(Button("WordListedBtn")->isChecked());
        // The mouse's back button, anywhere over the window.
        QTest::mouseClick(EditorEx2()->viewport(), Qt::BackButton, {}, RowCentre(EditorEx2(), 0));
        QVERIFY(Page().contains(QStringLiteral("心臓")));
        QVERIFY(!Action("HistoryBack1")->isEnabled());
        Button("HistoryForwardBtn")->click();
        QVERIFY(Page().contains(QStringLiteral("肺")));
        // The green arrows still step through the file, and are no step.
        Button("SpeedButton4")->click();
        QVERIFY(Page().contains(QStringLiteral("腎臓")));
        PressKey(Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Page().contains(QStringLiteral("肺")));

        form->close();
        form.reset();
        StartWindow(database);
        PressKey(Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Page().contains(QStringLiteral("肝臓")));  // read last before the restart
        Action("History1")->trigger();
        QCOMPARE(Column("frmHistory", "HistoryList", 1), (QStringList{"liver", "lung", "heart"}));
        Action("WordList1")->trigger();
        QCOMPARE(Column("frmWordList", "WordList", 0), QStringList{"lung"});
    }

    void aDamagedDatabaseIsMovedAsideAndSaidOnce() {
        const QString database = dir.filePath(QStringLiteral("damaged.sqlite"));
        const std::string damaged = "SQLite format 3" + std::string(200, '\xee');
        WriteFile(QStringLiteral("damaged.sqlite"), damaged);
        StartWindow(database);
        // The database is opened once the load is shown.
        QTRY_VERIFY(Status(StatusPanel::Message).contains(QStringLiteral("damaged")));
        const QString notice = Status(StatusPanel::Message);
        QDir folder(dir.path());
        const QStringList moved = folder.entryList({QStringLiteral("damaged.sqlite.*")}, QDir::Files);
        QCOMPARE(moved.size(), 1);
        QVERIFY2(notice.contains(folder.filePath(moved.front())), qPrintable(notice));
        QFile kept(folder.filePath(moved.front()));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll().toStdString(), damaged);  // moved, never deleted
        // The history works on in the new file, and the notice is not said again.
        ClickHeadword(1);
        ClickHeadword(3);
        PressKey(Qt::Key_Left, Qt::AltModifier);
        QVERIFY(Page().contains(QStringLiteral("心臓")));
        form->LoadDictionary(dictionary);
        QVERIFY(!Status(StatusPanel::Message).contains(moved.front()));
    }

    void theWordListIsExportedAndImportedThroughTheWindow() {
        StartWindow(dir.filePath(QStringLiteral("export.sqlite")));
        ClickHeadword(1);
        Action("WordListed1")->trigger();
        ClickHeadword(3);
        Action("WordListed1")->trigger();
        const QString exported = dir.filePath(QStringLiteral("list.csv"));
        form->FileDialogs().exportWordList = [&](const QString&) { return exported; };
        Action("ExportWordList1")->trigger();
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString csv = QString::fromUtf8(file.readAll());
        QVERIFY2(csv.contains(QStringLiteral("heart,心臓")) && csv.contains(QStringLiteral("lung,肺")), qPrintable(csv));

        // Another list merges into this one: the new word is added, the known one kept.
        const QString other = WriteFile(QStringLiteral("other.txt"),
                                        "#separator:tab\n#columns:訳語\t見出し語\n肺\tlung\n腎臓\tkidney\n");
        form->FileDialogs().importWordList = [&](const QString&) { return other; };
        Action("ImportWordList1")->trigger();
        QVERIFY2(Status(StatusPanel::Message).contains(QStringLiteral("1 語を加えました")),
                 qPrintable(Status(StatusPanel::Message)));
        Action("WordList1")->trigger();
        QCOMPARE(Column("frmWordList", "WordList", 0).size(), 3);

        // A file with bytes that are no text is refused whole, with a message.
        const QString bad = WriteFile(QStringLiteral("bad.txt"), "brain\t脳\n\xff\xfe\tnone\n");
        form->FileDialogs().importWordList = [&](const QString&) { return bad; };
        QString report;
        WhenModalShows([&](QWidget* box) {
            report = static_cast<QMessageBox*>(box)->text();
            box->close();
        });
        Action("ImportWordList1")->trigger();
        QVERIFY2(report.contains(QStringLiteral("bad.txt")), qPrintable(report));
        QTRY_COMPARE(Column("frmWordList", "WordList", 0).size(), 3);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<HistoryTest>(argc, argv); }

#include "HistoryTest.moc"
