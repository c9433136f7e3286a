// Loading a large dictionary: read, split into lines, cut the headwords.
//
//   quillor_load_bench FILE [benchmark flags]   timings, beside a memchr line count
//   quillor_load_bench FILE --peak-memory       memory added by one load
#include "dictionary/DataFile.h"
#include "dictionary/DictionaryLoad.h"
#include "textview/TextLines.h"
#include "view/RecordMarkup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

std::string g_file;

// The floor: counting the lines of the bytes already in memory.
void BM_MemchrLineCount(benchmark::State& state) {
    const std::string bytes = ReadWholeFile(g_file).text;
    for (auto _ : state) {
        std::size_t lines = 0;
        for (const char* p = bytes.data(), *end = p + bytes.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))); ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void BM_ReadWholeFile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadWholeFile(g_file).size);
}

void BM_ReadSplitAndScanHeadwords(benchmark::State& state) {
    std::int64_t bytes = 0;
    for (auto _ : state) {
        TextLines fullText, index;
        const LoadReport report = LoadDictionaryText(g_file, Separators(), fullText, index);
        bytes = static_cast<std::int64_t>(report.size);
        benchmark::DoNotOptimize(index.LineCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_SetWholeText(benchmark::State& state) {
    const std::string bytes = ReadWholeFile(g_file).text;
    for (auto _ : state) {
        state.PauseTiming();
        std::string copy = bytes;
        TextLines lines;
        state.ResumeTiming();
        lines.SetWholeText(std::move(copy));
        benchmark::DoNotOptimize(lines.LineCount());
    }
}

void BM_ScanHeadwords(benchmark::State& state) {
    TextLines lines;
    lines.SetWholeText(ReadWholeFile(g_file).text);
    for (auto _ : state) benchmark::DoNotOptimize(ScanHeadwords(lines, Separators()).damage.noNum);
}

// Record pages of the generated lines, with the default fragments and a key marked.
void BM_BuildRecordPage(benchmark::State& state) {
    TextLines lines;
    lines.SetWholeText(ReadWholeFile(g_file).text);
    ViewStringTable viewStrings = DefaultViewStrings();
    viewStrings[ViewSlot::Key0] = "heart";
    const MarkupState markup{viewStrings, 0};
    std::size_t line = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildRecordPage(lines.LineView(line), true, markup));
        line = (line + 7919) % lines.LineCount();
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_BuildRecordPage);
BENCHMARK(BM_SetWholeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanHeadwords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemchrLineCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSplitAndScanHeadwords)->Unit(benchmark::kMillisecond);

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

int PeakMemory() {
    TextLines fullText, index;
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from here
    const long before = StatusKilobytes("VmRSS:");
    const LoadReport report = LoadDictionaryText(g_file, Separators(), fullText, index);
    const long peak = StatusKilobytes("VmHWM:");
    const double fileMb = static_cast<double>(report.size) / 1e6;
    const double addedMb = static_cast<double>(peak - before) * 1024 / 1e6;
    std::printf("file %.1f MB, %zu lines, %zu headwords\n", fileMb, fullText.LineCount(), index.LineCount());
    std::printf("peak memory added by a load: %.1f MB (%.2f times the file size)\n", addedMb, addedMb / fileMb);
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [--peak-memory | benchmark flags]\n", argv[0]);
        return 2;
    }
    g_file = argv[1];
    if (argc > 2 && std::strcmp(argv[2], "--peak-memory") == 0) return PeakMemory();
    argv[1] = argv[0];
    --argc;
    ++argv;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
