#include "app/TSplitter.h"

#include "common/ErrorBoundary.h"

#include <QLayout>
#include <QMouseEvent>

TSplitter::TSplitter(QWidget* resized, QWidget* parent) : QWidget(parent), resized_(resized) {
    setFixedWidth(5);
    setCursor(Qt::SplitHCursor);
}

bool TSplitter::ProposeWidth(int newWidth) {
    if (canResize_ && !canResize_(newWidth)) return false;
    // The pane on the other side keeps some room, as it does on any splitter.
    if (parentWidget() && newWidth > parentWidget()->width() - width() - kOtherSideMinimum) return false;
    resized_->setFixedWidth(newWidth);
    // Lay out now, so whoever listens to Moved sees the new widths.
    if (parentWidget() && parentWidget()->layout()) parentWidget()->layout()->activate();
    return true;
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragStartX_ = qRound(event->globalPosition().x());
    dragStartWidth_ = resized_->width();
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    RunGuarded([&] { ProposeWidth(dragStartWidth_ + qRound(event->globalPosition().x()) - dragStartX_); });
}

void TSplitter::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    RunGuarded([this] { emit Moved(); });
}
