// Zoom: the record page, and, when a text view has the focus, the fonts of the index
// and text views. Both levels are remembered in the settings.
#include "app/MainWindow.h"

#include "common/ErrorBoundary.h"
#include "textview/TEditorEx.h"
#include "view/BrowserView.h"
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
    Show1->addSeparator()->setObjectName(QStringLiteral("N9"));
    QMenu* zoom = Show1->addMenu(QStringLiteral("ズーム(&Z)"));
    zoom->setObjectName(QStringLiteral("Zoom1"));
    zoom->menuAction()->setObjectName(QStringLiteral("Zoom1Action"));
    const auto item = [zoom](const char* name, const QString& caption, const QList<QKeySequence>& keys) {
        QAction* action = zoom->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcuts(keys);
        return action;
    };
    ZoomIn1 = item("ZoomIn1", QStringLiteral("拡大(&I)"),
                   {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    ZoomOut1 = item("ZoomOut1", QStringLiteral("縮小(&O)"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
    ZoomReset1 = item("ZoomReset1", QStringLiteral("標準のサイズ(&R)"), {QKeySequence(Qt::CTRL | Qt::Key_0)});
    connect(ZoomIn1, &QAction::triggered, this, Guarded([this] { ZoomStep(1); }));
    connect(ZoomOut1, &QAction::triggered, this, Guarded([this] { ZoomStep(-1); }));
    connect(ZoomReset1, &QAction::triggered, this, Guarded([this] { ZoomStep(0); }));

    connect(WebBrowser1, &BrowserView::ZoomRequested, this, [this](int direction) {
        RunGuarded([&] { SetPageZoom(NextZoomStep(Desktop.pageZoomPercent, direction)); });
    });
    auto* wheel = new TextWheelZoom(this, [this](int direction) {
        RunGuarded([&] { SetTextZoom(NextZoomStep(Desktop.textZoomPercent, direction)); });
    });
    for (TEditorEx* view : {EditorEx1, EditorEx2, EditorEx3}) view->viewport()->installEventFilter(wheel);
    designedTextFont_ = EditorEx1->font();
}

void TForm1::ZoomStep(int direction) {
    if (FocusIsInTextView()) {
        SetTextZoom(direction == 0 ? 100 : NextZoomStep(Desktop.textZoomPercent, direction));
    } else {
        SetPageZoom(direction == 0 ? 100 : NextZoomStep(Desktop.pageZoomPercent, direction));
    }
}

void TForm1::SetPageZoom(int percent) {
    Desktop.pageZoomPercent = ClampZoom(percent);
    WebBrowser1->SetZoomPercent(Desktop.pageZoomPercent);
}

void TForm1::SetTextZoom(int percent) {
    Desktop.textZoomPercent = ClampZoom(percent);
    QFont font = designedTextFont_;
    const int designed = designedTextFont_.pixelSize();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(designed * Desktop.textZoomPercent / 100.0))));
    for (TEditorEx* view : {EditorEx1, EditorEx2, EditorEx3}) view->setFont(font);
}
