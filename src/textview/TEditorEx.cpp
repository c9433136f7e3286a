#include "textview/TEditorEx.h"

#include "common/Sjis.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr int kLeftMargin = 2;
// Around the caret, what an input method may read of the line: enough for its
// conversions, and never a whole megabyte line.
constexpr std::size_t kSurroundingBytes = 256;

// Sets a flag for the length of a scope.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

bool IsPrintableAscii(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }

}  // namespace

TEditorEx::TEditorEx(QWidget* parent) : QAbstractScrollArea(parent) {
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
    lines_.AddChangeListener([this](const LinesChange& change) { LinesChanged(change); });
    UpdateScrollBars();
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
        caret_ = ClampedPosition(caret_);
        anchor_ = ClampedPosition(anchor_);
        // Only the changed rows, when no row moved: a key costs one row's painting.
        const int rowHeight = RowHeight();
        const std::int64_t top = std::max<std::int64_t>(change.firstLine - TopRow(), 0);
        const int y = static_cast<int>(std::min<std::int64_t>(top * rowHeight, viewport()->height()));
        const int height = change.linesBefore == change.linesAfter
                               ? static_cast<int>(std::min<std::int64_t>(change.linesAfter, VisibleRowCount() + 1)) *
                                     rowHeight
                               : viewport()->height() - y;
        viewport()->update(QRect(0, y, viewport()->width(), height));
    }
    UpdateScrollBars();
}

std::int64_t TEditorEx::LastCaretRow() const {
    const std::int64_t count = LineCount();
    return std::max<std::int64_t>(0, lines_.EndsWithLineBreak() ? count : count - 1);
}

std::string_view TEditorEx::LineAt(std::int64_t row) const {
    return row >= 0 && row < LineCount() ? lines_.LineView(static_cast<std::size_t>(row)) : std::string_view();
}

TEditorEx::Position TEditorEx::ClampedPosition(Position position) const {
    position.line = std::clamp<std::int64_t>(position.line, 0, LastCaretRow());
    const std::string_view line = LineAt(position.line);
    position.column = std::min(position.column, line.size());
    if (position.column < line.size()) position.column = Sjis::CharStartOf(line, position.column);
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
    // One cell more than the longest line, so the caret after its last character shows.
    const auto textWidth = static_cast<std::int64_t>(lines_.LongestLineBound() + 1) * CellWidth() + 2 * kLeftMargin;
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
    lines_.DeleteRow(row);
    // The caret goes to the start of the row now at that place, or to the end of the
    // previous row when the last one went.
    Position caret{row, 0};
    if (wasLast && row > 0) caret = {row - 1, LineAt(row - 1).size()};
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
    position.line = std::clamp<std::int64_t>(TopRow() + std::max(0, point.y()) / RowHeight(), 0, LastCaretRow());
    const std::string_view line = LineAt(position.line);
    const int x = std::max(0, point.x() + horizontalScrollBar()->value() - kLeftMargin);
    const auto cell = static_cast<std::size_t>(x / CellWidth());
    if (cell >= line.size()) {
        position.column = line.size();
        return position;
    }
    // The nearer edge of the character under the pointer.
    const std::size_t start = Sjis::CharStartOf(line, cell);
    const std::size_t next = Sjis::NextCharPos(line, start);
    const auto middle = static_cast<int>((start + next) * static_cast<std::size_t>(CellWidth()) / 2);
    position.column = x < middle ? start : next;
    return position;
}

void TEditorEx::MoveCaret(Position position, bool extendSelection) {
    position = ClampedPosition(position);
    const bool moved = position != caret_;
    const bool hadSelection = anchor_ != caret_;
    caret_ = position;
    if (!extendSelection) anchor_ = position;
    if (moved || hadSelection) history_.Seal();
    RestartCaretBlink();
    viewport()->update();
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImCursorPosition);
    if (moved) emit OnCaretMoved();
}

void TEditorEx::Select(Position anchor, Position caret) {
    MoveCaret(anchor, false);
    MoveCaret(caret, true);
}

std::string TEditorEx::SelectedText() const {
    return lines_.TextBetween(std::min(anchor_, caret_), std::max(anchor_, caret_));
}

void TEditorEx::SelectAll() { Select(Position{}, lines_.EndPosition()); }

void TEditorEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QAbstractScrollArea::mousePressEvent(event);
    pressed_ = true;
    const Position at = PositionAt(event->position().toPoint());
    wantedColumn_ = at.column;
    MoveCaret(at, event->modifiers() & Qt::ShiftModifier);
}

void TEditorEx::mouseMoveEvent(QMouseEvent* event) {
    if (!pressed_ || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint point = event->position().toPoint();
    MoveCaret(PositionAt(point), true);
    wantedColumn_ = caret_.column;
    if (point.y() < 0 || point.y() >= viewport()->height() || point.x() < 0 || point.x() >= viewport()->width())
        ScrollToShowCaret();
}

void TEditorEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) return QAbstractScrollArea::mouseReleaseEvent(event);
    pressed_ = false;
    emit OnClick();
}

bool TEditorEx::MoveByKey(QKeyEvent* event) {
    const bool control = event->modifiers() & Qt::ControlModifier;
    const std::string_view line = LineAt(caret_.line);
    Position target = caret_;
    bool vertical = false;
    switch (event->key()) {
    case Qt::Key_Up: target = {caret_.line - 1, wantedColumn_}; vertical = true; break;
    case Qt::Key_Down: target = {caret_.line + 1, wantedColumn_}; vertical = true; break;
    case Qt::Key_PageUp:
        target = {caret_.line - VisibleRowCount(), wantedColumn_};
        vertical = true;
        verticalScrollBar()->setValue(verticalScrollBar()->value() - VisibleRowCount());
        break;
    case Qt::Key_PageDown:
        target = {caret_.line + VisibleRowCount(), wantedColumn_};
        vertical = true;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + VisibleRowCount());
        break;
    case Qt::Key_Home: target = control ? Position{} : Position{caret_.line, 0}; break;
    case Qt::Key_End: target = control ? lines_.EndPosition() : Position{caret_.line, line.size()}; break;
    case Qt::Key_Left:
        if (caret_.column > 0) target.column = Sjis::CharStartOf(line, caret_.column - 1);
        else if (caret_.line > 0) target = {caret_.line - 1, SIZE_MAX};
        break;
    case Qt::Key_Right:
        if (caret_.column < line.size()) target.column = Sjis::NextCharPos(line, caret_.column);
        else if (caret_.line < LastCaretRow()) target = {caret_.line + 1, 0};
        break;
    default: return false;
    }
    if (target.line < 0) target = Position{};
    MoveCaret(target, event->modifiers() & Qt::ShiftModifier);
    if (!vertical) wantedColumn_ = caret_.column;
    ScrollToShowCaret();
    return true;
}

bool TEditorEx::EditByKey(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) Undo();
    // Ctrl+Y as well, whatever the desktop binds: the redo key most users reach for.
    else if (event->matches(QKeySequence::Redo) || event->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y))
        Redo();
    else if (event->matches(QKeySequence::Cut)) Cut();
    else if (event->matches(QKeySequence::Paste)) Paste();
    else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) ReplaceSelection("\r\n");
    else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        if (anchor_ == caret_) {
            // Without a selection, the character before or after the caret (a line
            // break counting as one).
            const bool back = event->key() == Qt::Key_Backspace;
            const std::string_view line = LineAt(caret_.line);
            Position other = caret_;
            if (back && caret_.column > 0) other.column = Sjis::CharStartOf(line, caret_.column - 1);
            else if (back && caret_.line > 0) other = {caret_.line - 1, LineAt(caret_.line - 1).size()};
            else if (!back && caret_.column < line.size()) other.column = Sjis::NextCharPos(line, caret_.column);
            else if (!back && caret_ < lines_.EndPosition()) other = {caret_.line + 1, 0};
            if (other == caret_) return true;
            anchor_ = other;
        }
        ReplaceSelection({});
    } else {
        const QString text = event->text();
        const bool command = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
        if (text.isEmpty() || command || !text.at(0).isPrint()) return false;
        InsertInput(text);
    }
    return true;
}

void TEditorEx::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
    } else if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
    } else if (MoveByKey(event)) {
    } else if (readOnly_ && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        emit OnReturnKey();
    } else if (readOnly_ || !EditByKey(event)) {
        return QAbstractScrollArea::keyPressEvent(event);
    }
    event->accept();
}

