#pragma once
// The mouse's back and forward buttons step through the history anywhere over the
// window, the record page included: the browser view would otherwise take them for
// its own page history, which holds nothing the user means.

#include <QObject>

class QAction;
class QWidget;

class HistoryMouseButtons : public QObject {
public:
    // Watches every press over `window` (an application-wide filter: the browser's
    // own widgets get the events first otherwise).
    HistoryMouseButtons(QWidget* window, QAction* back, QAction* forward);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    QAction* back_;
    QAction* forward_;
};
