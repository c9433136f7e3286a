#include "common/ErrorBoundary.h"

#include <QtGlobal>
#include <stdexcept>

namespace {

ErrorReporter& Reporter() {
    static ErrorReporter reporter;
    return reporter;
}

std::function<void(GuardKind)>& Probe() {
    static std::function<void(GuardKind)> probe;
    return probe;
}

thread_local int runningGuards = 0;  // the guards of the thread asking

// Through Qt's message handler, as the program's other warnings go.
void ToStderr(const char* text) noexcept { qWarning("QuillorDic: エラー発生 %s", text); }

}  // namespace

ErrorReporter SetErrorReporter(ErrorReporter reporter) { return std::exchange(Reporter(), std::move(reporter)); }

void ReportError(const std::exception& error) noexcept {
    try {
        if (Reporter()) Reporter()(error);
        else ToStderr(error.what());
    } catch (const std::exception& inReport) {
        ToStderr(error.what());
        ToStderr(inReport.what());
    } catch (...) {
        ToStderr(error.what());
    }
}

void ReportErrorOnStderr(const std::exception& error) noexcept { ToStderr(error.what()); }

void ReportUnknownError() noexcept { ReportError(std::runtime_error("不明なエラー")); }

void SetGuardProbe(std::function<void(GuardKind)> probe) { Probe() = std::move(probe); }

void RunGuardProbe(GuardKind kind) {
    if (Probe()) Probe()(kind);
}

int RunningGuards() noexcept { return runningGuards; }

error_boundary_detail::GuardCount::GuardCount() noexcept { ++runningGuards; }

error_boundary_detail::GuardCount::~GuardCount() { --runningGuards; }
