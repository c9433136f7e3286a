// The history and word list dialogs over a database of 100,000 word list entries and
// 10,000 history steps, offscreen: each dialog from its construction to its first
// rows painted, the word list's filter and a change of its order, a jump to its last
// row; beside the floor, an empty table view shown and painted.
//
//   quillor_lists_bench [FOLDER] [benchmark flags]   the database is made in FOLDER
//                                                    (a temporary folder by default)
#include "common/Sjis.h"
#include "dialogs/HistoryDialog.h"
#include "dialogs/WordListDialog.h"
#include "store/UserDatabase.h"
#include "ui/Fonts.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

namespace {

constexpr int kWordEntries = 100'000;
constexpr int kHistorySteps = 10'000;
const QString kDataFile = QStringLiteral("/dictionaries/medical.txt");

std::unique_ptr<UserDatabase> g_database;

// A made-up medical-looking word from a few syllables.
QString MadeUpWord(std::mt19937& random) {
    static const char* const syllables[] = {"car", "di", "o", "my", "pa", "thy", "neu", "ro", "gas", "tri",
                                            "tis", "he", "ma", "to", "ma", "ost", "eo", "lo", "gy", "pneu"};
    QString word;
    const int count = 2 + static_cast<int>(random() % 4);
    for (int i = 0; i < count; ++i) word += QLatin1String(syllables[random() % std::size(syllables)]);
    return word;
}

QString MadeUpTranslation(std::mt19937& random) {
    static const char16_t* const parts[] = {u"心筋", u"症", u"神経", u"胃", u"炎", u"血腫", u"骨", u"学", u"肺", u"障害"};
    QString text;
    const int count = 2 + static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) text += QString::fromUtf16(parts[random() % std::size(parts)]);
    return text;
}

void FillDatabase(UserDatabase& database) {
    std::mt19937 random(42);
    std::vector<WordEntry> entries;
    entries.reserve(kWordEntries);
    const std::int64_t start = 1'600'000'000'000;
    for (int i = 0; i < kWordEntries; ++i) {
        WordEntry entry;
        entry.headword = MadeUpWord(random) + QString::number(i);  // every entry its own
        entry.translation = MadeUpTranslation(random);
        if (i % 7 == 0) entry.note = MadeUpWord(random);
        entry.added = start + std::int64_t{i} * 60'000;
        entries.push_back(std::move(entry));
    }
    if (!database.MergeWords(entries)) throw std::runtime_error("the word list could not be filled");
    for (int i = 0; i < kHistorySteps; ++i) {
        HistoryStep step;
        step.dataFile = kDataFile;
        step.time = start + std::int64_t{i} * 30'000;
        step.line = i;
        step.headword = Sjis::FromQString(MadeUpWord(random)).bytes;
        database.AddStep(step);
    }
}

// Runs the event loop until the view's rows have been painted.
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QAbstractItemView* view) : viewport_(view->viewport()) { viewport_->installEventFilter(this); }
    ~PaintWatch() override { viewport_->removeEventFilter(this); }

    void Wait() {
        painted_ = false;
        for (int round = 0; !painted_; ++round) {
            if (round == 100'000) throw std::runtime_error("the list was never painted");
            QCoreApplication::processEvents();
        }
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted_ = true;
        return false;
    }

private:
    QWidget* viewport_;
    bool painted_ = false;
};

// From the construction of a widget holding `view` to its rows painted; the widget's
// destruction is not timed.
template <typename Make>
void OpenUntilPainted(benchmark::State& state, Make make, const char* listName) {
    for (auto _ : state) {
        std::unique_ptr<QWidget> widget = make();
        auto* list = widget->objectName() == QLatin1String(listName) ? static_cast<QTableView*>(widget.get())
                                                                       : widget->findChild<QTableView*>(QLatin1String(listName));
        {
            PaintWatch watch(list);
            widget->show();
            watch.Wait();
        }
        state.PauseTiming();
        widget.reset();
        state.ResumeTiming();
    }
}

// The floor: an empty table view, constructed, shown and painted.
void BM_EmptyTableViewShown(benchmark::State& state) {
    OpenUntilPainted(state, [] {
        auto view = std::make_unique<QTableView>();
        view->setObjectName(QStringLiteral("Empty"));
        view->setModel(new QStandardItemModel(0, 2, view.get()));
        view->resize(420, 480);
        return std::unique_ptr<QWidget>(std::move(view));
    }, "Empty");
}

