#pragma once
// The text view control of the main window's three views: a multi-line view over
// TextLines that stays instant with a million lines, and an editor when it is not
// read-only.
//
// It paints only the rows inside the dirty rectangle and decodes only those rows'
// visible bytes; nothing ever turns the whole text into a QString. A row that has not
// changed since it was last drawn is copied, not drawn again. Word wrap is off,
// so a row is a line. Positions are (row, byte column) on a grid of cells: a
// single-byte character takes one cell and a double-byte character two, so the cell
// of a byte is its column, and every character is drawn on its own cells whatever
// its glyph's width (an invalid byte's replacement character included). The caret
// steps over the characters as they are drawn, so it never stands inside a
// double-byte character, and never hides a byte inside what looks like another.
//
// The view shows lines it does not own, as an editor's view shows its document:
// several views may show the same lines, each with its own caret, selection, scroll
// and undo history, and every change of the lines reaches each of them. The lines
// must outlive every view attached to them. A view given none shows lines of its own.

#include "textmodel/EditHistory.h"
#include "textmodel/TextLines.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QStringList>

#include <cstdint>
#include <memory>
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

    using Position = TextPosition;  // line is the row: no word wrap

    // Shows lines of its own, until AttachLines gives it others.
    explicit TEditorEx(QWidget* parent = nullptr);
    // Shows `lines`, which must outlive the view.
    explicit TEditorEx(TextLines& lines, QWidget* parent = nullptr);
    ~TEditorEx() override;

    // Shows `lines` from now on, as it would a whole new text: caret, selection,
    // scroll and undo history start afresh. `lines` must outlive the view; the lines
    // shown before are left as they are, except the view's own, which go.
    void AttachLines(TextLines& lines);
    // Lets go of the lines it was given, before they go, and shows lines of its own:
    // empty, as after a whole new text.
    void DetachLines();
    // The lines shown.
    TextLines& Lines() { return *lines_; }
    const TextLines& Lines() const { return *lines_; }

    // The text operations the program uses; each keeps the view in step.
    void SetWholeText(std::string text) { lines_->SetWholeText(std::move(text)); }
    std::string WholeText() const { return lines_->WholeText(); }
    std::string Line(std::int64_t index) const { return lines_->Line(index); }
    std::int64_t LineCount() const { return static_cast<std::int64_t>(lines_->LineCount()); }
    void ReplaceLine(std::int64_t index, std::string_view text) { lines_->ReplaceLine(index, text); }
    void AppendLine(std::string_view text) { lines_->AppendLine(text); }
    void ClearLines() { lines_->ClearLines(); }
    void DeleteRow(std::int64_t row);
    void SaveLinesToFile(const std::string& path) const { lines_->SaveLinesToFile(path); }
    bool Modified() const { return lines_->Modified(); }
    void SetModified(bool modified) { lines_->SetModified(modified); }

    std::int64_t CaretRow() const { return caret_.line; }
    Position CaretPosition() const { return caret_; }
    // Moves the caret to row r, clamped; scrolls by the least amount only when the view
    // has the focus; does nothing when the caret is on row r already.
    void SetCaretRow(std::int64_t row);
    // Scrolls by the least amount that brings the caret's row into view: for a caret
    // moved while the view was hidden or without the focus.
    void ShowCaretRow() { ScrollToShowRow(caret_.line); }
    std::int64_t SelectionStartRow() const { return std::min(anchor_, caret_).line; }
    // The selected bytes, line breaks as CR LF.
    std::string SelectedText() const;
    // Selects from `anchor` to `caret` (each clamped to a character boundary).
    void Select(Position anchor, Position caret);

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);

    void TakeFocus();
    bool HasKeyboardFocus() const;
    void RepaintNow();

    void SetViewColors(const ViewColors& colors);
    // Selections cover whole rows (the index views), not characters.
    void SetWholeRowSelection(bool wholeRows) { wholeRowSelection_ = wholeRows; }

    // The editing commands, also behind their usual keys.
    void Cut();
    void Copy() const;
    void Paste();
    void Undo();
    void Redo();
    void SelectAll();

    std::int64_t TopRow() const;
    int RowHeight() const;
    int CellWidth() const;
    int VisibleRowCount() const;  // rows that fit whole
    // The last row the caret may stand on: the empty place after the last line only
    // when the text ends with a line break.
    std::int64_t LastCaretRow() const;
    // Where a character's cells start, in viewport pixels.
    QRect CaretRect() const;

    // The MIME type that carries the bytes themselves, so a copy and paste inside the
    // program keeps bytes that have no Unicode form.
    static QString BytesMimeType();

    // What an input method reads: the caret's place and the text around it.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

signals:
    void OnClick();        // a mouse click, after the caret moved to the clicked row
    void OnCaretMoved();   // whenever the caret moves
    void OnReturnKey();    // Return or Enter in a read-only view, on the caret row

