#pragma once
// Wall-clock timing of a few runs of a step, for the benchmarks that report a median.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

struct Timing {
    double median = 0;   // milliseconds
    double fastest = 0;
    double slowest = 0;
};

inline Timing Measure(int runs, const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}
