#include "app/ErrorReport.h"

#include <QtGlobal>

#include <stdexcept>

namespace {

std::function<void(const std::exception&)>& Handler() {
    static std::function<void(const std::exception&)> handler;
    return handler;
}

void Report(const std::exception& error) {
    if (Handler()) Handler()(error);
    else qWarning("QuillorDic: %s", error.what());
}

}  // namespace

void SetAppExceptionHandler(std::function<void(const std::exception&)> handler) { Handler() = std::move(handler); }

namespace {

// The browser engine shares OpenGL contexts with the widgets; this must be said
// before the application object exists.
int& BeforeApplication(int& argc) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    return argc;
}

}  // namespace

QuillorApplication::QuillorApplication(int& argc, char** argv) : QApplication(BeforeApplication(argc), argv) {}

bool QuillorApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Report(error);
    } catch (...) {
        Report(std::runtime_error("不明なエラー"));
    }
    return false;
}
