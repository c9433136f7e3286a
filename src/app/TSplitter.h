#pragma once
// The bar between the index pane and the page control. Dragging it proposes a new
// width for the pane on its left; the window decides whether to accept it.

#include <QWidget>

#include <functional>

class TSplitter : public QWidget {
    Q_OBJECT
public:
    TSplitter(QWidget* resized, QWidget* parent = nullptr);

    // Asked before every change of width; false refuses it.
    void SetCanResize(std::function<bool(int newWidth)> canResize) { canResize_ = std::move(canResize); }

    // Applies `newWidth` to the pane when the window accepts it; answers whether it did.
    bool ProposeWidth(int newWidth);

signals:
    void Moved();  // after a drag ends

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    static constexpr int kOtherSideMinimum = 30;

    QWidget* resized_;
    std::function<bool(int)> canResize_;
    int dragStartX_ = 0;
    int dragStartWidth_ = 0;
    bool dragging_ = false;
};
