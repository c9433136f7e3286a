// The start-up floor: a minimal Qt Widgets program with one browser view, from its
// launch to its first page loaded, traced with the same milestones as the program.
#include "common/StartupTrace.h"

#include <QApplication>
#include <QTimer>
#include <QWebEngineView>

int main(int argc, char* argv[]) {
    MarkStartup("main");
    QApplication app(argc, argv);
    MarkStartup("application");
    QWebEngineView view;
    view.resize(640, 480);
    QObject::connect(&view, &QWebEngineView::loadFinished, [] {
        MarkStartup("first page loaded");
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    view.setHtml(QStringLiteral("<html><body><h3>abate</h3><p>page</p></body></html>"));
    view.show();
    MarkStartup("window shown");
    return QApplication::exec();
}
