// The completion list under an editable combo box with a history, driven by keys sent
// to the window as a user's are: the focus stays in the box, and the box sees only the
// keys the list leaves it.
#include "app/CompletionPopup.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

QList<std::pair<QAccessible::Event, int>> heard;  // what a screen reader was told of the list
QObject* listened = nullptr;

void Hear(QAccessibleEvent* event) {
    if (event->object() == listened) heard.append({event->type(), event->child()});
}

}  // namespace

class CompletionPopupTest : public QObject {
    Q_OBJECT

    const QStringList words{QStringLiteral("abate"), QStringLiteral("abdomen"), QStringLiteral("abscess"),
                            QStringLiteral("acne")};
    std::unique_ptr<QWidget> window;
    QComboBox* box = nullptr;
    QLineEdit* other = nullptr;
    CompletionPopup* popup = nullptr;

    void Press(std::initializer_list<Qt::Key> keys) {
        for (const Qt::Key key : keys) QTest::keyClick(window->windowHandle(), key);
    }

private slots:
    void init() {
        window = std::make_unique<QWidget>();
        box = new QComboBox;
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems({QStringLiteral("older"), QStringLiteral("old"), QStringLiteral("oldest")});
        box->setCurrentIndex(1);
        box->setEditText(QStringLiteral("ab"));
        other = new QLineEdit;
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(box);
        layout->addWidget(other);
        popup = new CompletionPopup(box, QStringLiteral("候補"));
        window->show();
        window->activateWindow();  // under X with no window manager, nothing else does
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        box->setFocus();
        popup->SetItems(words);
        QVERIFY(popup->IsShown());
    }

    void cleanup() { window.reset(); }

    void typingGoesOnIntoTheBox() {
        QCOMPARE(box->currentText(), QStringLiteral("ab"));
        QTest::keyClick(window->windowHandle(), 'a');
        QTest::keyClick(window->windowHandle(), 't');
        QCOMPARE(box->currentText(), QStringLiteral("abat"));
        QCOMPARE(QApplication::focusWidget(), box);
        QCOMPARE(QApplication::activeWindow(), window.get());
        QVERIFY(popup->IsShown());
    }

    void listHangsUnderTheBoxAndFitsItsRows() {
        const QString longest = QStringLiteral("abdominal aortic aneurysm repair");
        QStringList many(30, QStringLiteral("ab"));
        many.append(longest);
        popup->SetItems(many);
        const QRect list = popup->View()->window()->geometry();
        QCOMPARE(list.topLeft(), box->mapToGlobal(QPoint(0, box->height())));
        QVERIFY(list.width() >= box->width());
        QVERIFY(popup->View()->visualRect(popup->View()->model()->index(30, 0)).width() >=
                popup->View()->fontMetrics().horizontalAdvance(longest));
        QVERIFY(popup->View()->verticalScrollBar()->isVisible());
    }

