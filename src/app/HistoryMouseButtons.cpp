#include "app/HistoryMouseButtons.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

HistoryMouseButtons::HistoryMouseButtons(QWidget* window, QAction* back, QAction* forward)
    : QObject(window), window_(window), back_(back), forward_(forward) {
    qApp->installEventFilter(this);
}

bool HistoryMouseButtons::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return false;
    const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
    if (button != Qt::BackButton && button != Qt::ForwardButton) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != window_) return false;
    // One step per press; the release and a double click are swallowed with it, so the
    // page never sees them.
    if (type == QEvent::MouseButtonPress) {
        QAction* action = button == Qt::BackButton ? back_ : forward_;
        if (action->isEnabled()) action->trigger();
    }
    return true;
}