bool TEditorEx::EncodeInput(const QString& text, std::string& bytes, bool pasted) {
    // A character code page 932 cannot hold would be saved as "?", and a NUL byte
    // would end the text at the next load: both are refused, and the user told which.
    Sjis::Encoded encoded = Sjis::FromQString(text, '\0');
    if (encoded.bytes.find('\0') == std::string::npos) {
        bytes = std::move(encoded.bytes);
        return true;
    }
    QStringList refused;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        if (Sjis::FromQString(one, '\0').bytes.find('\0') == std::string::npos) continue;
        const QString code = QStringLiteral("U+%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0')).toUpper();
        const QString entry = c >= 0x20 ? one + QStringLiteral(" (") + code + QLatin1Char(')') : code;
        if (!refused.contains(entry)) refused << entry;
    }
    RefuseInput(refused, pasted);
    return false;
}

void TEditorEx::RefuseInput(const QStringList& characters, bool pasted) {
    const QString text = (pasted ? QStringLiteral("Shift-JIS で表せない文字を含むため、貼り付けませんでした。\n")
                                 : QStringLiteral("Shift-JIS で表せない文字は入力できません。\n")) +
                         characters.join(QStringLiteral("、"));
    QMessageBox box(QMessageBox::Warning, QStringLiteral("情報"), text, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("RefusedInput"));
    box.exec();
}

void TEditorEx::InsertInput(const QString& text) {
    std::string bytes;
    if (EncodeInput(text, bytes, false)) ReplaceSelection(bytes);
}

void TEditorEx::ReplaceSelection(std::string_view bytes) {
    if (readOnly_) return;
    const Position from = std::min(anchor_, caret_);
    const Position to = std::max(anchor_, caret_);
    if (from == to && bytes.empty()) return;
    TextEdit edit{from, {}, std::string(bytes)};
    Position end;
    {
        const FlagScope editing(editing_);
        edit.removed = lines_.RemoveText(from, to);
        end = lines_.InsertText(from, bytes);
    }
    history_.Record(std::move(edit));
    caret_ = anchor_ = end;  // MoveCaret would end the run of typing
    wantedColumn_ = end.column;
    RestartCaretBlink();
    ScrollToShowCaret();
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImQueryInput);
    emit OnCaretMoved();
}

void TEditorEx::Copy() const {
    if (anchor_ == caret_) return;
    const std::string bytes = SelectedText();
    auto* data = new QMimeData;
    data->setText(Sjis::ToQString(bytes));
    data->setData(BytesMimeType(), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}

void TEditorEx::Cut() {
    if (readOnly_ || anchor_ == caret_) return;
    Copy();
    ReplaceSelection({});
}

void TEditorEx::Paste() {
    if (readOnly_) return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data) return;
    std::string bytes;
    if (data->hasFormat(BytesMimeType())) {
        const QByteArray raw = data->data(BytesMimeType());
        bytes.assign(raw.constData(), static_cast<std::size_t>(raw.size()));
        // Our own bytes, unless another program put a NUL there.
        if (bytes.find('\0') != std::string::npos) return RefuseInput({QStringLiteral("U+0000")}, true);
    } else if (!EncodeInput(data->text(), bytes, true)) {
        return;
    }
    ReplaceSelection(bytes);
    history_.Seal();
}

void TEditorEx::Undo() { ReplayHistory(true); }

void TEditorEx::Redo() { ReplayHistory(false); }

void TEditorEx::ReplayHistory(bool backwards) {
    if (readOnly_) return;
    std::optional<Position> caret;
    {
        const FlagScope editing(editing_);
        caret = backwards ? history_.Undo(lines_) : history_.Redo(lines_);
    }
    if (caret) MoveCaret(*caret, false);
    ScrollToShowCaret();
}

void TEditorEx::inputMethodEvent(QInputMethodEvent* event) {
    if (readOnly_) return event->ignore();
    if (!event->commitString().isEmpty()) InsertInput(event->commitString());
    preedit_ = event->preeditString();
    preeditCursor_ = static_cast<int>(preedit_.size());
    for (const QInputMethodEvent::Attribute& attribute : event->attributes())
        if (attribute.type == QInputMethodEvent::Cursor) preeditCursor_ = attribute.start;
    viewport()->update(QRect(0, static_cast<int>((caret_.line - TopRow()) * RowHeight()), viewport()->width(),
                             RowHeight()));
    event->accept();
}

