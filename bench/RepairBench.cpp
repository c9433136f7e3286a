// Repairing a large damaged dictionary.
//
//   quillor_repair_bench FILE [RUNS]
//
// Damages one line in twenty of FILE, the kinds in turn: no space (a stray line), empty,
// no "///", no ":::", neither, and a record broken in two after its ":::". Then checks
// the repair against the literal step-by-step one on the first 20,000 lines (the
// literal one is quadratic), and times, as the median and range of RUNS runs (5):
//   repair   RepairLines over the lines already in memory
//   command  the repair command without its window: read the file, split it into
//            lines, repair, set the repaired text, write temp3.dat and temp4.dat
//   floor    a read of the damaged file and a write of the same bytes
// The files are written in a temporary folder, removed afterwards.
#include "common/AtomicFile.h"
#include "dictionary/DataFile.h"
#include "dictionary/LiteralRepair.h"
#include "dictionary/Repair.h"
#include "textmodel/TextLines.h"

#include "Timing.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kCheckedLines = 20'000;

std::string Without(std::string line, std::string_view part) {
    if (const auto at = line.find(part); at != std::string::npos) line.erase(at, part.size());
    return line;
}

std::string Damage(const TextLines& lines) {
    std::string out;
    out.reserve(lines.TextBytesBound() + 2 * lines.LineCount());
    for (std::size_t i = 0; i < lines.LineCount(); ++i) {
        std::string line(lines.LineView(i));
        if (i % 20 == 7) {
            switch ((i / 20) % 6) {
                case 0: std::replace(line.begin(), line.end(), ' ', '_'); break;
                case 1: line.clear(); break;
                case 2: line = Without(line, "///"); break;
                case 3: line = Without(line, ":::"); break;
                case 4: line = Without(Without(line, "///"), ":::"); break;
                default:
                    if (const auto space = line.find(' ', line.find(":::")); space != std::string::npos)
                        line[space] = '\n';
            }
        }
        out.append(line).append("\r\n");
    }
    return out;
}

void Print(const char* name, const Timing& timing, double megabytes) {
    std::printf("%-8s median %8.1f ms  (%.1f to %.1f)  %6.0f MB/s\n", name, timing.median, timing.fastest,
                timing.slowest, megabytes / (timing.median / 1000));
}

bool SameAsLiteral(const TextLines& damaged) {
    TextLines slice;
    std::string text;
    for (std::size_t i = 0; i < std::min(kCheckedLines, damaged.LineCount()); ++i)
        text.append(damaged.LineView(i)).append("\r\n");
    slice.SetWholeText(std::move(text));
    const RepairResult fast = RepairLines(slice, {});
    const LiteralRepair literal = RepairLiterally(slice, {});
    return fast.text.view() == literal.text && fast.log == literal.log && fast.d2 == literal.d2 &&
           fast.d3 == literal.d3 && fast.noNum == literal.noNum;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::stoi(argv[2])) : 5;

    TextLines sound;
    sound.SetWholeText(ReadWholeFile(argv[1]).text);
    TextLines damaged;
    damaged.SetWholeText(Damage(sound));
    sound.ClearLines();

    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quillor-repair-bench";
    std::filesystem::create_directories(folder);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    const std::string damagedFile = (folder / "damaged.txt").string();
    WriteFileAtomically(damagedFile, damaged.WholeText());
    const double megabytes = static_cast<double>(std::filesystem::file_size(damagedFile)) / 1e6;

    const bool same = SameAsLiteral(damaged);
    std::printf("%zu lines, %.1f MB, one in twenty damaged; the first %zu lines repaired as the literal repair "
                "does: %s\n",
                damaged.LineCount(), megabytes, kCheckedLines, same ? "yes" : "NO");

    RepairResult result;
    const Timing repair = Measure(runs, [&] { result = RepairLines(damaged, {}, [](int, std::int64_t) {}); });
    std::printf("d2 %lld, d3 %lld, noNum %lld, log %zu bytes\n", static_cast<long long>(result.d2),
                static_cast<long long>(result.d3), static_cast<long long>(result.noNum), result.log.size());
    const Timing command = Measure(runs, [&] {
        TextLines view;
        view.SetWholeText(ReadWholeFile(damagedFile).text);
        RepairResult repaired = RepairLines(view, {});
        view.SetWholeText(std::move(repaired.text));
        WriteRepairFiles(view, repaired.log);
    });
    const Timing floor = Measure(runs, [&] { WriteFileAtomically("copy.txt", ReadWholeFile(damagedFile).text); });

    Print("repair", repair, megabytes);
    Print("command", command, megabytes);
    Print("floor", floor, megabytes);
    std::printf("command / floor %.2f\n", command.median / floor.median);

    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
    return same ? 0 : 1;
}
