#pragma once
// The text view control of the main window's three views: a read-only (for now)
// multi-line view over TextLines that stays instant with a million lines.
//
// It paints only the rows inside the dirty rectangle and decodes only those rows'
// visible bytes; nothing ever turns the whole text into a QString. Word wrap is off,
// so a row is a line. Positions are (row, byte column): with a fixed-pitch font a
// double-byte character is two cells wide and a single-byte one, one cell, so the
// cell of a byte is its column. The caret, the selection anchor and the keyboard
// and mouse handling are the ones an editor needs, so editing fits in later.

#include "textview/TextLines.h"

#include <QAbstractScrollArea>
#include <QColor>

#include <cstdint>
#include <string>

class TEditorEx : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct ViewColors {
        QColor background;
        QColor alternateRow;         // rows 1, 3, 5, ...
        QColor caretBand;            // over the caret row; invalid: no band
        QColor selectionText;
        QColor selectionBackground;
        QColor text = Qt::black;
    };

    struct Position {
        std::int64_t row = 0;
        std::size_t column = 0;  // zero-based byte index in the row's line
        auto operator<=>(const Position&) const = default;
    };

    explicit TEditorEx(QWidget* parent = nullptr);

    TextLines& Lines() { return lines_; }
    const TextLines& Lines() const { return lines_; }

    // The text operations the program uses; each keeps the view in step.
    void SetWholeText(std::string text) { lines_.SetWholeText(std::move(text)); }
    std::string WholeText() const { return lines_.WholeText(); }
    std::string Line(std::int64_t index) const { return lines_.Line(index); }
    std::int64_t LineCount() const { return static_cast<std::int64_t>(lines_.LineCount()); }
    void ReplaceLine(std::int64_t index, std::string_view text) { lines_.ReplaceLine(index, text); }
    void AppendLine(std::string_view text) { lines_.AppendLine(text); }
    void ClearLines() { lines_.ClearLines(); }
    void DeleteRow(std::int64_t row);
    void SaveLinesToFile(const std::string& path) const { lines_.SaveLinesToFile(path); }
    bool Modified() const { return lines_.Modified(); }
    void SetModified(bool modified) { lines_.SetModified(modified); }

    std::int64_t CaretRow() const { return caret_.row; }
    // Moves the caret to row r, clamped; scrolls by the least amount only when the view
    // has the focus; does nothing when the caret is on row r already.
    void SetCaretRow(std::int64_t row);
    std::int64_t SelectionStartRow() const { return std::min(anchor_, caret_).row; }
    std::int64_t RowOfLine(std::int64_t line) const { return line; }  // no word wrap
    std::int64_t LineOfRow(std::int64_t row) const { return row; }

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

    // Kept for the search; no marks are drawn for it.
    void SetFindString(std::string findString) { findString_ = std::move(findString); }
    const std::string& FindString() const { return findString_; }

    void TakeFocus();
    bool HasKeyboardFocus() const;
    void RepaintNow();

    void SetViewColors(const ViewColors& colors);
    // Selections cover whole rows (the index views), not characters.
    void SetWholeRowSelection(bool wholeRows) { wholeRowSelection_ = wholeRows; }

    std::int64_t TopRow() const;
    int RowHeight() const;
    int VisibleRowCount() const;  // rows that fit whole
    // The last row the caret may stand on: the empty place after the last line only
    // when the text ends with a line break.
    std::int64_t LastCaretRow() const;

signals:
    void OnClick();        // a mouse click, after the caret moved to the clicked row
    void OnCaretMoved();   // whenever the caret moves
    void OnReturnKey();    // Return or Enter in a read-only view, on the caret row

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void LinesChanged(LinesChange change);
    void UpdateScrollBars();
    int CellWidth() const;
    Position PositionAt(QPoint viewportPoint) const;
    Position ClampedPosition(Position position) const;
    void MoveCaret(Position position, bool extendSelection);
    void ScrollToShowRow(std::int64_t row);
    void PaintRow(class QPainter& painter, std::int64_t row, int y) const;

    TextLines lines_;
    ViewColors colors_;
    Position caret_;
    Position anchor_;               // the other end of the selection; equal to caret_ when none
    bool readOnly_ = true;
    bool wholeRowSelection_ = false;
    bool pressed_ = false;          // a mouse button went down inside this view
    std::string findString_;
};
