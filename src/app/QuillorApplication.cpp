#include "app/QuillorApplication.h"

#include "common/ErrorBoundary.h"
#include "browser/BrowserView.h"

#include <QtGlobal>

#include <unistd.h>

namespace {

int reportsCaughtByNotify = 0;

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
        ++reportsCaughtByNotify;
        ReportError(error);
    } catch (...) {
        ++reportsCaughtByNotify;
        ReportUnknownError();
    }
    return false;
}

int QuillorApplication::ReportsCaughtByNotify() { return reportsCaughtByNotify; }