protected:
    // Each handler reports its own errors (common/ErrorBoundary.h): none leaves it.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    TEditorEx(QWidget* parent, TextLines* lines);  // lines of its own when null
    int ListenTo(TextLines& lines);
    void LinesChanged(const LinesChange& change);
    QVariant InputMethodAnswer(Qt::InputMethodQuery query) const;
    void UpdateScrollBars();
    // Repaints `count` rows from `firstRow` (all the rest when count is negative).
    void UpdateRows(std::int64_t firstRow, std::int64_t count);
    // The caret's place nearest a point of the viewport, and the character under it.
    Position PositionAt(QPoint viewportPoint) const;
    Position CharacterUnder(QPoint viewportPoint) const;
    int ContentX(QPoint viewportPoint) const;  // pixels from the first cell, scrolled
    // The character before or after a place, a line break counting as one; the same
    // place at either end of the text.
    Position CharBefore(Position position) const;
    Position CharAfter(Position position) const;
    // What follows every move of the caret: its blink, the input method, assistive
    // technology and OnCaretMoved.
    void AfterCaretMoved();
    Position ClampedPosition(Position position) const;
    std::string_view LineAt(std::int64_t row) const;
    void MoveCaret(Position position, bool extendSelection);
    // Moves the caret to where the mouse is held, the selection's anchor staying.
    void ExtendDragSelection();
    void ScrollToShowRow(std::int64_t row);
    void ScrollToShowCaret();
    bool MoveByKey(QKeyEvent* event);
    bool EditByKey(QKeyEvent* event);
    // Replaces the selection with `bytes` as one step of the user's editing.
    // Whether the edit may join the next one in the undo history: a selection replaced
    // is a step of its own, a character taken by Backspace or Delete goes on a run.
    enum class EditRun { Ends, GoesOn };
    void ReplaceSelection(std::string_view bytes, EditRun run = EditRun::Ends);
    // Encodes what the user typed or pasted; false, after saying why, when code page
    // 932 has no bytes for some of it.
    bool EncodeInput(const QString& text, std::string& bytes, bool pasted);
    void RefuseInput(const QStringList& characters, bool pasted);
    void InsertInput(const QString& text);
    void ReplayHistory(bool backwards);
    // Characters as drawn (one UTF-16 unit each) between two columns, and the column
    // `count` of them after `from`: how input methods and screen readers count.
    static std::size_t CharsBetween(std::string_view line, std::size_t from, std::size_t to);
    // The columns of the caret's line within `reach` bytes of the caret, on character
    // boundaries: what an input method or a screen reader is given of a long line.
    std::pair<std::size_t, std::size_t> CaretLineWindow(std::size_t reach) const;
    static std::size_t ColumnAfterChars(std::string_view line, std::size_t from, std::size_t count);
    // What the painting keeps for the view's font: the cell and row sizes, each
    // character's glyph, the rows as last drawn. Made again whenever the font changes,
    // so every size the view uses follows a new font.
    struct CellCache;
    struct CellCacheDeleter {
        void operator()(CellCache* cache) const;
    };
    CellCache& Cells() const;
    struct RowLook;  // what a row's pixels are drawn from
    RowLook LookOfRow(std::int64_t row) const;
    void PaintRow(class QPainter& painter, std::int64_t row, int y) const;
    void DrawRow(QPainter& painter, std::int64_t row, const RowLook& look, int y) const;
    void DrawCells(QPainter& painter, std::int64_t row, std::string_view line, std::size_t begin, std::size_t end,
                   int y) const;
    int XOfColumn(std::size_t column) const;  // the left edge of a column's cell, in the viewport
    int YOfRow(std::int64_t row) const;       // the top edge of a row, in the viewport
    int PreeditShift(std::int64_t row, std::size_t column) const;
    void RestartCaretBlink();
    bool ShowsCaretLine() const;

    static constexpr int kLeftMargin = 2;  // pixels before the first cell

    friend class TEditorExAccessible;

    std::unique_ptr<TextLines> ownLines_;  // until other lines are attached
    TextLines* lines_;                     // never null
    int linesListener_ = 0;                // this view's change listener on *lines_
    EditHistory history_;
    ViewColors colors_;
    Position caret_;
    Position anchor_;               // the other end of the selection; equal to caret_ when none
    std::size_t wantedColumn_ = 0;  // the column Up and Down keep to, across shorter lines
    bool readOnly_ = true;
    bool wholeRowSelection_ = false;
    bool pressed_ = false;          // a mouse button went down inside this view
    bool editing_ = false;          // the lines are changing by this view's own editing
    QString preedit_;               // an input method's text not yet committed, drawn at the caret
    int preeditCursor_ = 0;         // the input method's cursor in preedit_
    QBasicTimer caretBlink_;
    QBasicTimer dragScroll_;        // ticks while the mouse is held beyond an edge
    QPoint dragPoint_;              // where the mouse is held, in the viewport
    static constexpr int kDragScrollInterval = 50;  // milliseconds
    bool caretVisible_ = true;
    mutable std::unique_ptr<CellCache, CellCacheDeleter> cells_;  // for font(); made when first needed
};
