#include "app/AppMessage.h"

#include "common/DesktopShortcut.h"
#include "common/ErrorBoundary.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

namespace {

class AppMessageFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == SystemCommandEvent::kType &&
            static_cast<SystemCommandEvent*>(event)->CommandId() == SystemCommandEvent::kDesktopShortcut) {
            RunGuarded([] {
                MakeDesktopShortcut(QCoreApplication::applicationFilePath().toStdString(),
                                    QApplication::applicationName().toStdString(), true);
            });
        }
        return QObject::eventFilter(watched, event);  // never marked as handled
    }
};

}  // namespace

void InstallAppMessage(QWidget* panel) {
    auto* shortcut = new QAction(QStringLiteral("ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ(&D)"), panel);
    shortcut->setObjectName(QStringLiteral("SystemMenu100"));
    QObject::connect(shortcut, &QAction::triggered, panel, Guarded([panel] {
        QCoreApplication::postEvent(panel->window(), new SystemCommandEvent(SystemCommandEvent::kDesktopShortcut));
    }));
    panel->addAction(shortcut);
    panel->setContextMenuPolicy(Qt::ActionsContextMenu);
    qApp->installEventFilter(new AppMessageFilter(panel));
}
