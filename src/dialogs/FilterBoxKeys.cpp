#include "dialogs/FilterBoxKeys.h"

#include "common/ErrorBoundary.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

FilterBoxKeys::FilterBoxKeys(QLineEdit* box, QAbstractItemView* list, std::function<void()> choose)
    : QObject(box), list_(list), choose_(std::move(choose)) {
    box->installEventFilter(this);
}

bool FilterBoxKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    return RunGuarded(false, [&] {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
            QCoreApplication::sendEvent(list_, &copy);
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter:
            choose_();
            return true;  // not on to the dialog's default button
        default:
            return false;
        }
    });
}
