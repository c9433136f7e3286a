// The history and word list dialogs over a real database in a folder of their own,
// driven by keys and clicks as the user drives them.
#include "common/Sjis.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/WordListDialog.h"
#include "store/UserDatabase.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kDataFile = QStringLiteral("/dictionaries/medical.txt");

QString CellText(const QTableView* list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}

QStringList ColumnTexts(const QTableView* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) texts << CellText(list, row, column);
    return texts;
}

QStringList HeadwordsInDatabase(UserDatabase& database) {
    QStringList headwords;
    for (const WordEntry& entry : database.AllWords()) headwords << entry.headword;
    return headwords;
}

}  // namespace

class HistoryWordListDialogsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<UserDatabase> database;

    void Show(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
    }

private slots:
    void init() {
        database = UserDatabase::Open(dir.filePath(QStringLiteral("user-%1.db").arg(QTest::currentTestFunction())));
        QVERIFY(database->Available());
        const char* words[][3] = {{"heart", "心臓", ""}, {"Heartburn", "胸やけ", "胃酸"}, {"lung", "肺", ""},
                                  {"aorta", "大動脈", ""}};
        std::int64_t added = 1'700'000'000'000;
        for (const auto& [headword, translation, note] : words) {
            WordEntry entry;
            entry.headword = QString::fromUtf8(headword);
            entry.translation = QString::fromUtf8(translation);
            entry.note = QString::fromUtf8(note);
            entry.added = added += 60'000;
            QVERIFY(database->AddWord(entry));
        }
    }

    void historyFilterNarrowsAndReturnChoosesTheRowMovedToByDown() {
        for (const char* headword : {"heart", "lung", "HEARTBURN", "心臓"}) {
            HistoryStep step;
            step.dataFile = kDataFile;
            step.headword = Sjis::FromQString(QString::fromUtf8(headword)).bytes;
            step.time = 1'700'000'000'000;
            QVERIFY(database->AddStep(step) > 0);
        }
        HistoryDialog dialog;
        dialog.SetSteps(database->History(kDataFile));
        Show(dialog);
        QSignalSpy chosen(&dialog, &HistoryDialog::StepChosen);
        auto* list = dialog.findChild<QTableView*>(QStringLiteral("HistoryList"));
        QCOMPARE(ColumnTexts(list, 1), QStringList({"心臓", "HEARTBURN", "lung", "heart"}));

        QTest::keyClicks(dialog.findChild<QLineEdit*>(), QStringLiteral("Heart"));
        QCOMPARE(ColumnTexts(list, 1), QStringList({"HEARTBURN", "heart"}));
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Down);
        QTest::keyClick(dialog.findChild<QLineEdit*>(), Qt::Key_Return);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<HistoryStep>().headword, "heart");
        QVERIFY(dialog.isVisible());
    }

    void wordListSortsByAHeaderClickBothWays() {
        WordListDialog dialog(database.get());
        Show(dialog);
        auto* list = dialog.findChild<QTableView*>(QStringLiteral("WordList"));
        QHeaderView* header = list->horizontalHeader();
        const QPoint headwordHeader(header->sectionViewportPosition(0) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headwordHeader);
        QCOMPARE(ColumnTexts(list, 0), QStringList({"aorta", "heart", "Heartburn", "lung"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, headwordHeader);
        QCOMPARE(ColumnTexts(list, 0), QStringList({"lung", "Heartburn", "heart", "aorta"}));
    }

    void wordListFilterNarrowsTheRowsAndTheCountAndReturnChoosesAtOnce() {
        WordListDialog dialog(database.get());
        Show(dialog);
        QSignalSpy chosen(&dialog, &WordListDialog::EntryChosen);
        auto* list = dialog.findChild<QTableView*>(QStringLiteral("WordList"));
        auto* count = dialog.findChild<QLabel*>(QStringLiteral("Count"));
        QVERIFY(count->text().startsWith(QStringLiteral("4 ")));
        auto* filter = dialog.findChild<QLineEdit*>();
        filter->insert(QStringLiteral("胃"));  // a note's text, as an input method gives it
        QTest::keyClick(filter, Qt::Key_Return);  // without waiting for the pause after typing
        QCOMPARE(ColumnTexts(list, 0), QStringList({"Heartburn"}));
        QVERIFY(count->text().startsWith(QStringLiteral("1 ")));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen[0][0].value<WordEntry>().headword, QStringLiteral("Heartburn"));
    }

    void wordListNoteWrittenInPlaceIsStored() {
        WordListDialog dialog(database.get());
        Show(dialog);
        auto* list = dialog.findChild<QTableView*>(QStringLiteral("WordList"));
        list->setFocus();
        list->setCurrentIndex(list->model()->index(0, 3));
        QTest::keyClick(list, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != list);
        QTest::keyClicks(editor, QStringLiteral("learn by heart"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the view commits the editor's text once Return has passed
        const WordEntry stored = database->Words({}, WordOrder::Added, true, 0, 1).at(0);
        QCOMPARE(stored.note, QStringLiteral("learn by heart"));
        QCOMPARE(CellText(list, 0, 3), stored.note);
    }

    void wordListDeleteKeyRemovesEverySelectedRowAndSelectsTheNext() {
        WordListDialog dialog(database.get());
        Show(dialog);
        auto* list = dialog.findChild<QTableView*>(QStringLiteral("WordList"));
        list->setFocus();
        // Newest first: aorta, lung, Heartburn, heart; the first two and the fourth.
        list->selectRow(0);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        list->selectionModel()->select(list->model()->index(3, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(HeadwordsInDatabase(*database), QStringList({"Heartburn"}));
        QCOMPARE(ColumnTexts(list, 0), QStringList({"Heartburn"}));
        QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
    }

    void wordListWithoutADatabaseIsEmptyAndSaysSo() {
        // A folder that cannot be made: a file stands in its place.
        QFile blocker(dir.filePath(QStringLiteral("not-a-folder")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const std::unique_ptr<UserDatabase> unavailable =
            UserDatabase::Open(blocker.fileName() + QStringLiteral("/nowhere/user.db"));
        QVERIFY(!unavailable->Available());
        for (UserDatabase* store : {static_cast<UserDatabase*>(nullptr), unavailable.get()}) {
            WordListDialog dialog(store);
            Show(dialog);
            auto* list = dialog.findChild<QTableView*>(QStringLiteral("WordList"));
            QCOMPARE(list->model()->rowCount(), 0);
            QTest::keyClick(list, Qt::Key_Delete);
            QTest::keyClick(list, Qt::Key_Return);
            dialog.Reload();
            QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("Count"))->text().isEmpty());
        }
    }
};

QTEST_MAIN(HistoryWordListDialogsTest)
#include "HistoryWordListDialogsTest.moc"
