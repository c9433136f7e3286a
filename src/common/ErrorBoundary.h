#pragma once
// Where an error stops. Qt calls the program's handlers (a command, a timer, an event
// override) from frames that cannot carry an exception on: Qt is built without them,
// so an exception passing through would skip those frames' clean-up. Each handler Qt
// calls therefore runs inside RunGuarded, which hands an error to the one
// application-wide report (the main window's "エラー発生" box) and returns normally.

#include <exception>
#include <functional>
#include <utility>

using ErrorReporter = std::function<void(const std::exception& error)>;

// Installs the report; returns the one it replaces. Without one, errors go to stderr.
ErrorReporter SetErrorReporter(ErrorReporter reporter);

// Hands `error` to the report; an error in reporting goes to stderr.
void ReportError(const std::exception& error) noexcept;
// The report's text on stderr, where no window can show it (a logout, the window gone).
void ReportErrorOnStderr(const std::exception& error) noexcept;
// An exception of no known kind: "不明なエラー".
void ReportUnknownError() noexcept;

// What a guard stands around: a slot connected to a signal (a command, a timer), or
// any other handler Qt calls (an event handler, an event filter).
enum class GuardKind { Slot, Handler };

// For tests: called first inside every guard with its kind, so a test can make any
// handler fail and see which guard catches the failure.
void SetGuardProbe(std::function<void(GuardKind)> probe);
void RunGuardProbe(GuardKind kind);

// How many guarded handlers are running, the one asking included: more than one when
// a handler waits in an event loop of its own (a dialog, a page being loaded) and
// another one runs inside that loop, while the first is still half done.
int RunningGuards() noexcept;

namespace error_boundary_detail {

// Counts a guard from its start until its error, if any, has been reported.
class GuardCount {
public:
    GuardCount() noexcept;
    ~GuardCount();
    GuardCount(const GuardCount&) = delete;
    GuardCount& operator=(const GuardCount&) = delete;
};

template <typename Handler>
void Run(GuardKind kind, Handler&& handler) noexcept {
    const GuardCount counted;
    try {
        RunGuardProbe(kind);
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ReportError(error);
    } catch (...) {
        ReportUnknownError();
    }
}

}  // namespace error_boundary_detail

// Runs `handler`; an exception it raises is reported, and goes no further.
template <typename Handler>
void RunGuarded(Handler&& handler) noexcept {
    error_boundary_detail::Run(GuardKind::Handler, std::forward<Handler>(handler));
}

// The same for a handler with a result: `fallback` when it failed.
template <typename Result, typename Handler>
Result RunGuarded(Result fallback, Handler&& handler) noexcept {
    RunGuarded([&] { fallback = std::forward<Handler>(handler)(); });
    return fallback;
}

// A member function without arguments as a guarded slot, for connect(): Qt drops the
// signal's arguments.
template <typename Object>
auto Guarded(Object* object, void (Object::*handler)()) {
    return [object, handler] { error_boundary_detail::Run(GuardKind::Slot, [&] { (object->*handler)(); }); };
}

// A callable without arguments as a guarded slot.
template <typename Handler>
auto Guarded(Handler handler) {
    return [handler = std::move(handler)] { error_boundary_detail::Run(GuardKind::Slot, handler); };
}
