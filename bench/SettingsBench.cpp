// The settings file: a whole save (every value written by itself, each write reading
// and atomically replacing the file) and a whole start-up read, beside one atomic
// write of the same bytes. The file lives in the folder given, on the disk the program
// would use.
#include "common/AtomicFile.h"
#include "common/IniFile.h"
#include "common/SettingsFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string folder = ".";

std::string SettingsPath() { return folder + "/bench-settings.ini"; }

// The largest save: ten history entries, the VIEW defaults (no file yet) and the
// ignored words, 31 writes.
SettingsToSave LargestSave() {
    SettingsToSave settings;
    settings.top = 320;
    settings.left = 310;
    settings.height = 600;
    settings.width = 900;
    for (int i = 1; i <= 12; ++i) settings.history.push_back("heart failure " + std::to_string(i));
    settings.dataFileName = "/home/ann/dictionaries/Tarnowe_Medical_Dic.txt";
    settings.ignoredWordLines = {"in", "the", "of", "on", "for", "at", "to", "go", "end", "any", ""};
    return settings;
}

void BM_SaveSettings(benchmark::State& state) {
    const SettingsToSave settings = LargestSave();
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(SettingsPath().c_str());
        state.ResumeTiming();
        WriteSettings(SettingsPath(), settings);
    }
}

void BM_WriteTheSameBytesOnce(benchmark::State& state) {
    std::ifstream saved(SettingsPath(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), {});
    for (auto _ : state) WriteFileAtomically(SettingsPath(), bytes);
}

void BM_LoadSettings(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadSettings(SettingsPath()));
        benchmark::DoNotOptimize(ReadIgnoredWords(SettingsPath()));
    }
}

BENCHMARK(BM_SaveSettings)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_WriteTheSameBytesOnce)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    benchmark::Initialize(&argc, argv);
    if (argc > 1) folder = argv[1];
    benchmark::RunSpecifiedBenchmarks();
    std::remove(SettingsPath().c_str());
    return 0;
}
