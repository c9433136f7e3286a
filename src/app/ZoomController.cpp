#include "app/ZoomController.h"

#include "browser/BrowserView.h"
#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "view/ZoomSteps.h"

#include <QApplication>
#include <QWheelEvent>

#include <cmath>

namespace {

// Ctrl+wheel over a text view zooms the text instead of scrolling it.
class TextWheelZoom : public QObject {
public:
    TextWheelZoom(QObject* parent, std::function<void(int)> zoom) : QObject(parent), zoom_(std::move(zoom)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            if (wheel->modifiers() & Qt::ControlModifier) {
                if (const int delta = wheel->angleDelta().y(); delta != 0) zoom_(delta > 0 ? 1 : -1);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> zoom_;
};

bool FocusIsInTextView() {
    for (QWidget* widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (qobject_cast<TEditorEx*>(widget)) return true;
    return false;
}

}  // namespace

ZoomController::ZoomController(DesktopSettings& desktop, BrowserView* page, std::array<TEditorEx*, 3> textViews,
                               QObject* parent)
    : QObject(parent), desktop_(desktop), page_(page), textViews_(textViews), designedTextFont_(textViews[0]->font()) {
    connect(page_, &BrowserView::ZoomRequested, this, [this](int direction) {
        RunGuarded([&] { SetPageZoom(NextZoomStep(desktop_.pageZoomPercent, direction)); });
    });
    auto* wheel = new TextWheelZoom(this, [this](int direction) {
        RunGuarded([&] { SetTextZoom(NextZoomStep(desktop_.textZoomPercent, direction)); });
    });
    for (TEditorEx* view : textViews_) view->viewport()->installEventFilter(wheel);
}

void ZoomController::Step(int direction) {
    if (FocusIsInTextView()) {
        SetTextZoom(direction == 0 ? 100 : NextZoomStep(desktop_.textZoomPercent, direction));
    } else {
        SetPageZoom(direction == 0 ? 100 : NextZoomStep(desktop_.pageZoomPercent, direction));
    }
}

void ZoomController::SetPageZoom(int percent) {
    desktop_.pageZoomPercent = ClampZoom(percent);
    page_->SetZoomPercent(desktop_.pageZoomPercent);
}

void ZoomController::SetTextZoom(int percent) {
    desktop_.textZoomPercent = ClampZoom(percent);
    QFont font = designedTextFont_;
    const int designed = designedTextFont_.pixelSize();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(designed * desktop_.textZoomPercent / 100.0))));
    for (TEditorEx* view : textViews_) view->setFont(font);
}
