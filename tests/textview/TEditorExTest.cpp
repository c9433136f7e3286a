// The text view as the user drives it: real key, mouse and input-method events, and
// what it paints.
#include "../app/FormTestSupport.h"

#include "common/Sjis.h"

#include <QAccessible>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>
#include <QScrollBar>

namespace {

const std::string kIgaku = "\x88\xE3\x8A\x77";  // 医学

QImage Painted(TEditorEx& view) {
    QImage image(view.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    view.viewport()->render(&image);
    return image;
}

// Thirty numbered lines, each too long for a view 400 pixels wide.
std::string LongLines() {
    std::string text;
    for (int i = 0; i < 30; ++i) text += std::to_string(i) + " heart///" + kIgaku + ":::" + std::string(80, 'x') + "\r\n";
    return text;
}

}  // namespace

class TEditorExTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TEditorEx> view;

    void Open(const std::string& text, bool readOnly = false) {
        view = std::make_unique<TEditorEx>();
        view->resize(400, 200);
        view->SetWholeText(text);
        view->SetReadOnly(readOnly);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        view->activateWindow();
        view->TakeFocus();
        QVERIFY(QTest::qWaitFor([&] { return view->hasFocus(); }));
    }

    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1) {
        for (int i = 0; i < times; ++i) QTest::keyClick(view.get(), key, modifiers);
    }

    void Press(const QKeySequence& sequence) {
        const QKeyCombination combination = sequence[0];
        QTest::keyClick(view.get(), combination.key(), combination.keyboardModifiers());
    }

    // Just inside the left edge of a cell.
    QPoint InCell(std::int64_t row, std::size_t column) const {
        return {2 + static_cast<int>(column) * view->CellWidth() + 1,
                static_cast<int>(row) * view->RowHeight() + view->RowHeight() / 2};
    }

