#include "app/PageChangeGuard.h"

#include "common/ErrorBoundary.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionTabBarBase>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

PageChangeGuard::PageChangeGuard(QTabWidget* pages, std::function<bool(int, int)> mayChange)
    : QObject(pages), pages_(pages), mayChange_(std::move(mayChange)) {
    // Application-wide: a page key reaches the focused widget first, and a view on a
    // page (the text view takes Ctrl+PageUp for itself) would never pass it on.
    qApp->installEventFilter(this);
}

namespace {

// The receiver when it is a widget on the pages, found by its address among the pages'
// own widgets. The filter sees every object's events, the browser engine's too, whose
// library carries no type information: calling a member of those (isWidgetType, a
// qobject_cast) is what UBSan's vptr check calls a foreign object, so none is called.
const QWidget* WidgetOnPages(const QTabWidget* pages, const QObject* receiver) {
    const QList<QWidget*> widgets = pages->findChildren<QWidget*>();
    const auto found = std::find(widgets.begin(), widgets.end(), receiver);
    return found == widgets.end() ? nullptr : *found;
}

}  // namespace

bool PageChangeGuard::eventFilter(QObject* watched, QEvent* event) {
    std::optional<int> to;
    switch (event->type()) {
    case QEvent::KeyPress: to = PageOfKey(watched, *static_cast<QKeyEvent*>(event)); break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (watched != pages_->tabBar()) return false;
        to = PageOfClick(*static_cast<QMouseEvent*>(event));
        break;
    case QEvent::Wheel: return watched == pages_->tabBar();
    default: return false;
    }
    if (!to) return false;
    RunGuarded([&] { Request(*to); });
    return true;
}

std::optional<int> PageChangeGuard::PageOfKey(const QObject* receiver, const QKeyEvent& key) const {
    if (!pages_->isVisible()) return {};
    const bool onTabBar = receiver == pages_->tabBar();
    // Every key press passes here: the search for the receiver among the pages' widgets
    // waits until the key is one that changes the page.
    const auto onPages = [&] {
        if (onTabBar) return true;
        // A popup of a page's widget (the text view's menu) is a window of its own: not on the pages.
        const QWidget* widget = WidgetOnPages(pages_, receiver);
        return widget && pages_->isAncestorOf(widget);
    };
    const int current = pages_->currentIndex();
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool control = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    if (control && (modifiers & ~(Qt::ControlModifier | Qt::ShiftModifier)) == 0) {
        std::optional<int> to;
        switch (key.key()) {
        case Qt::Key_Tab: to = Step(current, shift ? -1 : 1, true); break;
        case Qt::Key_Backtab: to = Step(current, -1, true); break;
        case Qt::Key_PageDown:
            if (!shift) to = Step(current, 1, true);
            break;
        case Qt::Key_PageUp:
            if (!shift) to = Step(current, -1, true);
            break;
        default: break;
        }
        if (to) return onPages() ? to : std::nullopt;
    }
    if (!onTabBar) return {};
    // The tab bar's own keys: it takes the arrows with any modifier.
    const int forward = pages_->tabBar()->isRightToLeft() ? -1 : 1;
    switch (key.key()) {
    case Qt::Key_Right: return Step(current, forward, false);
    case Qt::Key_Left: return Step(current, -forward, false);
    case Qt::Key_Home: return Step(current, -1, false, true);
    case Qt::Key_End: return Step(current, 1, false, true);
    default: return {};
    }
}

std::optional<int> PageChangeGuard::PageOfClick(const QMouseEvent& click) const {
    QTabBar* bar = pages_->tabBar();
    QStyleOptionTabBarBase option;
    option.initFrom(bar);
    option.documentMode = bar->documentMode();
    // The style says whether a press or a release selects a tab; the other passes.
    const auto selectsOn =
        static_cast<QEvent::Type>(bar->style()->styleHint(QStyle::SH_TabBar_SelectMouseType, &option, bar));
    const QEvent::Type type = click.type() == QEvent::MouseButtonDblClick ? QEvent::MouseButtonPress : click.type();
    if (click.button() != Qt::LeftButton || type != selectsOn) return {};
    const int tab = bar->tabAt(click.position().toPoint());
    if (tab < 0 || tab == pages_->currentIndex()) return {};
    return tab;
}

int PageChangeGuard::Step(int from, int direction, bool wrap, bool farthest) const {
    const int count = pages_->count();
    int found = from;
    for (int page = from + direction, tried = 0; tried < count; page += direction, ++tried) {
        if (wrap) page = (page + count) % count;
        else if (page < 0 || page >= count) break;
        if (!IsSelectable(page)) continue;
        found = page;
        if (!farthest) break;
    }
    return found;
}

bool PageChangeGuard::IsSelectable(int page) const { return pages_->isTabVisible(page) && pages_->isTabEnabled(page); }

void PageChangeGuard::Request(int to) {
    const int from = pages_->currentIndex();
    if (to == from || !IsSelectable(to)) return;
    if (!mayChange_(from, to)) return;
    // Answering may have changed the pages (a reload, edit mode): turn only to a page
    // that can still be shown.
    if (IsSelectable(to)) pages_->setCurrentIndex(to);
}
