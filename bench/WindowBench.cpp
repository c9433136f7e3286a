// The main window with a large dictionary, offscreen.
//
//   quillor_window_bench FILE [--search REQUEST] [benchmark flags]
//   quillor_window_bench FILE --resident-memory   one load in a fresh process
#include "app/Forms.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "app/QuillorApplication.h"
#include "textview/TEditorEx.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QPixmap>
#include <QScrollBar>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>
#include <unistd.h>
#include <vector>

namespace {

QString g_file;
QString g_searchRequest = QStringLiteral("CO_2 K~+ Na~+");
std::unique_ptr<TForm1> g_form;

TEditorEx* View(const TForm1& form, const char* name) { return form.findChild<TEditorEx*>(QString::fromLatin1(name)); }

// The search as the user runs it: the 検索 command.
void Search(const TForm1& form) { form.findChild<QAction*>(QStringLiteral("SearchNow1"))->trigger(); }

QTemporaryDir g_storeFolder;  // the history the benchmarks make is none of a user's

TForm1& LoadedForm() {
    if (!g_form) {
        g_form = CreateForms();
        g_form->Files().database = g_storeFolder.filePath(QStringLiteral("quillordic.sqlite"));
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
        benchmark::DoNotOptimize(View(form, "EditorEx2")->LineCount());
    }
}

// One screen of the headword index, scrolled far down, painted into a pixmap.
void BM_PaintIndexAtRow900000(benchmark::State& state) {
    TForm1& form = LoadedForm();
    View(form, "EditorEx2")->verticalScrollBar()->setValue(900'000);
    QPixmap pixmap(View(form, "EditorEx2")->viewport()->size());
    for (auto _ : state) View(form, "EditorEx2")->viewport()->render(&pixmap);
    state.counters["rows"] = View(form, "EditorEx2")->VisibleRowCount();
}

// Page Down held in the index: the key, the scroll and a full repaint per frame.
void BM_PageDownFrame(benchmark::State& state) {
    TForm1& form = LoadedForm();
    TEditorEx* index = View(form, "EditorEx2");
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

// From ShowRecord to the page loaded in the engine, over 100 records spread through
// the dictionary; the median is reported.
void BM_ShowRecordUntilLoaded(benchmark::State& state) {
    TForm1& form = LoadedForm();
    std::vector<double> milliseconds;
    std::int64_t record = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form.ShowRecord(record, false);
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        record = (record + 9973) % View(form, "EditorEx1")->LineCount();
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
}

// What a history step adds to a record shown by a lookup, a click or a result: the step
// kept in a history of 10,000 (each new one trims the oldest) and the word list asked
// whether the record is on it. The record's page, which the window shows besides, is
// BM_ShowRecordUntilLoaded.
void BM_HistoryStepOfARecordShown(benchmark::State& state) {
    DictionarySession& session = LoadedForm().Session();
    const auto lines = static_cast<std::int64_t>(session.FullText().LineCount());
    std::int64_t line = 0;
    const auto show = [&] {
        session.RecordShown(RecordStep{{}, {}, line, false, {}, StepReach::Index, false});
        benchmark::DoNotOptimize(session.ShownRecordListed());
        line = (line + 9973) % lines;
    };
    while (session.Store() && static_cast<std::int64_t>(session.History().Trail().size()) < 10'000) show();
    for (auto _ : state) show();
}

// Back and forward over that history: the step found at its line (its bytes checked)
// and taken, without the page.
void BM_HistoryBackOrForward(benchmark::State& state) {
    DictionarySession& session = LoadedForm().Session();
    bool back = true;
    for (auto _ : state) {
        std::optional<HistoryMove> move = back ? session.HistoryBack() : session.HistoryForward();
        if (!move) {
            back = !back;
            continue;
        }
        session.RecordShown(move->step);
        benchmark::DoNotOptimize(move->step.line);
    }
}

enum class SearchText { Ready, Unchanged, Edited };

// The whole search button, from the click to the first result's page loaded, for a
// three-key OR request: with the search text kept from the search before; built anew
// after a load (the file's own bytes serve when its lines all end in CR LF); and built
// anew after an edit, when the lines must be copied.
void Search(benchmark::State& state, SearchText searchText) {
    TForm1& form = LoadedForm();
    form.findChild<QCheckBox*>(QStringLiteral("chkSearchWithAnd"))->setChecked(true);  // OR
    form.findChild<QComboBox*>(QStringLiteral("cmbSubStr"))->setEditText(g_searchRequest);
    Search(form);
    for (auto _ : state) {
        if (searchText != SearchText::Ready) {
            state.PauseTiming();
            form.Session().DiscardSearchText();
            // Line 0 written again as it was: the text is an edited one now.
            if (searchText == SearchText::Edited) View(form, "EditorEx1")->ReplaceLine(0, View(form, "EditorEx1")->Line(0));
            state.ResumeTiming();
        }
        Search(form);
    }
    state.counters["HitAll"] = static_cast<double>(form.Session().Search().HitAll());
    state.counters["results"] = static_cast<double>(form.Session().Search().ResultCount());
}

void BM_SearchWithSearchTextReady(benchmark::State& state) { Search(state, SearchText::Ready); }
void BM_SearchAfterALoad(benchmark::State& state) { Search(state, SearchText::Unchanged); }
void BM_SearchAfterAnEdit(benchmark::State& state) { Search(state, SearchText::Edited); }

// A field of /proc/PID/<file> in kilobytes, 0 when absent.
long ProcKilobytes(int pid, const char* file, const char* field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return 0;
}

// The memory of this process and of the browser engine's processes it started:
// resident (shared libraries counted in every process) and proportional (shared
// pages split between the processes that share them).
std::pair<long, long> TreeKilobytes(int pid) {
    std::pair<long, long> total{ProcKilobytes(pid, "status", "VmRSS:"), ProcKilobytes(pid, "smaps_rollup", "Pss:")};
    std::ifstream children("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    for (int child; children >> child;) {
        const auto [rss, pss] = TreeKilobytes(child);
        total.first += rss;
        total.second += pss;
    }
    return total;
}

void ReportResidentMemory() {
    TForm1& form = LoadedForm();
    form.ShowRecord(View(form, "EditorEx1")->LineCount() / 2, false);
    const auto [rss, pss] = TreeKilobytes(::getpid());
    std::printf("memory with the dictionary loaded and a record shown, browser engine included: "
                "%.0f MB proportional (PSS), %.0f MB resident (RSS); this process alone %.0f MB resident\n",
                pss / 1024.0, rss / 1024.0, ProcKilobytes(::getpid(), "status", "VmRSS:") / 1024.0);
}

BENCHMARK(BM_ShowRecordUntilLoaded)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(BM_HistoryStepOfARecordShown)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistoryBackOrForward)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchWithSearchTextReady)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SearchAfterALoad)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_SearchAfterAnEdit)->Unit(benchmark::kMillisecond)->Iterations(20);
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
    if (::geteuid() == 0) qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QuillorApplication app(argc, argv);
    PrepareApplication();
    g_file = QString::fromLocal8Bit(argv[1]);
    argv[1] = argv[0];
    --argc;
    ++argv;
    if (argc > 2 && std::strcmp(argv[1], "--search") == 0) {
        g_searchRequest = QString::fromLocal8Bit(argv[2]);
        argv[2] = argv[0];
        argc -= 2;
        argv += 2;
    }
    benchmark::Initialize(&argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--resident-memory") == 0) ReportResidentMemory();
    else benchmark::RunSpecifiedBenchmarks();
    g_form.reset();
    return 0;
}
