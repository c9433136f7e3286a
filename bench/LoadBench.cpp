// Loading a large dictionary: read, split into lines, cut the headwords.
//
//   quillor_load_bench FILE [benchmark flags]   timings, beside the floors below
//   quillor_load_bench FILE --peak-memory       memory added by one load
//
// A load fills tens of megabytes of fresh memory, and on a virtual machine the page
// faults for it can cost more than everything else. So every iteration here that
// stands for a load frees what it allocated before the next one starts, and the
// floors read the file into memory allocated anew each time: a plain malloc buffer,
// an anonymous mapping advised to use huge pages, and a read-only mapping of the
// file populated at once, each counting the lines.
#include "common/ByteBuffer.h"
#include "dictionary/DataFile.h"
#include "dictionary/DictionaryLoad.h"
#include "textmodel/TextLines.h"
#include "view/RecordMarkup.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string g_file;

std::size_t CountLines(const char* p, std::size_t length) {
    std::size_t lines = 0;
    const char* const end = p + length;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
        ++lines;
        ++p;
    }
    return lines;
}

// The floor: counting the lines of the bytes already in memory.
void BM_MemchrLineCount(benchmark::State& state) {
    const ByteBuffer bytes = ReadWholeFile(g_file).text;
    for (auto _ : state) benchmark::DoNotOptimize(CountLines(bytes.data(), bytes.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// The file, open for the floors, with its size.
struct OpenFile {
    OpenFile() : fd(::open(g_file.c_str(), O_RDONLY | O_CLOEXEC)) {
        struct stat info {};
        if (fd >= 0 && ::fstat(fd, &info) == 0) size = static_cast<std::size_t>(info.st_size);
    }
    ~OpenFile() {
        if (fd >= 0) ::close(fd);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    // The whole file into `to`, in the chunks ReadWholeFile reads.
    bool ReadInto(char* to) const {
        for (std::size_t done = 0; done < size;) {
            const ssize_t got = ::pread(fd, to + done, std::min<std::size_t>(size - done, std::size_t{16} << 20),
                                        static_cast<off_t>(done));
            if (got <= 0) return false;
            done += static_cast<std::size_t>(got);
        }
        return true;
    }

    int fd;
    std::size_t size = 0;
};

void BM_FloorMallocRead(benchmark::State& state) {
    const OpenFile file;
    for (auto _ : state) {
        char* bytes = static_cast<char*>(std::malloc(file.size));
        if (bytes == nullptr) {
            state.SkipWithError("cannot allocate");
            break;
        }
        if (!file.ReadInto(bytes)) state.SkipWithError("cannot read the file");
        benchmark::DoNotOptimize(CountLines(bytes, file.size));
        std::free(bytes);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size));
}

void BM_FloorHugePageRead(benchmark::State& state) {
    const OpenFile file;
    const std::size_t hugePage = std::size_t{2} << 20;
    const std::size_t length = (file.size + hugePage - 1) & ~(hugePage - 1);
    for (auto _ : state) {
        void* block = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) {
            state.SkipWithError("cannot map");
            break;
        }
        ::madvise(block, length, MADV_HUGEPAGE);
        char* bytes = static_cast<char*>(block);
        if (!file.ReadInto(bytes)) state.SkipWithError("cannot read the file");
        benchmark::DoNotOptimize(CountLines(bytes, file.size));
        ::munmap(block, length);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size));
}

void BM_FloorPopulatedFileMapping(benchmark::State& state) {
    const OpenFile file;
    for (auto _ : state) {
        void* view = ::mmap(nullptr, file.size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.fd, 0);
        if (view == MAP_FAILED) {
            state.SkipWithError("cannot map the file");
            break;
        }
        benchmark::DoNotOptimize(CountLines(static_cast<const char*>(view), file.size));
        ::munmap(view, file.size);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.size));
}

void BM_ReadWholeFile(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadWholeFile(g_file).size);
}

void BM_ReadSplitAndScanHeadwords(benchmark::State& state) {
    std::int64_t bytes = 0;
    for (auto _ : state) {
        // Made and freed within the iteration: each load fills fresh memory, as the
        // first load in a new window does.
        TextLines fullText, index;
        const LoadReport report = LoadDictionaryText(g_file, Separators(), fullText, index);
        bytes = static_cast<std::int64_t>(report.size);
        benchmark::DoNotOptimize(index.LineCount());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_SetWholeText(benchmark::State& state) {
    const ByteBuffer bytes = ReadWholeFile(g_file).text;
    for (auto _ : state) {
        state.PauseTiming();
        ByteBuffer copy(bytes.size());
        std::memcpy(copy.data(), bytes.data(), bytes.size());
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
    const ViewSettings view = DefaultViewSettings();
    const KeySlots keys{"heart", "", ""};
    const MarkupState markup{view.separators, view.fragments, keys, RecordField::WholeRecord};
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
BENCHMARK(BM_FloorMallocRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorHugePageRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorPopulatedFileMapping)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWholeFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSplitAndScanHeadwords)->Unit(benchmark::kMillisecond);

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
    return -1;
}

long PageFaults() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt + usage.ru_majflt;
}

int PeakMemory() {
    TextLines fullText, index;
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the peak from here
    const long before = StatusKilobytes("VmRSS:");
    const long faultsBefore = PageFaults();
    const LoadReport report = LoadDictionaryText(g_file, Separators(), fullText, index);
    const long faults = PageFaults() - faultsBefore;
    const long peak = StatusKilobytes("VmHWM:");
    const double fileMb = static_cast<double>(report.size) / 1e6;
    const double addedMb = static_cast<double>(peak - before) * 1024 / 1e6;
    std::printf("file %.1f MB, %zu lines, %zu headwords\n", fileMb, fullText.LineCount(), index.LineCount());
    std::printf("peak memory added by a load: %.1f MB (%.2f times the file size; at most 3 allowed)\n", addedMb,
                addedMb / fileMb);
    // What a load costs on a machine where faults are dear, whatever they cost here.
    std::printf("page faults during the load: %ld\n", faults);
    return addedMb <= 3 * fileMb ? 0 : 1;
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
