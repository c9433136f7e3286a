#include "textview/TEditorEx.h"

#include "common/Sjis.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int kLeftMargin = 2;

}  // namespace

TEditorEx::TEditorEx(QWidget* parent) : QAbstractScrollArea(parent) {
    QFont font(QStringLiteral("FixedSys"));
    font.setPixelSize(12);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    colors_.background = Qt::white;
    lines_.AddChangeListener([this](LinesChange change) { LinesChanged(change); });
    UpdateScrollBars();
}

void TEditorEx::LinesChanged(LinesChange change) {
    if (change == LinesChange::WholeText) {
        caret_ = anchor_ = Position{};
        verticalScrollBar()->setValue(0);
        horizontalScrollBar()->setValue(0);
    } else {
        caret_ = ClampedPosition(caret_);
        anchor_ = ClampedPosition(anchor_);
    }
    UpdateScrollBars();
    viewport()->update();
}

std::int64_t TEditorEx::LastCaretRow() const {
    const std::int64_t count = LineCount();
    return std::max<std::int64_t>(0, lines_.EndsWithLineBreak() ? count : count - 1);
}

TEditorEx::Position TEditorEx::ClampedPosition(Position position) const {
    position.row = std::clamp<std::int64_t>(position.row, 0, LastCaretRow());
    const std::size_t length =
        position.row < LineCount() ? lines_.LineView(static_cast<std::size_t>(position.row)).size() : 0;
    position.column = std::min(position.column, length);
    if (position.row < LineCount()) {
        const std::string_view line = lines_.LineView(static_cast<std::size_t>(position.row));
        if (position.column < line.size()) position.column = Sjis::CharStartOf(line, position.column);
    }
    return position;
}

int TEditorEx::RowHeight() const { return std::max(1, fontMetrics().height()); }

int TEditorEx::CellWidth() const { return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('x'))); }

std::int64_t TEditorEx::TopRow() const { return verticalScrollBar()->value(); }

int TEditorEx::VisibleRowCount() const { return std::max(1, viewport()->height() / RowHeight()); }

void TEditorEx::UpdateScrollBars() {
    const std::int64_t rows = LastCaretRow() + 1;
    const int visible = VisibleRowCount();
    verticalScrollBar()->setRange(0, static_cast<int>(std::max<std::int64_t>(0, rows - visible)));
    verticalScrollBar()->setPageStep(visible);
    const auto textWidth = static_cast<std::int64_t>(lines_.LongestLineBound()) * CellWidth() + 2 * kLeftMargin;
    horizontalScrollBar()->setRange(
        0, static_cast<int>(std::clamp<std::int64_t>(textWidth - viewport()->width(), 0, INT32_MAX)));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(CellWidth() * 4);
}

void TEditorEx::SetViewColors(const ViewColors& colors) {
    colors_ = colors;
    viewport()->update();
}

void TEditorEx::SetCaretRow(std::int64_t row) {
    const std::int64_t target = std::clamp<std::int64_t>(row, 0, LastCaretRow());
    if (target == caret_.row) return;
    caret_ = anchor_ = Position{target, 0};
    if (HasKeyboardFocus()) ScrollToShowRow(target);
    viewport()->update();
    emit OnCaretMoved();
}

void TEditorEx::ScrollToShowRow(std::int64_t row) {
    const std::int64_t top = TopRow();
    const int visible = VisibleRowCount();
    if (row < top) verticalScrollBar()->setValue(static_cast<int>(row));
    else if (row >= top + visible) verticalScrollBar()->setValue(static_cast<int>(row - visible + 1));
}

void TEditorEx::DeleteRow(std::int64_t row) {
    if (row < 0 || row >= LineCount()) return;
    const bool wasLast = row == LineCount() - 1;
    lines_.DeleteRow(row);
    // The caret goes to the start of the row now at that place, or to the end of the
    // previous row when the last one went.
    Position caret{row, 0};
    if (wasLast && row > 0) caret = {row - 1, lines_.LineView(static_cast<std::size_t>(row - 1)).size()};
    caret_ = anchor_ = ClampedPosition(caret);
    viewport()->update();
    emit OnCaretMoved();
}

void TEditorEx::TakeFocus() { setFocus(Qt::OtherFocusReason); }

bool TEditorEx::HasKeyboardFocus() const {
    // The focus widget of its window, even while a closing dialog still holds the
    // activation: the program gives a view the focus and then moves its caret.
    return hasFocus() || (window() && window()->focusWidget() == this);
}

void TEditorEx::RepaintNow() { viewport()->repaint(); }

TEditorEx::Position TEditorEx::PositionAt(QPoint point) const {
    Position position;
    position.row = TopRow() + std::max(0, point.y()) / RowHeight();
    const int x = point.x() + horizontalScrollBar()->value() - kLeftMargin;
    position.column = static_cast<std::size_t>(std::max(0, (x + CellWidth() / 2) / CellWidth()));
    return ClampedPosition(position);
}

void TEditorEx::MoveCaret(Position position, bool extendSelection) {
    position = ClampedPosition(position);
    const bool moved = position != caret_;
    caret_ = position;
    if (!extendSelection) anchor_ = position;
    viewport()->update();
    if (moved) emit OnCaretMoved();
}

void TEditorEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    pressed_ = true;
    MoveCaret(PositionAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void TEditorEx::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint point = event->position().toPoint();
    MoveCaret(PositionAt(point), true);
    if (point.y() < 0 || point.y() >= viewport()->height()) ScrollToShowRow(caret_.row);
}

void TEditorEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return QAbstractScrollArea::mouseReleaseEvent(event);
    pressed_ = false;
    emit OnClick();
}