QVariant TEditorEx::inputMethodQuery(Qt::InputMethodQuery query) const {
    // The input method sees a stretch of the caret's line around the caret.
    const std::string_view line = LineAt(caret_.line);
    const std::size_t from = Sjis::CharStartOf(line, caret_.column > kSurroundingBytes ? caret_.column - kSurroundingBytes : 0);
    std::size_t to = std::min(line.size(), caret_.column + kSurroundingBytes);
    if (to < line.size()) to = Sjis::CharStartOf(line, to);
    const auto unitsBefore = [&](std::size_t column) {
        return static_cast<int>(Sjis::ToQString(line.substr(from, std::clamp(column, from, to) - from)).size());
    };
    switch (query) {
    case Qt::ImEnabled: return !readOnly_;
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImFont: return font();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle: return CaretRect().translated(viewport()->pos());
    case Qt::ImSurroundingText: return Sjis::ToQString(line.substr(from, to - from));
    case Qt::ImCursorPosition: return unitsBefore(caret_.column);
    case Qt::ImAnchorPosition: return anchor_.line == caret_.line ? unitsBefore(anchor_.column) : unitsBefore(caret_.column);
    case Qt::ImCurrentSelection:
        return anchor_.line == caret_.line ? Sjis::ToQString(SelectedText()) : QString();
    default: return QAbstractScrollArea::inputMethodQuery(query);
    }
}

bool TEditorEx::ShowsCaretLine() const {
    // Views that mark the caret row with a band need no caret line besides.
    return HasKeyboardFocus() && !colors_.caretBand.isValid();
}

void TEditorEx::RestartCaretBlink() {
    caretVisible_ = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && !readOnly_ && flash > 0) caretBlink_.start(flash / 2, this);
    else caretBlink_.stop();
}

void TEditorEx::timerEvent(QTimerEvent* event) {
    if (event->timerId() != caretBlink_.timerId()) return QAbstractScrollArea::timerEvent(event);
    caretVisible_ = !caretVisible_;
    viewport()->update(CaretRect().adjusted(-1, 0, 1, 0));
}

