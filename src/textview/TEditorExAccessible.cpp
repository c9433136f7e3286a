#include "textview/TEditorExAccessible.h"

#include "common/Sjis.h"
#include "textview/TEditorEx.h"

#include <QScrollBar>

#include <algorithm>

namespace {

constexpr std::size_t kReach = 2048;  // bytes on either side of the caret

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    if (className == QLatin1String("TEditorEx"))
        if (auto* view = qobject_cast<TEditorEx*>(object)) return new TEditorExAccessible(view);
    return nullptr;
}

}  // namespace

TEditorExAccessible::TEditorExAccessible(TEditorEx* view) : QAccessibleWidget(view, QAccessible::EditableText) {}

void TEditorExAccessible::Install() {
    static const bool installed = [] {
        QAccessible::installFactory(MakeInterface);
        return true;
    }();
    (void)installed;
}

void TEditorExAccessible::CaretMoved(TEditorEx* view) {
    if (!QAccessible::isActive()) return;
    const auto [from, to] = view->CaretLineWindow(kReach);
    QAccessibleTextCursorEvent moved(
        view, static_cast<int>(TEditorEx::CharsBetween(view->LineAt(view->caret_.line), from, view->caret_.column)));
    QAccessible::updateAccessibility(&moved);
}

TEditorEx* TEditorExAccessible::View() const { return static_cast<TEditorEx*>(widget()); }

void* TEditorExAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State TEditorExAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = View()->ReadOnly();
    state.editable = !View()->ReadOnly();
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

std::size_t TEditorExAccessible::ColumnOf(int offset) const {
    const TEditorEx* view = View();
    const auto [from, to] = view->CaretLineWindow(kReach);
    const std::string_view line = view->LineAt(view->caret_.line);
    return std::min(to, TEditorEx::ColumnAfterChars(line, from, static_cast<std::size_t>(std::max(0, offset))));
}

int TEditorExAccessible::OffsetOf(std::size_t column) const {
    const TEditorEx* view = View();
    const auto [from, to] = view->CaretLineWindow(kReach);
    return static_cast<int>(
        TEditorEx::CharsBetween(view->LineAt(view->caret_.line), from, std::clamp(column, from, to)));
}

QString TEditorExAccessible::text(QAccessible::Text kind) const {
    // The value of a text view is the line it is on: for an index, the row its band marks.
    if (kind == QAccessible::Value) return text(0, characterCount());
    return QAccessibleWidget::text(kind);
}

QString TEditorExAccessible::text(int startOffset, int endOffset) const {
    const TEditorEx* view = View();
    const std::size_t from = ColumnOf(startOffset);
    const std::size_t to = std::max(from, ColumnOf(endOffset));
    return Sjis::ToQString(view->LineAt(view->caret_.line).substr(from, to - from));
}

int TEditorExAccessible::characterCount() const {
    const auto [from, to] = View()->CaretLineWindow(kReach);
    return OffsetOf(to);
}

int TEditorExAccessible::cursorPosition() const { return OffsetOf(View()->caret_.column); }

void TEditorExAccessible::setCursorPosition(int position) {
    TEditorEx* view = View();
    const std::int64_t line = view->caret_.line;
    view->MoveCaret({line, ColumnOf(position)}, false);
}

int TEditorExAccessible::selectionCount() const {
    const TEditorEx* view = View();
    // Only a selection within the caret's line is one of this text.
    return view->anchor_ != view->caret_ && view->anchor_.line == view->caret_.line ? 1 : 0;
}

void TEditorExAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0) return;
    const TEditorEx* view = View();
    *startOffset = OffsetOf(std::min(view->anchor_, view->caret_).column);
    *endOffset = OffsetOf(std::max(view->anchor_, view->caret_).column);
}

void TEditorExAccessible::setSelection(int, int startOffset, int endOffset) {
    TEditorEx* view = View();
    const std::int64_t line = view->caret_.line;
    const std::size_t from = ColumnOf(startOffset);
    const std::size_t to = ColumnOf(endOffset);
    view->Select({line, from}, {line, to});
}

void TEditorExAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void TEditorExAccessible::removeSelection(int) {
    TEditorEx* view = View();
    view->MoveCaret(view->caret_, false);
}

QRect TEditorExAccessible::characterRect(int offset) const {
    const TEditorEx* view = View();
    const std::size_t column = ColumnOf(offset);
    const std::string_view line = view->LineAt(view->caret_.line);
    const auto cells = static_cast<int>(std::max<std::size_t>(1, Sjis::NextShownChar(line, column) - column));
    const QRect cell(view->XOfColumn(column), view->YOfRow(view->caret_.line), cells * view->CellWidth(),
                     view->RowHeight());
    return QRect(view->viewport()->mapToGlobal(cell.topLeft()), cell.size());
}

int TEditorExAccessible::offsetAtPoint(const QPoint& point) const {
    const TEditorEx* view = View();
    const TEditorEx::Position at = view->PositionAt(view->viewport()->mapFromGlobal(point));
    return at.line == view->caret_.line ? OffsetOf(at.column) : -1;
}

void TEditorExAccessible::scrollToSubstring(int startIndex, int) {
    TEditorEx* view = View();
    view->MoveCaret({view->caret_.line, ColumnOf(startIndex)}, false);
    view->ScrollToShowCaret();
}

QString TEditorExAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = offset;
    return {};
}
