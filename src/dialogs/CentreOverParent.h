#pragma once
// Dialogs that come up over the middle of their owner window, every time they show,
// wherever the user left them before.

#include <QWidget>

// Frame over frame, as far as the window system has told us the frames.
inline void CentreOverParent(QWidget* dialog) {
    const QWidget* owner = dialog->parentWidget();
    if (!owner) return;
    const QRect ownerFrame = owner->window()->frameGeometry();
    const QSize frame = dialog->frameGeometry().size();
    dialog->move(ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2));
}
