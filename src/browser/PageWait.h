#pragma once
// The program's one nested event loop of its own: waiting for the browser engine (the
// blank page it starts with, a record page, a print). The engine answers through the
// event loop, so the window must keep running while it waits, and whatever comes in
// meanwhile runs inside the wait. The rule for what may run then:
//  - the user's own input runs: a record, a hit or the guide asked for during a wait is
//    newer than the page waited for, which then gives way unshown and without an error
//    (BrowserView numbers its pages for that);
//  - work from outside the user's hands (a later start's request, a clipboard lookup)
//    does not: it asks Running() and comes back once no wait is under way, as it does
//    while a question is open or a command is half done.

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <tuple>

class PageWait {
public:
    // Whether a wait is under way, further down the stack.
    static bool Running() noexcept { return depth_ > 0; }

    // Lets the window run until `sender` sends `signal`, whose last argument tells
    // success; whether it came within `limitMs` and succeeded.
    template <typename Sender, typename Signal>
    static bool For(Sender* sender, Signal signal, int limitMs) {
        bool succeeded = false;
        QEventLoop loop;
        QObject::connect(sender, signal, &loop, [&](auto&&... arguments) {
            succeeded = std::get<sizeof...(arguments) - 1>(std::tie(arguments...));
            loop.quit();
        });
        Run(loop, limitMs);
        return succeeded;
    }

    // The same for either of two signals without arguments, or until `done()` holds
    // before the wait begins.
    template <typename Sender, typename First, typename Second, typename Done>
    static void ForEither(Sender* sender, First first, Second second, int limitMs, Done done) {
        QEventLoop loop;
        QObject::connect(sender, first, &loop, [&loop] { loop.quit(); });
        QObject::connect(sender, second, &loop, [&loop] { loop.quit(); });
        if (!done()) Run(loop, limitMs);
    }

private:
    static void Run(QEventLoop& loop, int limitMs) {
        QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
        struct Depth {
            Depth() { ++depth_; }
            ~Depth() { --depth_; }
        } const waiting;
        loop.exec();
    }

    static inline int depth_ = 0;
};
