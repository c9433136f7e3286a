#pragma once
// The application object. Every handler of the program reports its own errors (see
// common/ErrorBoundary.h); an exception that still reaches the event dispatch is
// caught here as a last resort, reported the same way, and counted.

#include <QApplication>

class QuillorApplication : public QApplication {
public:
    QuillorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Errors that reached notify instead of a handler's own guard: none, unless a
    // handler was connected without one.
    static int ReportsCaughtByNotify();
};