    void keysMoveTheCurrentRow_data() {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("row");
        QTest::newRow("Down from none: the first") << QList<int>{Qt::Key_Down} << 0;
        QTest::newRow("Down, Down, Up") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up} << 0;
        QTest::newRow("Up from the first: none") << QList<int>{Qt::Key_Down, Qt::Key_Up} << -1;
        QTest::newRow("Up from none: none") << QList<int>{Qt::Key_Up} << -1;
        QTest::newRow("Down stops at the last") << QList<int>(6, Qt::Key_Down) << 3;
        QTest::newRow("PageDown stops at the last") << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown} << 3;
        QTest::newRow("PageUp stops at the first")
            << QList<int>{Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_PageUp} << 0;
    }

    void keysMoveTheCurrentRow() {
        QFETCH(QList<int>, keys);
        QFETCH(int, row);
        QCOMPARE(popup->CurrentRow(), -1);
        for (const int key : keys) Press({Qt::Key(key)});
        QCOMPARE(popup->CurrentRow(), row);
        QCOMPARE(box->currentText(), QStringLiteral("ab"));
    }

    void arrowsStepTheHistoryOnlyWhileTheListIsHidden() {
        Press({Qt::Key_Down, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up});
        QCOMPARE(box->currentIndex(), 1);
        popup->Hide();
        Press({Qt::Key_Down});
        QCOMPARE(box->currentIndex(), 2);
    }

    void returnChoosesTheCurrentRowAndStopsThere() {
        QSignalSpy chosen(popup, &CompletionPopup::Chosen);
        QSignalSpy returned(box->lineEdit(), &QLineEdit::returnPressed);
        Press({Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(chosen, QList<QVariantList>{{1}});
        QCOMPARE(returned.count(), 0);
        QVERIFY(!popup->IsShown());
        QCOMPARE(box->currentText(), QStringLiteral("ab"));
    }

    void returnWithNoRowCurrentGoesToTheBox() {
        QSignalSpy chosen(popup, &CompletionPopup::Chosen);
        QSignalSpy returned(box->lineEdit(), &QLineEdit::returnPressed);
        Press({Qt::Key_Down, Qt::Key_Up, Qt::Key_Enter});
        QCOMPARE(returned.count(), 1);
        QCOMPARE(chosen.count(), 0);
        QVERIFY(!popup->IsShown());
    }

    void escapeHidesTheListAndTriggersNothingElse() {
        int escapes = 0;
        connect(new QShortcut(Qt::Key_Escape, window.get()), &QShortcut::activated, [&] { ++escapes; });
        Press({Qt::Key_Escape});
        QVERIFY(!popup->IsShown());
        QCOMPARE(escapes, 0);
        Press({Qt::Key_Escape});
        QCOMPARE(escapes, 1);
    }

    void clickChoosesARow() {
        QSignalSpy chosen(popup, &CompletionPopup::Chosen);
        QAbstractItemView* view = popup->View();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 0)).center());
        QCOMPARE(chosen, QList<QVariantList>{{2}});
        QVERIFY(!popup->IsShown());
        QCOMPARE(QApplication::focusWidget(), box);
    }

    void listGoesWhenTheBoxCannotUseIt_data() {
        QTest::addColumn<QString>("what");
        for (const char* what : {"focus elsewhere", "box hidden", "window moved", "window hidden", "no items"})
            QTest::newRow(what) << QString::fromLatin1(what);
    }

    void listGoesWhenTheBoxCannotUseIt() {
        QFETCH(QString, what);
        if (what == QLatin1String("focus elsewhere")) other->setFocus();
        if (what == QLatin1String("box hidden")) box->hide();
        if (what == QLatin1String("window moved")) window->move(window->pos() + QPoint(40, 30));
        if (what == QLatin1String("window hidden")) window->hide();
        if (what == QLatin1String("no items")) popup->SetItems({});
        QTRY_VERIFY(!popup->IsShown());
    }

    void screenReaderReadsTheListAndItsCurrentRow() {
        QAccessibleInterface* boxAccessible = QAccessible::queryAccessibleInterface(box);
        const QString boxName = boxAccessible->text(QAccessible::Name);
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(popup->View());
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("候補"));
        QCOMPARE(list->childCount(), words.size());
        for (int row = 0; row < words.size(); ++row) QCOMPARE(list->child(row)->text(QAccessible::Name), words[row]);
        Press({Qt::Key_Down, Qt::Key_Down});
        const QAccessible::State current = list->child(1)->state();
        QVERIFY(current.selected && current.focused);
        QVERIFY(!list->child(0)->state().selected);
        QCOMPARE(boxAccessible->text(QAccessible::Name), boxName);
    }

    // Only where a bridge to a screen reader comes up: under X, with a session bus whose
    // org.a11y.Status has IsEnabled on.
    void screenReaderIsToldOfEachNewCurrentRow() {
        if (QGuiApplication::platformName() == QLatin1String("offscreen") ||
            !QTest::qWaitFor([] { return QAccessible::isActive(); }, 5000))
            QSKIP("no screen reader bridge");
        heard.clear();
        listened = popup->View();
        QAccessible::installUpdateHandler(&Hear);
        Press({Qt::Key_Down, Qt::Key_Down});
        QAccessible::installUpdateHandler(nullptr);
        QVERIFY(heard.contains(std::pair(QAccessible::Focus, 1)));
        QVERIFY(heard.contains(std::pair(QAccessible::Selection, 1)) ||
                heard.contains(std::pair(QAccessible::SelectionAdd, 1)));
    }
};

QTEST_MAIN(CompletionPopupTest)
#include "CompletionPopupTest.moc"
