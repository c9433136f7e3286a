// The headword lookup over a whole dictionary, through the session as the window asks it.
//
//   quillor_lookup_bench FILE [INFLECTED MISSPELLED]
//
// Prints the load and the catalog's build after it, then the time per lookup of a
// headword as typed (another case, blanks around it) beside a hash set's find of its
// key, of an inflected form, of a misspelling (the suggestions and their page), and
// per key of the completion list as each word is typed. With the two lists (lines
// "FORM<TAB>HEADWORD"), also how many inflected forms show their headword's record
// and how often a misspelling's headword is the first suggestion and among them.
#include "common/Sjis.h"
#include "lookup/HeadwordKey.h"
#include "lookup/HeadwordLookup.h"
#include "session/DictionarySession.h"

#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Pairs = std::vector<std::pair<QString, QString>>;

Pairs ReadPairs(const char* path) {
    Pairs pairs;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            pairs.emplace_back(QString::fromUtf8(line.substr(0, tab)), QString::fromUtf8(line.substr(tab + 1)));
    }
    return pairs;
}

// Microseconds per call: the median and the slowest of the texts given.
struct PerCall {
    double median = 0;
    double slowest = 0;
};

template <typename Call>
PerCall TimeEach(const std::vector<QString>& texts, Call call) {
    std::vector<double> times;
    for (const QString& text : texts) {
        const auto start = Clock::now();
        call(text);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    if (times.empty()) return {};
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void Print(const char* what, std::size_t count, PerCall time) {
    std::printf("%-44s %8zu %10.1f %10.1f\n", what, count, time.median, time.slowest);
}

std::string KeyOf(const DictionarySession& session, std::int64_t line) {
    return LookupKey(session.HeadwordIndex().LineView(static_cast<std::size_t>(line)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s FILE [INFLECTED MISSPELLED]\n", argv[0]);
        return 2;
    }
    DictionarySession session;
    const auto loadStart = Clock::now();
    session.Load(QString::fromLocal8Bit(argv[1]));
    const auto loaded = Clock::now();
    const HeadwordCatalog& catalog = session.Catalog();
    const auto built = Clock::now();
    const auto ms = [](auto from, auto to) { return std::chrono::duration<double, std::milli>(to - from).count(); };
    std::printf("load %.1f ms; then the catalog, built on its own thread, ready in %.1f ms: %zu distinct "
                "headwords of %zu lines, %.1f MB held\n",
                ms(loadStart, loaded), ms(loaded, built), catalog.Size(), session.HeadwordIndex().LineCount(),
                static_cast<double>(catalog.HeldBytes()) / 1e6);

    // Headwords as a user types them: another letter case, blanks around.
    std::mt19937 random(932);
    std::vector<QString> headwords;
    std::unordered_set<std::string> keys;
    const std::size_t lines = session.HeadwordIndex().LineCount();
    for (std::size_t row = 0; row < lines; ++row) keys.insert(KeyOf(session, static_cast<std::int64_t>(row)));
    for (int i = 0; i < 2000 && lines > 0; ++i) {
        const std::string_view headword = session.HeadwordIndex().LineView(random() % lines);
        headwords.push_back(QStringLiteral(" ") + Sjis::ToQString(headword).toUpper() + QStringLiteral(" "));
    }
    std::printf("%-44s %8s %10s %10s\n", "per call, microseconds", "calls", "median", "slowest");
    Print("exact lookup (a headword as typed)", headwords.size(),
          TimeEach(headwords, [&session](const QString& text) { session.LookUp(text); }));
    std::size_t keysFound = 0;
    Print("  floor: its key found in a hash set", headwords.size(), TimeEach(headwords, [&](const QString& text) {
              keysFound += keys.contains(LookupKey(Sjis::FromQString(text).bytes)) ? 1 : 0;
          }));
    if (keysFound != headwords.size()) std::printf("  (%zu keys not in the set)\n", headwords.size() - keysFound);
    if (argc == 2) return 0;

    const Pairs inflected = ReadPairs(argv[2]);
    const Pairs misspelled = ReadPairs(argv[3]);
    std::vector<QString> forms, typos;
    for (const auto& pair : inflected) forms.push_back(pair.first);
    for (const auto& pair : misspelled) typos.push_back(pair.first);
    std::vector<QString> formsFound;  // a file without their base forms looks for suggestions instead
    for (const QString& form : forms)
        if (session.LookUp(form).kind == LookupOutcome::Kind::Record) formsFound.push_back(form);
    Print("inflected form lookup (its base form a headword)", formsFound.size(),
          TimeEach(formsFound, [&session](const QString& text) { session.LookUp(text); }));
    Print("misspelling lookup (suggestions, their page)", typos.size(),
          TimeEach(typos, [&session](const QString& text) { session.LookUp(text); }));
    std::vector<QString> typing;  // every prefix of every word, as each key is typed
    std::vector<QString> words = forms;
    words.insert(words.end(), typos.begin(), typos.end());
    for (const QString& word : words)
        for (qsizetype length = 1; length <= word.size(); ++length) typing.push_back(word.left(length));
    Print("completion list, per key typed", typing.size(),
          TimeEach(typing, [&session](const QString& text) { session.Completions(text, 10); }));

    // What a user would see.
    int shown = 0, asked = 0;
    for (const auto& [form, base] : inflected) {
        const std::string baseKey = LookupKey(Sjis::FromQString(base).bytes);
        if (!keys.contains(baseKey)) continue;
        ++asked;
        const LookupOutcome outcome = session.LookUp(form);
        if (outcome.kind == LookupOutcome::Kind::Record && KeyOf(session, *outcome.step.line) == baseKey) ++shown;
        else std::printf("  not shown: %s → %s\n", form.toUtf8().constData(), base.toUtf8().constData());
    }
    std::printf("inflected forms showing their headword's record: %d of %d\n", shown, asked);
    int first = 0, among = 0, typed = 0, shownAtOnce = 0;
    for (const auto& [typo, intended] : misspelled) {
        const std::string intendedKey = LookupKey(Sjis::FromQString(intended).bytes);
        if (!keys.contains(intendedKey)) continue;
        ++typed;
        const HeadwordLookupResult result = LookUpHeadword(catalog, Sjis::FromQString(typo).bytes);
        const auto& lines = result.suggestions;
        const auto isIntended = [&](std::int64_t line) { return KeyOf(session, line) == intendedKey; };
        if (result.kind == HeadwordLookupResult::Kind::Inflected && isIntended(result.row)) {
            ++shownAtOnce;  // "pruritis" read as an inflection of "pruritus"
            continue;
        }
        if (!lines.empty() && isIntended(lines.front())) ++first;
        else std::printf("  not first: %s → %s\n", typo.toUtf8().constData(), intended.toUtf8().constData());
        if (std::any_of(lines.begin(), lines.end(), isIntended)) ++among;
    }
    std::printf("misspellings whose headword's record shows at once: %d; whose headword is the first suggestion: %d; "
                "among the suggestions: %d; of %d\n", shownAtOnce, first, among + shownAtOnce, typed);
    return 0;
}
