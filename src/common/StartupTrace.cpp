#include "common/StartupTrace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// The launch time in nanoseconds since the epoch, or 0 when tracing is off.
long long LaunchNanoseconds() {
    static const long long launch = [] {
        const char* value = std::getenv("QUILLOR_START_TRACE");
        return value ? std::atoll(value) : 0LL;
    }();
    return launch;
}

}  // namespace

bool StartupTraced() { return LaunchNanoseconds() > 0; }

void MarkStartup(const char* milestone) {
    if (!StartupTraced()) return;
    const long long now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    std::fprintf(stderr, "start-up\t%s\t%.1f\n", milestone, static_cast<double>(now - LaunchNanoseconds()) / 1e6);
    std::fflush(stderr);
}