private slots:
    void cleanup() { view.reset(); }

    void typingEntersBytesAndReadOnlyIgnoresIt() {
        Open("1 heart///x:::y\r\n", true);
        QTest::keyClicks(view.get(), "zz");
        Press(Qt::Key_Backspace);
        QCOMPARE(view->WholeText(), "1 heart///x:::y\r\n");
        QVERIFY(!view->Modified());

        view->SetReadOnly(false);
        Press(Qt::Key_End);
        QTest::keyClicks(view.get(), " ok");
        Press(Qt::Key_Home);
        Press(Qt::Key_Right, Qt::NoModifier, 2);
        Press(Qt::Key_Return);
        QCOMPARE(view->WholeText(), "1 \r\nheart///x:::y ok\r\n");
        QCOMPARE(view->CaretPosition(), (TEditorEx::Position{1, 0}));
        QVERIFY(view->Modified());
        Press(Qt::Key_Backspace);
        Press(Qt::Key_Delete, Qt::NoModifier, 5);
        QCOMPARE(view->WholeText(), "1 ///x:::y ok\r\n");
    }

    // The caret steps over a double-byte character whole, never stopping between its
    // two bytes; a lead byte whose pair decodes to nothing is drawn as its own
    // character, and so is the ASCII byte after it, so the caret stops between them.
    void caretStepsOverWholeCharactersAndInvalidBytes() {
        Open("a" + kIgaku + "\x80" "\x88" "b" "c");
        const std::vector<std::size_t> stops = {0, 1, 3, 5, 6, 7, 8, 9};
        for (std::size_t i = 1; i < stops.size(); ++i) {
            Press(Qt::Key_Right);
            QCOMPARE(view->CaretPosition().column, stops[i]);
        }
        for (std::size_t i = stops.size() - 1; i > 0; --i) {
            Press(Qt::Key_Left);
            QCOMPARE(view->CaretPosition().column, stops[i - 1]);
        }
        // A click on either half of a character puts the caret at its nearer edge.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, InCell(0, 2));
        QCOMPARE(view->CaretPosition().column, 3u);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, InCell(0, 1));
        QCOMPARE(view->CaretPosition().column, 1u);

        Press(Qt::Key_Delete);  // the whole of 医
        QCOMPARE(view->Line(0), "a" "\x8A\x77" "\x80" "\x88" "b" "c");
        Press(Qt::Key_End);
        Press(Qt::Key_Backspace, Qt::NoModifier, 2);  // c, then b: the lead byte stays
        QCOMPARE(view->Line(0), "a" "\x8A\x77" "\x80" "\x88");

        // A letter typed after a lone lead byte is taken back alone.
        QTest::keyClicks(view.get(), "A");
        Press(Qt::Key_Backspace);
        QCOMPARE(view->Line(0), "a" "\x8A\x77" "\x80" "\x88");

        // A double click takes the word: a run of letters, or of full-width characters.
        view->SetWholeText("1 heart " + kIgaku + "///x");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, InCell(0, 4));
        QCOMPARE(view->SelectedText(), "heart");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, InCell(0, 7) - QPoint(2, 0));  // right half of t
        QCOMPARE(view->SelectedText(), "heart");
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, InCell(0, 10));
        QCOMPARE(view->SelectedText(), kIgaku);
    }

    void selectsWithShiftAndTheMouse() {
        Open("1 abc///d\r\n2 " + kIgaku + "///e\r\n");
        Press(Qt::Key_Right, Qt::ShiftModifier, 3);
        QCOMPARE(view->SelectedText(), "1 a");
        // Down keeps to column 3, the second byte of 医: the caret stops before it.
        Press(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(view->SelectedText(), "1 abc///d\r\n2 ");

        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, InCell(0, 6));
        QTest::mouseMove(view->viewport(), InCell(1, 5));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, InCell(1, 5));
        // The drag ended on the second half of 学: the selection takes it whole.
        QCOMPARE(view->SelectedText(), "//d\r\n2 " + kIgaku);

        QTest::keyClicks(view.get(), "X");
        QCOMPARE(view->WholeText(), "1 abc/X///e\r\n");

        // Held below the bottom edge, the selection grows and the view scrolls on.
        std::string lines;
        for (int i = 1; i <= 300; ++i) lines += std::to_string(i) + " w///x:::y\r\n";
        view->SetWholeText(lines);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, InCell(0, 0));
        QTest::mouseMove(view->viewport(), QPoint(20, view->viewport()->height() + view->RowHeight()));
        QVERIFY(QTest::qWaitFor([&] { return view->TopRow() > 10; }));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, QPoint(20, view->viewport()->height() + 5));
        QVERIFY(view->CaretRow() >= view->TopRow() + view->VisibleRowCount() - 1);
        QVERIFY(view->SelectedText().starts_with("1 w///x:::y\r\n2 w"));
    }

    // Bytes that have no Unicode form survive a copy and paste inside the program;
    // text from elsewhere is encoded, and what code page 932 cannot hold is refused.
    void clipboardKeepsBytesAndRefusesWhatCannotBeSaved() {
        Open("1 \xFD\x80" "d\r\n2 x\r\n");
        Press(Qt::Key_End, Qt::ShiftModifier);
        Press(QKeySequence(QKeySequence::Copy));
        Press(Qt::Key_Down);
        Press(Qt::Key_End);
        Press(QKeySequence(QKeySequence::Paste));
        QCOMPARE(view->Line(1), "2 x1 \xFD\x80" "d");

        QGuiApplication::clipboard()->setText(QStringLiteral("心臓\n弁"));
        Press(QKeySequence(QKeySequence::Paste));
        QCOMPARE(view->WholeText(), "1 \xFD\x80" "d\r\n2 x1 \xFD\x80" "d\x90\x53\x91\x9F\r\n\x95\xD9\r\n");

        const std::string before = view->WholeText();
        QString refusal;
        WhenModalShows([&](QWidget* box) {
            refusal = box->objectName() + QLatin1Char(' ') + static_cast<QMessageBox*>(box)->text();
            box->close();
        });
        QGuiApplication::clipboard()->setText(QStringLiteral("café"));
        Press(QKeySequence(QKeySequence::Paste));
        QVERIFY(QTest::qWaitFor([&] { return !refusal.isEmpty(); }));
        QVERIFY2(refusal.startsWith(QStringLiteral("RefusedInput")) && refusal.contains(QStringLiteral("U+00E9")),
                 qPrintable(refusal));
        QCOMPARE(view->WholeText(), before);

        Press(Qt::Key_Home, Qt::ControlModifier);
        Press(Qt::Key_Right, Qt::ShiftModifier, 2);
        Press(QKeySequence(QKeySequence::Cut));
        QCOMPARE(view->Line(0), "\xFD\x80" "d");
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("1 "));
        // A Delete after the cut is a step of its own.
        Press(Qt::Key_Delete);
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->Line(0), "\xFD\x80" "d");

        // An index view copies the rows it shows selected, whole.
        view->SetWholeRowSelection(true);
        view->Select({0, 1}, {1, 2});
        Press(QKeySequence(QKeySequence::Copy));
        QCOMPARE(QGuiApplication::clipboard()->text(), Sjis::ToQString(view->Line(0) + "\r\n" + view->Line(1)));
    }

    void undoAndRedoTakeBackRunsOfTyping() {
        Open("1 a///b:::c");
        Press(Qt::Key_End);
        QTest::keyClicks(view.get(), "def");
        Press(Qt::Key_Return);
        QTest::keyClicks(view.get(), "2 x");
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->WholeText(), "1 a///b:::cdef\r\n");
        Press(QKeySequence(QKeySequence::Undo));
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->WholeText(), "1 a///b:::c");
        Press(QKeySequence(QKeySequence::Redo));
        QCOMPARE(view->WholeText(), "1 a///b:::cdef");

        // A run of Backspace, and one of Delete, each undo as one step.
        for (int i = 0; i < 3; ++i) Press(Qt::Key_Backspace);
        Press(Qt::Key_Home);
        for (int i = 0; i < 2; ++i) Press(Qt::Key_Delete);
        QCOMPARE(view->WholeText(), "a///b:::c");
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->WholeText(), "1 a///b:::c");
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->WholeText(), "1 a///b:::cdef");

        // A change made by other means (a repair, a load) cannot be undone from here.
        view->ReplaceLine(0, "9 z");
        Press(QKeySequence(QKeySequence::Undo));
        QCOMPARE(view->WholeText(), "9 z");
    }

    void inputMethodComposesJapanese() {
        Open("1 ///x", true);
        QVERIFY(!view->inputMethodQuery(Qt::ImEnabled).toBool());
        view->SetReadOnly(false);
        QVERIFY(view->testAttribute(Qt::WA_InputMethodEnabled));
        Press(Qt::Key_Right, Qt::NoModifier, 2);

        QInputMethodEvent composing(QStringLiteral("いがく"), {});
        QCoreApplication::sendEvent(view.get(), &composing);
        QCOMPARE(view->WholeText(), "1 ///x");  // nothing is in the text until committed
        const QRect caret = view->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(caret.x() > 2 * view->CellWidth());

        QInputMethodEvent committed;
        committed.setCommitString(QStringLiteral("医学"));
        QCoreApplication::sendEvent(view.get(), &committed);
        QCOMPARE(view->WholeText(), "1 " + kIgaku + "///x");
        QCOMPARE(view->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("1 医学///x"));
        QCOMPARE(view->inputMethodQuery(Qt::ImCursorPosition).toInt(), 4);

        // A conversion of committed text replaces the characters it names.
        QInputMethodEvent reconverted;
        reconverted.setCommitString(QStringLiteral("以外"), -2, 2);
        QCoreApplication::sendEvent(view.get(), &reconverted);
        QCOMPARE(view->WholeText(), "1 \x88\xC8\x8A\x4F///x");

        // A screen reader reads the caret's line, and where the caret is in it.
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(view.get());
        QVERIFY(accessible && accessible->textInterface());
        QCOMPARE(accessible->textInterface()->text(0, accessible->textInterface()->characterCount()),
                 QStringLiteral("1 以外///x"));
        QCOMPARE(accessible->textInterface()->cursorPosition(), 4);
        QVERIFY(accessible->state().editable);
    }

    // A key repaints only the rows it changed, the caret's old row among them: a
    // caret left on a row that stopped being one would stay on screen.
    void anEditRepaintsTheRowsItChanged() {
        Open("a\r\nb\r\n");
        Press(Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(view->CaretPosition(), (TEditorEx::Position{2, 0}));
        QApplication::processEvents();
        QRegion painted;
        struct PaintWatch : QObject {
            QRegion* region;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Paint) *region += static_cast<QPaintEvent*>(event)->region();
                return false;
            }
        } watch;
        watch.region = &painted;
        view->viewport()->installEventFilter(&watch);
        Press(Qt::Key_Backspace);
        QVERIFY(QTest::qWaitFor([&] { return !painted.isEmpty(); }));
        QCOMPARE(view->WholeText(), "a\r\nb");
        const int rowHeight = view->RowHeight();
        QVERIFY(painted.contains(QRect(0, 2 * rowHeight, 10, rowHeight)));
        view->viewport()->removeEventFilter(&watch);
    }

    // Every character is drawn on its own cells, the cell of column c starting at
    // 2 + c × the cell width, whatever the font's advances: in the fixed-pitch font, in
    // one without Japanese glyphs (its kana and kanji come from a fallback face) and in
    // a proportional one. The row must be, pixel for pixel, each character painted
    // alone at its cell's origin, in the selection's colours inside the selection; a
    // glyph wider than its cells (the replacement character of an invalid byte) is
    // squeezed into them. Painted onto a 32-bit image and onto one of another format,
    // since the two take different ways to the screen.
    void paintsEveryCharacterOnItsCells() {
        // A 医 b か TAB c 薬 <invalid byte> blank Z ｱ
        Open("A\x88\xE3" "b\x82\xA9\tc\x96\xF2\xFD Z\xB1\r\n", true);
        const QList<QChar> characters = {u'A', u'医', u'医', u'b', u'か', u'か', u'\t', u'c', u'薬', u'薬',
                                         u'\uFFFD', u' ', u'Z', u'ｱ'};
        const TEditorEx::ViewColors colors{Qt::white, Qt::white, {}, Qt::yellow, Qt::darkBlue, Qt::black};
        view->SetViewColors(colors);
        view->Select({0, 3}, {0, 7});  // b か TAB
        view->clearFocus();            // no caret line over the cells
        QFont fallback(QStringLiteral("DejaVu Sans Mono"));
        fallback.setPixelSize(13);
        QFont proportional(QStringLiteral("DejaVu Sans"));
        proportional.setPixelSize(15);
        for (const QFont& font : {view->font(), fallback, proportional}) {
            view->setFont(font);
            const int cell = QFontMetrics(font).horizontalAdvance(QLatin1Char('x'));
            QCOMPARE(view->CellWidth(), cell);
            const QSize rowSize(view->viewport()->width(), QFontMetrics(font).height());
            for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB888}) {
                QImage expected(rowSize, format);
                expected.fill(colors.background);
                QPainter painter(&expected);
                painter.setFont(font);
                painter.fillRect(QRect(2 + 3 * cell, 0, 4 * cell, rowSize.height()), colors.selectionBackground);
                for (qsizetype column = 0; column < characters.size(); ++column) {
                    const QChar c = characters[column];
                    if (c.unicode() <= 0x20 || (column > 0 && characters[column - 1] == c)) continue;
                    const int room = (column + 1 < characters.size() && characters[column + 1] == c ? 2 : 1) * cell;
                    const int advance = QFontMetrics(font).horizontalAdvance(c);
                    painter.save();
                    painter.setPen(column >= 3 && column < 7 ? colors.selectionText : colors.text);
                    painter.translate(2 + column * cell, QFontMetrics(font).ascent());
                    if (advance > room) painter.scale(static_cast<double>(room) / advance, 1.0);
                    painter.drawText(QPointF(0, 0), QString(c));
                    painter.restore();
                }
                painter.end();
                QImage painted(view->viewport()->size(), format);
                view->viewport()->render(&painted);
                QCOMPARE(painted.copy(QRect(QPoint(0, 0), rowSize)), expected);
            }
        }
    }

    // A row is kept as drawn and copied onto the screen while it stays the same: after
    // every kind of change, the view paints, and scrolls over, what a new view in the
    // same state does.
    void keptRowsFollowEveryChange() {
        Open(LongLines(), true);
        const TEditorEx::ViewColors colors{Qt::white, Qt::lightGray, Qt::cyan, Qt::white, Qt::darkBlue, Qt::black};
        view->SetViewColors(colors);
        TEditorEx::Position anchor, caret;
        const auto showsAsNew = [&] {
            TEditorEx twin;
            twin.resize(view->size());
            twin.setFont(view->font());
            twin.SetViewColors(colors);
            twin.SetWholeText(view->WholeText());
            Painted(twin);  // laid out, so its scroll bars take the values below
            twin.Select(anchor, caret);
            twin.verticalScrollBar()->setValue(view->verticalScrollBar()->value());
            twin.horizontalScrollBar()->setValue(view->horizontalScrollBar()->value());
            return Painted(*view) == Painted(twin) &&
                   view->verticalScrollBar()->maximum() == twin.verticalScrollBar()->maximum() &&
                   view->horizontalScrollBar()->maximum() == twin.horizontalScrollBar()->maximum();
        };
        const auto select = [&](TEditorEx::Position from, TEditorEx::Position to) {
            anchor = from;
            caret = to;
            view->Select(from, to);
        };
        QVERIFY(showsAsNew());
        view->ReplaceLine(1, "1 heart///" + kIgaku + ":::" + std::string(80, 'y'));  // the same length
        QVERIFY(showsAsNew());
        view->verticalScrollBar()->setValue(1);  // every row moves up one
        QVERIFY(showsAsNew());
        select({2, 0}, {4, 3});
        QVERIFY(showsAsNew());
        select({4, 3}, {4, 3});
        QVERIFY(showsAsNew());
        view->horizontalScrollBar()->setValue(1);  // the least scroll, less than a cell
        QVERIFY(showsAsNew());
        QFont larger = view->font();
        larger.setPixelSize(20);
        view->setFont(larger);
        QVERIFY(showsAsNew());
        view->resize(view->width() - 50, view->height());
        QVERIFY(showsAsNew());
    }

    // Views of the same lines each follow a change made through the lines, kept rows
    // and all, and a view that goes first leaves the lines to the others.
    void viewsOfOneTextEachFollowItsChanges() {
        TextLines lines;
        lines.SetWholeText(LongLines());
        const TEditorEx::ViewColors colors{Qt::white, Qt::lightGray, Qt::cyan, Qt::white, Qt::darkBlue, Qt::black};
        const auto made = [&] {
            auto shown = std::make_unique<TEditorEx>(lines);
            shown->resize(400, 200);
            shown->SetViewColors(colors);
            Painted(*shown);  // its rows kept as drawn
            return shown;
        };
        const auto showsAsNew = [&](TEditorEx& shown) {
            TEditorEx twin;
            twin.resize(shown.size());
            twin.SetViewColors(colors);
            twin.SetWholeText(lines.WholeText());
            Painted(twin);  // laid out, so its scroll bars measure the rows that fit
            return Painted(shown) == Painted(twin) &&
                   shown.verticalScrollBar()->maximum() == twin.verticalScrollBar()->maximum();
        };
        const std::unique_ptr<TEditorEx> first = made();
        std::unique_ptr<TEditorEx> second = made();
        lines.ReplaceLine(1, "1 heart///" + kIgaku + ":::" + std::string(80, 'y'));  // the same length
        lines.DeleteRow(0);  // every row moves up one
        QVERIFY(showsAsNew(*first));
        QVERIFY(showsAsNew(*second));

        second.reset();
        lines.AppendLine("30 lung");
        QCOMPARE(lines.LineCount(), 30u);
        QVERIFY(showsAsNew(*first));
    }

    // Other lines attached start the view afresh, as a whole new text does: caret at
    // the start, nothing selected, scrolled to the top left, nothing to undo. The lines
    // left keep their text; the view's editing goes to the new ones.
    void attachingLinesStartsAfreshAsANewTextDoes() {
        const std::string text = LongLines();
        for (const bool attach : {false, true}) {
            TextLines shown, next;
            shown.SetWholeText(text);
            next.SetWholeText(text);
            Open("");
            const auto viewGoesFirst = qScopeGuard([&] { view.reset(); });
            view->AttachLines(shown);
            Press(Qt::Key_End, Qt::ControlModifier);
            Press(Qt::Key_Up);
            Press(Qt::Key_End);
            QTest::keyClicks(view.get(), "z");
            Press(Qt::Key_Left, Qt::ShiftModifier, 3);
            QVERIFY(view->verticalScrollBar()->value() > 0);
            QVERIFY(view->horizontalScrollBar()->value() > 0);
            const std::string edited = shown.WholeText();

            if (attach) view->AttachLines(next);
            else view->SetWholeText(text);
            QCOMPARE(view->CaretPosition(), TEditorEx::Position{});
            QCOMPARE(view->SelectedText(), std::string());
            QCOMPARE(view->verticalScrollBar()->value(), 0);
            QCOMPARE(view->horizontalScrollBar()->value(), 0);
            Press(QKeySequence(QKeySequence::Undo));
            QCOMPARE(view->WholeText(), text);
            QTest::keyClicks(view.get(), "y");
            QCOMPARE(view->Line(0), "y" + text.substr(0, text.find('\r')));
            if (attach) QCOMPARE(shown.WholeText(), edited);
        }
    }

    void aLongLineScrollsToShowTheCaret() {
        Open(std::string(5000, 'a') + "\r\n");
        view->SetReadOnly(false);
        Press(Qt::Key_End);
        QVERIFY(view->horizontalScrollBar()->value() > 0);
        QVERIFY(view->viewport()->rect().contains(view->CaretRect().center()));
        QTest::keyClicks(view.get(), "b");
        QVERIFY(view->viewport()->rect().contains(view->CaretRect().center()));
        Press(Qt::Key_Home);
        QCOMPARE(view->horizontalScrollBar()->value(), 0);
    }
};

int main(int argc, char* argv[]) { return RunFormTests<TEditorExTest>(argc, argv); }

#include "TEditorExTest.moc"