// The database's share of opening the history.
void BM_ReadHistory(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(g_database->History(kDataFile));
}

// The window's way: the steps read from the database, handed over, the dialog shown.
void BM_OpenHistory(benchmark::State& state) {
    OpenUntilPainted(state, [] {
        auto dialog = std::make_unique<HistoryDialog>();
        dialog->SetSteps(g_database->History(kDataFile));
        return std::unique_ptr<QWidget>(std::move(dialog));
    }, "HistoryList");
}

void BM_OpenWordList(benchmark::State& state) {
    OpenUntilPainted(state, [] { return std::unique_ptr<QWidget>(std::make_unique<WordListDialog>(g_database.get())); },
                     "WordList");
}

// A dialog open and painted once, for the steps timed on it.
template <typename Dialog, typename... Arguments>
struct Shown {
    Dialog dialog;
    QTableView* list;
    PaintWatch watch;
    Shown(const char* listName, Arguments... arguments)
        : dialog(arguments...), list(dialog.template findChild<QTableView*>(QLatin1String(listName))), watch(list) {
        dialog.show();
        watch.Wait();
    }
};

// The filter typed and applied (the pause after typing not counted): the count and the
// first page read again and painted. Another filter goes between runs, untimed, so that
// each run counts its entries afresh, as a key typed does.
void WordListFilter(benchmark::State& state, const QString& text) {
    Shown<WordListDialog, UserDatabase*, QWidget*> shown("WordList", g_database.get(), nullptr);
    auto* filter = shown.dialog.findChild<QLineEdit*>();
    const auto apply = [&](const QString& typed) {
        filter->setText(typed);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);  // applies at once
        QApplication::sendEvent(filter, &enter);
        shown.watch.Wait();
    };
    for (auto _ : state) {
        apply(text);
        state.PauseTiming();
        state.counters["rows"] = shown.list->model()->rowCount();
        apply(text + QStringLiteral("#"));
        state.ResumeTiming();
    }
}

void BM_WordListFilterOfManyRows(benchmark::State& state) { WordListFilter(state, QStringLiteral("神経")); }
void BM_WordListFilterOfFewRows(benchmark::State& state) { WordListFilter(state, QStringLiteral("99999")); }

void BM_WordListSortChange(benchmark::State& state) {
    Shown<WordListDialog, UserDatabase*, QWidget*> shown("WordList", g_database.get(), nullptr);
    QHeaderView* header = shown.list->horizontalHeader();
    int turn = 0;
    for (auto _ : state) {
        header->setSortIndicator(0, turn++ % 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
        shown.watch.Wait();
    }
}

// From the first row to the last and back, each jump painted.
void BM_WordListJumpToEnd(benchmark::State& state) {
    Shown<WordListDialog, UserDatabase*, QWidget*> shown("WordList", g_database.get(), nullptr);
    int turn = 0;
    for (auto _ : state) {
        if (turn++ % 2) shown.list->scrollToTop();
        else shown.list->scrollToBottom();
        shown.watch.Wait();
    }
}

void BM_HistoryFilter(benchmark::State& state) {
    Shown<HistoryDialog> shown("HistoryList");
    shown.dialog.SetSteps(g_database->History(kDataFile));
    auto* filter = shown.dialog.findChild<QLineEdit*>();
    const QString texts[] = {QStringLiteral("neuro"), QStringLiteral("neurop")};
    int turn = 0;
    for (auto _ : state) {
        filter->setText(texts[turn++ % 2]);
        shown.watch.Wait();
    }
    state.counters["rows"] = shown.list->model()->rowCount();
}

BENCHMARK(BM_EmptyTableViewShown)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHistory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenWordList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistoryFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordListFilterOfManyRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordListFilterOfFewRows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordListSortChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WordListJumpToEnd)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    QTemporaryDir temporary;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    try {
        QElapsedTimer filling;
        filling.start();
        g_database = UserDatabase::Open(folder + QStringLiteral("/lists-bench.db"));
        if (!g_database->Available()) throw std::runtime_error(g_database->TakeNotice().toStdString());
        if (g_database->CountWords({}) == 0) FillDatabase(*g_database);
        std::printf("database: %lld word list entries, %zu history steps (ready in %lld ms)\n",
                    static_cast<long long>(g_database->CountWords({})), g_database->History(kDataFile).size(),
                    static_cast<long long>(filling.elapsed()));
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quillor_lists_bench: %s\n", error.what());
        return 1;
    }
    g_database.reset();
    return 0;
}
