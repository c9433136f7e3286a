#pragma once
// The application object. It carries the application-wide error report: an exception
// that escapes an event handler is shown to the user, and the program goes on.

#include <QApplication>

#include <exception>
#include <functional>

class QuillorApplication : public QApplication {
public:
    QuillorApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The main window installs its report here at start-up.
void SetAppExceptionHandler(std::function<void(const std::exception&)> handler);
