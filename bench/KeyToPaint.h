#pragma once
// A key as a user presses it on a text view, through to the view's pixels: the
// benchmarks that time typing measure this.

#include "textview/TEditorEx.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>

inline void PressKeyAndPaint(TEditorEx* view, QPixmap& pixmap, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(view, &press);
    view->viewport()->render(&pixmap);
}
