// Editing the full-text view of the main window with a large dictionary, offscreen:
// a typed key until the view is painted again, in an ordinary line and in a line of a
// megabyte, beside Qt drawing the same rows as plain text and beside one copy of the
// view's pixels; a save beside one write of the same bytes; the memory typing leaves.
//
//   quillor_edit_bench FILE [OUTPUT_FOLDER]
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/QuillorApplication.h"
#include "app/Startup.h"
#include "common/Sjis.h"
#include "textview/TEditorEx.h"

#include "KeyToPaint.h"
#include "Timing.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// A key as the user types it, then the view painted whole (more than the one row a
// key repaints: an upper bound).
void TypeKey(TEditorEx* view, QPixmap& pixmap) { PressKeyAndPaint(view, pixmap, Qt::Key_A, QStringLiteral("a")); }

// A peer of a typed key's painting: the rows in view drawn by Qt as plain text, one
// drawText a row over its background, with no cells to keep.
Timing PlainText(TEditorEx* view, QPixmap& pixmap) {
    QStringList rows;
    const int cells = view->viewport()->width() / view->CellWidth() + 1;
    for (int i = 0; i <= view->VisibleRowCount() && view->TopRow() + i < view->LineCount(); ++i)
        rows << Sjis::ToQString(view->Line(view->TopRow() + i).substr(0, cells));
    return Measure(200, [&] {
        QPainter painter(&pixmap);
        painter.setFont(view->font());
        const int height = view->RowHeight();
        for (int i = 0; i < rows.size(); ++i) {
            painter.fillRect(0, i * height, pixmap.width(), height, i % 2 ? Qt::yellow : Qt::lightGray);
            painter.drawText(2, i * height + view->fontMetrics().ascent(), rows[i]);
        }
    });
}

// The floor of any painting of the whole view: one copy of its pixels. (Painted into
// a pixmap like the one the keys paint into: a view keeps its rows for one format.)
Timing CopyOfPixels(TEditorEx* view, QPixmap& pixmap) {
    QPixmap shown(pixmap.size());
    view->viewport()->render(&shown);
    return Measure(200, [&] {
        QPainter painter(&pixmap);
        painter.drawPixmap(0, 0, shown);
    });
}

void WriteOnce(const std::string& path, const std::string& bytes, bool sync) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::perror("write");
    if (sync) ::fsync(fd);
    ::close(fd);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [OUTPUT_FOLDER]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QuillorApplication app(argc, argv);
    PrepareApplication();
    const std::string folder = argc > 2 ? argv[2] : ".";

    auto form = CreateForms();
    form->show();
    form->LoadDictionary(QString::fromLocal8Bit(argv[1]));
    TEditorEx* view = form->findChild<TEditorEx*>(QStringLiteral("EditorEx1"));
    form->findChild<QAction*>(QStringLiteral("E1"))->trigger();  // edit mode, the text page on view
    form->findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
    view->TakeFocus();
    QApplication::processEvents();
    QPixmap pixmap(view->viewport()->size());
    const std::int64_t middle = view->LineCount() / 2;

    // The line typed into is on screen, as it is for a user who types into it: the
    // keys measure typing, not the first sight of a page half the dictionary away.
    view->Select({middle, 10}, {middle, 10});
    view->ShowCaretRow();
    view->viewport()->render(&pixmap);
    const Timing plain = PlainText(view, pixmap);
    const Timing copy = CopyOfPixels(view, pixmap);
    const Timing ordinary = Measure(200, [&] { TypeKey(view, pixmap); });
    std::printf("typed key to painted view, %lld lines, line %lld: median %.3f ms, worst %.3f ms;"
                " the rows as plain text (one drawText each): median %.3f ms, worst %.3f ms;"
                " floor, one copy of the view's pixels: median %.3f ms, worst %.3f ms\n",
                static_cast<long long>(view->LineCount()), static_cast<long long>(middle), ordinary.median,
                ordinary.slowest, plain.median, plain.slowest, copy.median, copy.slowest);

    // A megabyte line in the middle of the dictionary, typed into at its middle.
    view->ReplaceLine(middle, std::string(1'000'000, 'x'));
    view->Select({middle, 500'000}, {middle, 500'000});
    TypeKey(view, pixmap);  // the line becomes the one being typed in
    const Timing huge = Measure(200, [&] { TypeKey(view, pixmap); });
    std::printf("typed key to painted view, in a 1 MB line: median %.3f ms, worst %.3f ms\n", huge.median,
                huge.slowest);

    // The save of the edited text beside one write of the same bytes, both into the
    // same folder, without and with a sync to the disk (the save syncs).
    const std::string saved = folder + "/edit-bench-saved.txt";
    const std::string floor = folder + "/edit-bench-floor.txt";
    const std::string bytes = view->WholeText();
    const double save = Measure(5, [&] { view->SaveLinesToFile(saved); }).median;
    const double write = Measure(5, [&] { WriteOnce(floor, bytes, false); }).median;
    const double writeSync = Measure(5, [&] { WriteOnce(floor, bytes, true); }).median;
    std::printf("save of the edited text (%.1f MB): median %.1f ms; one write(): %.1f ms, one write() and fsync: %.1f ms;"
                " save / write = %.2f, save / write+fsync = %.2f\n",
                bytes.size() / 1e6, save, write, writeSync, save / write, save / writeSync);
    ::unlink(saved.c_str());
    ::unlink(floor.c_str());

    // Memory: a text of one megabyte line, 10,000 characters typed into its middle.
    TEditorEx alone;
    alone.SetWholeText(std::string(1'000'000, 'y') + "\r\n");
    alone.SetReadOnly(false);
    alone.Select({0, 500'000}, {0, 500'000});
    const std::size_t before = alone.Lines().HeldBytes();
    for (int i = 0; i < 10'000; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, i % 2 ? QStringLiteral("a") : QStringLiteral("医"));
        QApplication::sendEvent(&alone, &press);
    }
    const std::size_t after = alone.Lines().HeldBytes();
    std::printf("bytes held for a 1 MB line: %.2f MB before, %.2f MB after typing 10,000 characters (%.2f x)\n",
                before / 1e6, after / 1e6, static_cast<double>(after) / before);
    return 0;
}