void TEditorEx::focusInEvent(QFocusEvent* event) {
    RestartCaretBlink();
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void TEditorEx::focusOutEvent(QFocusEvent* event) {
    caretBlink_.stop();
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void TEditorEx::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

int TEditorEx::XOfColumn(std::size_t column) const {
    const std::int64_t x = static_cast<std::int64_t>(column) * CellWidth() - horizontalScrollBar()->value();
    return kLeftMargin + static_cast<int>(std::clamp<std::int64_t>(x, -INT32_MAX / 4, INT32_MAX / 4));
}

int TEditorEx::PreeditShift(std::int64_t row, std::size_t column) const {
    // What an input method has not committed yet pushes the rest of the caret's row on.
    if (preedit_.isEmpty() || row != caret_.line || column < caret_.column) return 0;
    return fontMetrics().horizontalAdvance(preedit_);
}

QRect TEditorEx::CaretRect() const {
    const int preeditX = preedit_.isEmpty() ? 0 : fontMetrics().horizontalAdvance(preedit_.left(preeditCursor_));
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    return {XOfColumn(caret_.column) + preeditX, static_cast<int>((caret_.line - TopRow()) * RowHeight()), width,
            RowHeight()};
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
    const bool isCaretRow = row == caret_.line && row <= LastCaretRow() && (isLine || lines_.EndsWithLineBreak());

    QColor fill = colors_.background;
    if (isLine && row % 2 == 1 && colors_.alternateRow.isValid()) fill = colors_.alternateRow;
    if (isCaretRow && colors_.caretBand.isValid()) fill = colors_.caretBand;
    painter.fillRect(rowRect, fill);
    if (!isLine && !isCaretRow) return;

    const std::string_view line = LineAt(row);
    const int scrollX = horizontalScrollBar()->value();

    // The selected part of this row, as byte columns; a row inside a many-row
    // selection is selected up to one cell past its end, standing for its line break.
    const Position selectionStart = std::min(anchor_, caret_);
    const Position selectionEnd = std::max(anchor_, caret_);
    std::size_t selectedFrom = 0, selectedTo = 0;
    if (selectionStart != selectionEnd && row >= selectionStart.line && row <= selectionEnd.line) {
        if (wholeRowSelection_) {
            selectedTo = static_cast<std::size_t>((scrollX + width) / cell + 1);
        } else {
            selectedFrom = row == selectionStart.line ? selectionStart.column : 0;
            selectedTo = row == selectionEnd.line ? selectionEnd.column : line.size() + 1;
        }
    }
    const QRect selectedRect(QPoint(XOfColumn(selectedFrom), y), QPoint(XOfColumn(selectedTo) - 1, y + rowHeight - 1));
    if (selectedTo > selectedFrom) painter.fillRect(selectedRect, colors_.selectionBackground);

    // Only the visible bytes are decoded and drawn, so a line of a megabyte costs
    // no more than a short one.
    const auto firstByte = static_cast<std::size_t>(std::max(0, scrollX - kLeftMargin) / cell);
    if (firstByte < line.size()) {
        const std::size_t begin = Sjis::CharStartOf(line, firstByte);
        std::size_t end = std::min(line.size(), begin + static_cast<std::size_t>(width / cell) + 4);
        if (end < line.size()) end = Sjis::NextCharPos(line, Sjis::CharStartOf(line, end));
        painter.setPen(colors_.text);
        if (selectedTo > selectedFrom) painter.setClipRegion(QRegion(rowRect).subtracted(selectedRect));
        DrawCells(painter, row, line, begin, end, y);
        if (selectedTo > selectedFrom) {
            painter.setClipRect(selectedRect);
            painter.setPen(colors_.selectionText);
            DrawCells(painter, row, line, begin, end, y);
        }
        painter.setClipping(false);
    }

    if (isCaretRow && !preedit_.isEmpty()) {
        // The input method's text at the caret, underlined as input methods expect.
        const int x = XOfColumn(caret_.column);
        const int preeditWidth = fontMetrics().horizontalAdvance(preedit_);
        painter.fillRect(QRect(x, y, preeditWidth, rowHeight), colors_.background);
        painter.setPen(colors_.text);
        painter.drawText(x, y + fontMetrics().ascent(), preedit_);
        painter.drawLine(x, y + rowHeight - 1, x + preeditWidth - 1, y + rowHeight - 1);
    }
    if (isCaretRow && ShowsCaretLine() && caretVisible_) painter.fillRect(CaretRect(), colors_.text);
}

void TEditorEx::DrawCells(QPainter& painter, std::int64_t row, std::string_view line, std::size_t begin,
                          std::size_t end, int y) const {
    // Runs of plain ASCII go out in one call (their glyphs are one cell wide in the
    // fixed-pitch font); every other character is put on its own cells, squeezed when
    // its glyph is wider, so a wide replacement character cannot push the rest out of
    // step with the caret and the selection.
    const int baseline = y + fontMetrics().ascent();
    const int cell = CellWidth();
    const auto xOf = [&](std::size_t column) { return XOfColumn(column) + PreeditShift(row, column); };
    QString run;
    std::size_t runStart = begin;
    const auto flush = [&] {
        if (!run.isEmpty()) painter.drawText(xOf(runStart), baseline, run);
        run.clear();
    };
    for (std::size_t pos = begin; pos < end;) {
        const auto byte = static_cast<unsigned char>(line[pos]);
        // A run stops at the caret while an input method's text is pushing the rest on.
        const bool splitsHere = !preedit_.isEmpty() && row == caret_.line && pos == caret_.column;
        if (IsPrintableAscii(byte)) {
            if (splitsHere) flush();
            if (run.isEmpty()) runStart = pos;
            run += QLatin1Char(static_cast<char>(byte));
            ++pos;
            continue;
        }
        flush();
        const Sjis::DecodedChar decoded = Sjis::DecodeAt(line, pos);
        if (decoded.unit >= 0x20 && decoded.unit != 0x7F) {  // control characters take a blank cell
            const QString glyph(QChar(decoded.unit));
            const int room = static_cast<int>(decoded.length) * cell;
            const int advance = fontMetrics().horizontalAdvance(glyph);
            if (advance > room) {
                painter.save();
                painter.translate(xOf(pos), baseline);
                painter.scale(static_cast<double>(room) / advance, 1.0);
                painter.drawText(0, 0, glyph);
                painter.restore();
            } else {
                painter.drawText(xOf(pos), baseline, glyph);
            }
        }
        pos += decoded.length;
    }
    flush();
}
