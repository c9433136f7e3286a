#pragma once
// Asks before the user turns the page of a tab widget. QTabWidget turns first and
// tells afterwards, so this filter catches the user's ways of turning it before they
// act: a click on another tab; Left, Right, Home and End on the focused tab bar; and
// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PageDown and Ctrl+PageUp anywhere on the pages. It
// asks, and turns the page itself when the answer allows. Pages the program sets are
// never asked about. Hidden and disabled tabs are skipped, which Qt's own keyboard
// handling does not do for hidden ones. The wheel over the tab bar turns no page: a
// question popping up under a scroll would be a surprise.

#include <QObject>

#include <functional>
#include <optional>

class QKeyEvent;
class QMouseEvent;
class QTabWidget;

class PageChangeGuard : public QObject {
public:
    // `mayChange(from, to)`: whether the user may go from page `from` to page `to`.
    PageChangeGuard(QTabWidget* pages, std::function<bool(int from, int to)> mayChange);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The page the key asks for, when it is a page key for a widget at `receiver`; the
    // current page when no other can be reached that way, so the key is still taken.
    std::optional<int> PageOfKey(const QObject* receiver, const QKeyEvent& key) const;
    // Another tab under a click that selects tabs in the current style.
    std::optional<int> PageOfClick(const QMouseEvent& click) const;
    // The nearest selectable page from `from` in `direction` (+1, -1), going round
    // the ends when `wrap`; the farthest one when `farthest`; `from` when there is none.
    int Step(int from, int direction, bool wrap, bool farthest = false) const;
    bool IsSelectable(int page) const;
    void Request(int to);

    QTabWidget* pages_;
    std::function<bool(int, int)> mayChange_;
};
