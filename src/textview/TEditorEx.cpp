#include "textview/TEditorEx.h"

#include "common/ErrorBoundary.h"
#include "common/Sjis.h"
#include "textview/TEditorExAccessible.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>

TEditorEx::TEditorEx(QWidget* parent) : TEditorEx(parent, nullptr) {}

TEditorEx::TEditorEx(TextLines& lines, QWidget* parent) : TEditorEx(parent, &lines) {}

TEditorEx::TEditorEx(QWidget* parent, TextLines* lines)
    : QAbstractScrollArea(parent),
      ownLines_(lines ? nullptr : std::make_unique<TextLines>()),
      lines_(lines ? lines : ownLines_.get()) {
    QFont font(QStringLiteral("FixedSys"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    colors_.background = Qt::white;
    linesListener_ = ListenTo(*lines_);
    UpdateScrollBars();
    TEditorExAccessible::Install();
}

// The lines outlive the view, so they must not go on calling it.
TEditorEx::~TEditorEx() { lines_->RemoveChangeListener(linesListener_); }

int TEditorEx::ListenTo(TextLines& lines) {
    return lines.AddChangeListener([this](const LinesChange& change) { LinesChanged(change); });
}

void TEditorEx::AttachLines(TextLines& lines) {
    const int listener = ListenTo(lines);
    lines_->RemoveChangeListener(linesListener_);
    lines_ = &lines;
    linesListener_ = listener;
    if (ownLines_.get() != &lines) ownLines_.reset();
    // Everything that hangs on the text starts afresh, as for a whole new one.
    LinesChanged({LinesChange::Kind::WholeText, 0, 0, LineCount()});
}

void TEditorEx::DetachLines() {
    if (ownLines_) return;
    auto own = std::make_unique<TextLines>();
    TextLines& lines = *own;
    AttachLines(lines);
    ownLines_ = std::move(own);
}

QString TEditorEx::BytesMimeType() { return QStringLiteral("application/x-quillordic-cp932"); }

void TEditorEx::LinesChanged(const LinesChange& change) {
    // An undo step would no longer fit lines changed by other means.
    if (!editing_) history_.Clear();
    if (change.kind == LinesChange::Kind::WholeText) {
        caret_ = anchor_ = Position{};
        wantedColumn_ = 0;
        preedit_.clear();
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
        viewport()->update();
    } else {
        // Only the changed rows, when no row moved: a key costs one row's painting.
        // The caret's old row goes too, and the place after the last line, which may
        // have stopped being one the caret can stand on.
        UpdateRows(change.firstLine, change.linesBefore == change.linesAfter ? change.linesAfter : -1);
        UpdateRows(caret_.line, 1);
        UpdateRows(LineCount(), 1);
        caret_ = ClampedPosition(caret_);
        anchor_ = ClampedPosition(anchor_);
    }
    UpdateScrollBars();
}

void TEditorEx::UpdateRows(std::int64_t firstRow, std::int64_t count) {
    const std::int64_t top = firstRow - TopRow();
    const std::int64_t visible = VisibleRowCount() + 1;
    if (top >= visible || (count >= 0 && top + count <= 0)) return;
    const int rowHeight = RowHeight();
    const int y = static_cast<int>(std::max<std::int64_t>(top, 0) * rowHeight);
    const int height = count < 0 ? viewport()->height() - y
                                 : static_cast<int>(std::min(top + count, visible) - std::max<std::int64_t>(top, 0)) *
                                       rowHeight;
    viewport()->update(QRect(0, y, viewport()->width(), height));
}

std::int64_t TEditorEx::LastCaretRow() const {
    const std::int64_t count = LineCount();
    return std::max<std::int64_t>(0, lines_->EndsWithLineBreak() ? count : count - 1);
}

std::string_view TEditorEx::LineAt(std::int64_t row) const {
    return row >= 0 && row < LineCount() ? lines_->LineView(static_cast<std::size_t>(row)) : std::string_view();
}

TEditorEx::Position TEditorEx::ClampedPosition(Position position) const {
    position.line = std::clamp<std::int64_t>(position.line, 0, LastCaretRow());
    const std::string_view line = LineAt(position.line);
    position.column = std::min(position.column, line.size());
    if (position.column < line.size()) position.column = Sjis::ShownCharStart(line, position.column);
    return position;
}

std::int64_t TEditorEx::TopRow() const { return verticalScrollBar()->value(); }

int TEditorEx::VisibleRowCount() const { return std::max(1, viewport()->height() / RowHeight()); }

void TEditorEx::UpdateScrollBars() {
    const std::int64_t rows = LastCaretRow() + 1;
    const int visible = VisibleRowCount();
    verticalScrollBar()->setRange(0, static_cast<int>(std::max<std::int64_t>(0, rows - visible)));
    verticalScrollBar()->setPageStep(visible);
    // One cell more than the longest line, so the caret after its last character shows.
    const auto textWidth = static_cast<std::int64_t>(lines_->LongestLineBound() + 1) * CellWidth() + 2 * kLeftMargin;
    horizontalScrollBar()->setRange(
        0, static_cast<int>(std::clamp<std::int64_t>(textWidth - viewport()->width(), 0, INT32_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(CellWidth() * 4);
}

void TEditorEx::SetViewColors(const ViewColors& colors) {
    colors_ = colors;
    viewport()->update();
}

void TEditorEx::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    setAttribute(Qt::WA_InputMethodEnabled, !readOnly);
    if (!preedit_.isEmpty()) QGuiApplication::inputMethod()->reset();
    preedit_.clear();
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    RestartCaretBlink();
    viewport()->update();
}

void TEditorEx::SetCaretRow(std::int64_t row) {
    const std::int64_t target = std::clamp<std::int64_t>(row, 0, LastCaretRow());
    if (target == caret_.line) return;
    caret_ = anchor_ = Position{target, 0};
    wantedColumn_ = 0;
    history_.Seal();
    if (HasKeyboardFocus()) ScrollToShowRow(target);
    viewport()->update();
    AfterCaretMoved();
}

void TEditorEx::AfterCaretMoved() {
    RestartCaretBlink();
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    TEditorExAccessible::CaretMoved(this);
    emit OnCaretMoved();
}

void TEditorEx::ScrollToShowRow(std::int64_t row) {
    const std::int64_t top = TopRow();
    const int visible = VisibleRowCount();
    if (row < top) verticalScrollBar()->setValue(static_cast<int>(row));
    else if (row >= top + visible) verticalScrollBar()->setValue(static_cast<int>(row - visible + 1));
}

void TEditorEx::ScrollToShowCaret() {
    ScrollToShowRow(caret_.line);
    const int cell = CellWidth();
    const std::int64_t x = static_cast<std::int64_t>(caret_.column) * cell;
    const int width = viewport()->width() - 2 * kLeftMargin;
    QScrollBar* bar = horizontalScrollBar();
    // A few cells of what lies ahead stay in view, as editors do.
    if (x < bar->value()) bar->setValue(static_cast<int>(std::max<std::int64_t>(0, x - 8 * cell)));
    else if (x + cell > bar->value() + width)
        bar->setValue(static_cast<int>(std::min<std::int64_t>(x - width + 8 * cell, INT32_MAX)));
}

void TEditorEx::DeleteRow(std::int64_t row) {
    if (row < 0 || row >= LineCount()) return;
    const bool wasLast = row == LineCount() - 1;
    lines_->DeleteRow(row);
    // The caret goes to the start of the row now at that place, or to the end of the
    // previous row when the last one went.
    Position caret{row, 0};
    if (wasLast && row > 0) caret = {row - 1, LineAt(row - 1).size()};
    caret_ = anchor_ = ClampedPosition(caret);
    viewport()->update();
    AfterCaretMoved();
}

void TEditorEx::TakeFocus() { setFocus(Qt::OtherFocusReason); }

bool TEditorEx::HasKeyboardFocus() const {
    // The focus widget of its window, even while a closing dialog still holds the
    // activation: the program gives a view the focus and then moves its caret.
    return hasFocus() || (window() && window()->focusWidget() == this);
}

void TEditorEx::RepaintNow() { viewport()->repaint(); }

TEditorEx::Position TEditorEx::CharacterUnder(QPoint point) const {
    Position position;
    // Rows above the view count too (a drag past the top edge), rounded down.
    const int rowHeight = RowHeight();
    const int rowsDown = point.y() >= 0 ? point.y() / rowHeight : (point.y() - rowHeight + 1) / rowHeight;
    position.line = std::clamp<std::int64_t>(TopRow() + rowsDown, 0, LastCaretRow());
    const std::string_view line = LineAt(position.line);
    const auto cell = static_cast<std::size_t>(ContentX(point) / CellWidth());
    position.column = cell < line.size() ? Sjis::ShownCharStart(line, cell) : line.size();
    return position;
}

int TEditorEx::ContentX(QPoint point) const {
    return std::max(0, point.x() + horizontalScrollBar()->value() - kLeftMargin);
}

TEditorEx::Position TEditorEx::PositionAt(QPoint point) const {
    Position position = CharacterUnder(point);
    const std::string_view line = LineAt(position.line);
    if (position.column == line.size()) return position;
    // The nearer edge of the character under the pointer.
    const std::size_t next = Sjis::NextShownChar(line, position.column);
    const auto middle = static_cast<int>((position.column + next) * static_cast<std::size_t>(CellWidth()) / 2);
    if (ContentX(point) >= middle) position.column = next;
    return position;
}

TEditorEx::Position TEditorEx::CharBefore(Position position) const {
    if (position.column > 0) return {position.line, Sjis::ShownCharStart(LineAt(position.line), position.column - 1)};
    if (position.line > 0) return {position.line - 1, LineAt(position.line - 1).size()};
    return position;
}

TEditorEx::Position TEditorEx::CharAfter(Position position) const {
    const std::string_view line = LineAt(position.line);
    if (position.column < line.size()) return {position.line, Sjis::NextShownChar(line, position.column)};
    if (position.line < LastCaretRow()) return {position.line + 1, 0};
    return position;
}

void TEditorEx::MoveCaret(Position position, bool extendSelection) {
    position = ClampedPosition(position);
    const bool moved = position != caret_;
    const bool hadSelection = anchor_ != caret_;
    caret_ = position;
    if (!extendSelection) anchor_ = position;
    if (moved || hadSelection) history_.Seal();
    viewport()->update();
    if (moved) AfterCaretMoved();
    else RestartCaretBlink();
}

void TEditorEx::Select(Position anchor, Position caret) {
    MoveCaret(anchor, false);
    MoveCaret(caret, true);
}

std::pair<std::size_t, std::size_t> TEditorEx::CaretLineWindow(std::size_t reach) const {
    const std::string_view line = LineAt(caret_.line);
    const std::size_t from = Sjis::ShownCharStart(line, caret_.column > reach ? caret_.column - reach : 0);
    std::size_t to = std::min(line.size(), caret_.column + reach);
    if (to < line.size()) to = Sjis::ShownCharStart(line, to);
    return {from, to};
}

std::string TEditorEx::SelectedText() const {
    const Position from = std::min(anchor_, caret_);
    const Position to = std::max(anchor_, caret_);
    // Whole rows are what such a view shows selected.
    if (wholeRowSelection_ && from != to) return lines_->TextBetween({from.line, 0}, {to.line, LineAt(to.line).size()});
    return lines_->TextBetween(from, to);
}

void TEditorEx::SelectAll() { Select(Position{}, lines_->EndPosition()); }

void TEditorEx::mousePressEvent(QMouseEvent* event) {
    RunGuarded([&] {
        // Text being composed is committed where it stands before the caret moves away.
        if (!preedit_.isEmpty()) {
            QGuiApplication::inputMethod()->commit();
            preedit_.clear();
        }
        if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
        pressed_ = true;
        const Position at = PositionAt(event->position().toPoint());
        wantedColumn_ = at.column;
        MoveCaret(at, event->modifiers() & Qt::ShiftModifier);
    });
}

void TEditorEx::mouseMoveEvent(QMouseEvent* event) {
    RunGuarded([&] {
        if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
        dragPoint_ = event->position().toPoint();
        ExtendDragSelection();
        // Held beyond an edge, the selection goes on growing and the view on scrolling,
        // as in any editor, without the mouse having to move.
        if (viewport()->rect().contains(dragPoint_)) dragScroll_.stop();
        else if (!dragScroll_.isActive()) dragScroll_.start(kDragScrollInterval, this);
    });
}

void TEditorEx::ExtendDragSelection() {
    MoveCaret(PositionAt(dragPoint_), true);
    wantedColumn_ = caret_.column;
    if (!viewport()->rect().contains(dragPoint_)) ScrollToShowCaret();
}

void TEditorEx::mouseReleaseEvent(QMouseEvent* event) {
    RunGuarded([&] {
        if (event->button() != Qt::LeftButton || !pressed_) return QAbstractScrollArea::mouseReleaseEvent(event);
        pressed_ = false;
        dragScroll_.stop();
        emit OnClick();
    });
}

void TEditorEx::RestartCaretBlink() {
    caretVisible_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && !readOnly_ && flash > 0) caretBlink_.start(flash / 2, this);
    else caretBlink_.stop();
}

void TEditorEx::timerEvent(QTimerEvent* event) {
    RunGuarded([&] {
        if (event->timerId() == dragScroll_.timerId()) {
            if (pressed_) ExtendDragSelection();
            else dragScroll_.stop();
            return;
        }
        if (event->timerId() != caretBlink_.timerId()) return QAbstractScrollArea::timerEvent(event);
        caretVisible_ = !caretVisible_;
        viewport()->update(CaretRect().adjusted(-1, 0, 1, 0));
    });
}

void TEditorEx::focusInEvent(QFocusEvent* event) {
    RunGuarded([&] {
        RestartCaretBlink();
        viewport()->update();
        QAbstractScrollArea::focusInEvent(event);
    });
}

void TEditorEx::focusOutEvent(QFocusEvent* event) {
    RunGuarded([&] {
        caretBlink_.stop();
        viewport()->update();
        QAbstractScrollArea::focusOutEvent(event);
    });
}

void TEditorEx::resizeEvent(QResizeEvent* event) {
    RunGuarded([&] {
        QAbstractScrollArea::resizeEvent(event);
        UpdateScrollBars();
    });
}

void TEditorEx::changeEvent(QEvent* event) {
    RunGuarded([&] {
        QAbstractScrollArea::changeEvent(event);
        // A new font (a zoom) brings new cells and rows: the scroll bars measure in them.
        if (event->type() == QEvent::FontChange) {
            UpdateScrollBars();
            viewport()->update();
        }
    });
}
