// Finding a headword by typing into the index of a large dictionary, offscreen: 200
// keys typed as a user types them (the first letters of headwords from all over the
// index, each word from a caret somewhere else, one word in four misspelt so that its
// later keys match nothing and look through every line), each key's search alone and
// the key from its event until the index is painted again, beside one memchr pass over
// the index's bytes.
//
//   quillor_type_to_find_bench FILE
#include "dictionary/DictionaryLoad.h"
#include "textmodel/LinePrefix.h"
#include "textview/TEditorEx.h"
#include "textview/TypeToFind.h"

#include "KeyToPaint.h"
#include "Timing.h"

#include <QApplication>
#include <QPixmap>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

double TypeKey(TEditorEx* view, QPixmap& pixmap, int key, const QString& text) {
    const auto start = std::chrono::steady_clock::now();
    PressKeyAndPaint(view, pixmap, key, text);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TextLines fullText;
    TEditorEx view;
    LoadDictionaryText(argv[1], Separators(), fullText, view.Lines());
    view.resize(200, 600);
    view.show();
    view.activateWindow();
    view.TakeFocus();
    QApplication::processEvents();
    auto* finder = new TypeToFind(&view);
    // One moment for every key: a word ends with Escape, never with a pause.
    const auto now = std::chrono::steady_clock::now();
    finder->SetClock([now] { return now; });
    QPixmap pixmap(view.viewport()->size());

    const std::size_t lines = view.Lines().LineCount();
    std::mt19937 random(20240616);
    std::vector<double> keys, searches;
    int unmatched = 0;
    for (int word = 0; keys.size() < 200; ++word) {
        // The user has been reading somewhere else, and looks a word up.
        view.SetCaretRow(static_cast<std::int64_t>(random() % lines));
        std::string headword = view.Line(static_cast<std::int64_t>(random() % lines));
        if (word % 4 == 3 && headword.size() > 2) headword[2] = 'q';  // a slip of the finger
        for (std::size_t i = 0; i < std::min<std::size_t>(headword.size(), 6) && keys.size() < 200; ++i) {
            // The search the key makes, alone, the fastest of three (a busy machine
            // takes the processor away now and then), then the key itself.
            const std::string prefix = finder->Prefix() + headword[i];
            const auto caret = static_cast<std::size_t>(view.CaretRow());
            std::optional<std::size_t> found;
            searches.push_back(Measure(3, [&] { found = FindLineWithPrefix(view.Lines(), caret, prefix); }).fastest);
            if (!found) ++unmatched;
            keys.push_back(TypeKey(&view, pixmap, 0, QString(QChar::fromLatin1(headword[i]))));
        }
        TypeKey(&view, pixmap, Qt::Key_Escape, QString());
    }
    std::sort(keys.begin(), keys.end());
    std::sort(searches.begin(), searches.end());

    const std::string bytes = view.WholeText();
    const Timing floor = Measure(21, [&] {
        const void* volatile found = std::memchr(bytes.data(), '\x01', bytes.size());
        (void)found;
    });
    std::printf("type to find, %zu headwords, %zu keys (%d matching nothing): the search worst %.3f ms (median "
                "%.3f); the key until the index is painted worst %.3f ms (median %.3f); floor, one memchr pass over "
                "the index's %.1f MB: %.3f ms; search worst / floor = %.1f\n",
                lines, keys.size(), unmatched, searches.back(), searches[searches.size() / 2], keys.back(),
                keys[keys.size() / 2], bytes.size() / 1e6, floor.median, searches.back() / floor.median);
    return 0;
}
