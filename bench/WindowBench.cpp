// The main window with a large dictionary, offscreen.
//
//   quillor_window_bench FILE [benchmark flags]
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "textview/TEditorEx.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QString g_file;
std::unique_ptr<TForm1> g_form;

TForm1& LoadedForm() {
    if (!g_form) {
        g_form = CreateForms();
        g_form->show();
        g_form->LoadDictionary(g_file);
        QApplication::processEvents();
    }
    return *g_form;
}

// From the call to both views holding the new text, ready to paint.
void BM_LoadDictionary(benchmark::State& state) {
    TForm1& form = LoadedForm();
    for (auto _ : state) {
        form.LoadDictionary(g_file);
        benchmark::DoNotOptimize(form.EditorEx2->LineCount());
    }
}

// One screen of the headword index, scrolled far down, painted into a pixmap.
void BM_PaintIndexAtRow900000(benchmark::State& state) {
    TForm1& form = LoadedForm();
    form.EditorEx2->verticalScrollBar()->setValue(900'000);
    QPixmap pixmap(form.EditorEx2->viewport()->size());
    for (auto _ : state) form.EditorEx2->viewport()->render(&pixmap);
    state.counters["rows"] = form.EditorEx2->VisibleRowCount();
}

// Page Down held in the index: the key, the scroll and a full repaint per frame.
void BM_PageDownFrame(benchmark::State& state) {
    TForm1& form = LoadedForm();
    TEditorEx* index = form.EditorEx2;
    index->TakeFocus();
    index->SetCaretRow(0);
    QPixmap pixmap(index->viewport()->size());
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(index, &press);
        index->viewport()->render(&pixmap);
        if (index->CaretRow() >= index->LineCount() - 100) index->SetCaretRow(0);
    }
}

BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_PaintIndexAtRow900000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDownFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [benchmark flags]\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PrepareApplication();
    g_file = QString::fromLocal8Bit(argv[1]);
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_form.reset();
    return 0;
}
