// Zoom: the record page, and, when a text view has the focus, the fonts of the index
// and text views. Both levels are remembered in the settings.
#include "app/MainWindow.h"

#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "browser/BrowserView.h"
#include "view/ZoomSteps.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
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

void TForm1::CreateZoomCommands() {
    connect(ui_.WebBrowser1, &BrowserView::ZoomRequested, this, [this](int direction) {
        RunGuarded([&] { SetPageZoom(NextZoomStep(session_.Desktop().pageZoomPercent, direction)); });
    });
    auto* wheel = new TextWheelZoom(this, [this](int direction) {
        RunGuarded([&] { SetTextZoom(NextZoomStep(session_.Desktop().textZoomPercent, direction)); });
    });
    for (TEditorEx* view : {ui_.EditorEx1, ui_.EditorEx2, ui_.EditorEx3}) view->viewport()->installEventFilter(wheel);
    designedTextFont_ = ui_.EditorEx1->font();
}

void TForm1::ZoomStep(int direction) {
    if (FocusIsInTextView()) {
        SetTextZoom(direction == 0 ? 100 : NextZoomStep(session_.Desktop().textZoomPercent, direction));
    } else {
        SetPageZoom(direction == 0 ? 100 : NextZoomStep(session_.Desktop().pageZoomPercent, direction));
    }
}

void TForm1::SetPageZoom(int percent) {
    session_.Desktop().pageZoomPercent = ClampZoom(percent);
    ui_.WebBrowser1->SetZoomPercent(session_.Desktop().pageZoomPercent);
}

void TForm1::SetTextZoom(int percent) {
    const int zoom = session_.Desktop().textZoomPercent = ClampZoom(percent);
    QFont font = designedTextFont_;
    const int designed = designedTextFont_.pixelSize();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(designed * zoom / 100.0))));
    for (TEditorEx* view : {ui_.EditorEx1, ui_.EditorEx2, ui_.EditorEx3}) view->setFont(font);
}