void TEditorEx::keyPressEvent(QKeyEvent* event) {
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    Position target = caret_;
    const std::string_view line = caret_.row < LineCount()
                                      ? lines_.LineView(static_cast<std::size_t>(caret_.row))
                                      : std::string_view();
    switch (event->key()) {
    case Qt::Key_Up: target.row -= 1; break;
    case Qt::Key_Down: target.row += 1; break;
    case Qt::Key_PageUp:
        target.row -= VisibleRowCount();
        verticalScrollBar()->setValue(verticalScrollBar()->value() - VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        target.row += VisibleRowCount();
        verticalScrollBar()->setValue(verticalScrollBar()->value() + VisibleRowCount());
        break;
    case Qt::Key_Home: target = control ? Position{} : Position{caret_.row, 0}; break;
    case Qt::Key_End:
        target = control ? Position{LastCaretRow(), SIZE_MAX} : Position{caret_.row, line.size()};
        break;
    case Qt::Key_Left:
        if (caret_.column > 0) target.column = Sjis::CharStartOf(line, caret_.column - 1);
        else if (caret_.row > 0) target = {caret_.row - 1, SIZE_MAX};
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!readOnly_) return QAbstractScrollArea::keyPressEvent(event);
        event->accept();
        emit OnReturnKey();
        return;
    case Qt::Key_Right:
        if (caret_.column < line.size()) target.column = Sjis::NextCharPos(line, caret_.column);
        else if (caret_.row < LastCaretRow()) target = {caret_.row + 1, 0};
        break;
    default: return QAbstractScrollArea::keyPressEvent(event);
    }
    MoveCaret(target, extend);
    ScrollToShowRow(caret_.row);
    event->accept();
}

void TEditorEx::focusInEvent(QFocusEvent* event) {
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void TEditorEx::focusOutEvent(QFocusEvent* event) {
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void TEditorEx::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TEditorEx::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.setFont(font());
    const QRect dirty = event->rect();
    const int rowHeight = RowHeight();
    const std::int64_t top = TopRow();
    const int firstVisible = std::max(0, dirty.top() / rowHeight);
    const int lastVisible = dirty.bottom() / rowHeight;
    for (int visibleRow = firstVisible; visibleRow <= lastVisible; ++visibleRow)
        PaintRow(painter, top + visibleRow, visibleRow * rowHeight);
}

void TEditorEx::PaintRow(QPainter& painter, std::int64_t row, int y) const {
    const int rowHeight = RowHeight();
    const int cell = CellWidth();
    const int width = viewport()->width();
    const QRect rowRect(0, y, width, rowHeight);
    const bool isLine = row < LineCount();
    const bool isCaretRow = row == caret_.row && row <= LastCaretRow() && (isLine || lines_.EndsWithLineBreak());

    QColor fill = colors_.background;
    if (isLine && row % 2 == 1 && colors_.alternateRow.isValid()) fill = colors_.alternateRow;
    if (isCaretRow && colors_.caretBand.isValid()) fill = colors_.caretBand;
    painter.fillRect(rowRect, fill);
    if (!isLine && !isCaretRow) return;

    const std::string_view line = isLine ? lines_.LineView(static_cast<std::size_t>(row)) : std::string_view();
    const int scrollX = horizontalScrollBar()->value();
    const auto xOf = [&](std::size_t column) {
        return kLeftMargin + static_cast<int>(std::min<std::int64_t>(
                                 static_cast<std::int64_t>(column) * cell - scrollX, INT32_MAX / 2));
    };

    // The selected part of this row, as byte columns; a row inside a many-row
    // selection is selected up to one cell past its end, standing for its line break.
    const Position selectionStart = std::min(anchor_, caret_);
    const Position selectionEnd = std::max(anchor_, caret_);
    std::size_t selectedFrom = 0, selectedTo = 0;
    if (selectionStart != selectionEnd && row >= selectionStart.row && row <= selectionEnd.row) {
        if (wholeRowSelection_) {
            selectedTo = static_cast<std::size_t>((scrollX + width) / cell + 1);
        } else {
            selectedFrom = row == selectionStart.row ? selectionStart.column : 0;
            selectedTo = row == selectionEnd.row ? selectionEnd.column : line.size() + 1;
        }
    }
    const QRect selectedRect(QPoint(xOf(selectedFrom), y), QPoint(xOf(selectedTo) - 1, y + rowHeight - 1));
    if (selectedTo > selectedFrom) painter.fillRect(selectedRect, colors_.selectionBackground);

    // Only the visible bytes are decoded and drawn, so a line of a megabyte costs
    // no more than a short one.
    const auto firstByte = static_cast<std::size_t>(std::max(0, scrollX - kLeftMargin) / cell);
    if (firstByte < line.size()) {
        const std::size_t begin = Sjis::CharStartOf(line, firstByte);
        std::size_t end = std::min(line.size(), begin + static_cast<std::size_t>(width / cell) + 4);
        if (end < line.size()) end = Sjis::NextCharPos(line, Sjis::CharStartOf(line, end));
        const QString text = Sjis::ToQString(line.substr(begin, end - begin));
        const int baseline = y + fontMetrics().ascent();
        painter.setPen(colors_.text);
        if (selectedTo > selectedFrom) painter.setClipRegion(QRegion(rowRect).subtracted(selectedRect));
        painter.drawText(xOf(begin), baseline, text);
        if (selectedTo > selectedFrom) {
            painter.setClipRect(selectedRect);
            painter.setPen(colors_.selectionText);
            painter.drawText(xOf(begin), baseline, text);
        }
        painter.setClipping(false);
    }

    // Views that mark the caret row with a band need no caret line besides.
    if (isCaretRow && HasKeyboardFocus() && !colors_.caretBand.isValid()) {
        painter.fillRect(QRect(xOf(caret_.column), y, 2, rowHeight), colors_.text);
    }
}
