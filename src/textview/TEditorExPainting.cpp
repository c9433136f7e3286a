// Painting: only the rows in the dirty rectangle, every character on its own cells.
#include "textview/TEditorEx.h"

#include "common/ErrorBoundary.h"
#include "common/Sjis.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

bool IsPrintableAscii(unsigned char byte) { return byte >= 0x20 && byte < 0x7F; }

}  // namespace

bool TEditorEx::ShowsCaretLine() const {
    // Views that mark the caret row with a band need no caret line besides.
    return HasKeyboardFocus() && !colors_.caretBand.isValid();
}

int TEditorEx::XOfColumn(std::size_t column) const {
    const std::int64_t x = static_cast<std::int64_t>(column) * CellWidth() - horizontalScrollBar()->value();
    return kLeftMargin + static_cast<int>(std::clamp<std::int64_t>(x, -INT32_MAX / 4, INT32_MAX / 4));
}

int TEditorEx::YOfRow(std::int64_t row) const {
    return static_cast<int>(std::clamp<std::int64_t>((row - TopRow()) * RowHeight(), -INT32_MAX / 4, INT32_MAX / 4));
}

int TEditorEx::PreeditShift(std::int64_t row, std::size_t column) const {
    // What an input method has not committed yet pushes the rest of the caret's row on.
    if (preedit_.isEmpty() || row != caret_.line || column < caret_.column) return 0;
    return fontMetrics().horizontalAdvance(preedit_);
}

QRect TEditorEx::CaretRect() const {
    const int preeditX = preedit_.isEmpty() ? 0 : fontMetrics().horizontalAdvance(preedit_.left(preeditCursor_));
    const int width = std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
    return {XOfColumn(caret_.column) + preeditX, YOfRow(caret_.line), width, RowHeight()};
}

void TEditorEx::paintEvent(QPaintEvent* event) {
    RunGuarded([&] {
        QPainter painter(viewport());
        painter.setFont(font());
        const QRect dirty = event->rect();
        const int rowHeight = RowHeight();
        const std::int64_t top = TopRow();
        const int firstVisible = std::max(0, dirty.top() / rowHeight);
        const int lastVisible = dirty.bottom() / rowHeight;
        for (int visibleRow = firstVisible; visibleRow <= lastVisible; ++visibleRow)
            PaintRow(painter, top + visibleRow, visibleRow * rowHeight);
    });
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
        const std::size_t begin = Sjis::ShownCharStart(line, firstByte);
        std::size_t end = std::min(line.size(), begin + static_cast<std::size_t>(width / cell) + 4);
        if (end < line.size()) end = Sjis::NextShownChar(line, Sjis::ShownCharStart(line, end));
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
