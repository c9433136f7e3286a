#include "app/QuillorApplication.h"

#include "view/BrowserView.h"

#include <QtGlobal>

#include <stdexcept>
#include <unistd.h>

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

// Said before the application object exists: the browser engine shares OpenGL
// contexts with the widgets, its sandbox refuses to start for root, which would
// otherwise end the program at the first page, and the record pages' scheme.
int& BeforeApplication(int& argc) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    BrowserView::RegisterPageScheme();
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
