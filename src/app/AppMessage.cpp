#include "app/AppMessage.h"

#include "app/MainWindow.h"
#include "common/DesktopShortcut.h"
#include "common/ErrorBoundary.h"

#include <QAction>
#include <QApplication>
#include <QFrame>

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

void InstallAppMessage(TForm1* form) {
    auto* shortcut = new QAction(QStringLiteral("ﾃﾞｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ(&D)"), form->Panel1);
    shortcut->setObjectName(QStringLiteral("SystemMenu100"));
    QObject::connect(shortcut, &QAction::triggered, form, Guarded([form] {
        QCoreApplication::postEvent(form, new SystemCommandEvent(SystemCommandEvent::kDesktopShortcut));
    }));
    form->Panel1->addAction(shortcut);
    form->Panel1->setContextMenuPolicy(Qt::ActionsContextMenu);
    qApp->installEventFilter(new AppMessageFilter(form));
}
