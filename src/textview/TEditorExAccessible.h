#pragma once
// What a screen reader is given of a text view: the caret's line, its caret and its
// selection, counted in characters as they are drawn. A line can be a megabyte, so
// only a stretch around the caret is offered, as to an input method.

#include <QAccessibleWidget>

class TEditorEx;

class TEditorExAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TEditorExAccessible(TEditorEx* view);

    // Makes every TEditorEx answer through this class; called once by the first view.
    static void Install();
    // Tells assistive technology that the caret moved or the text around it changed.
    static void CaretMoved(TEditorEx* view);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(QAccessible::Text kind) const override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    TEditorEx* View() const;
    std::size_t ColumnOf(int offset) const;  // the caret line's column at a character offset
    int OffsetOf(std::size_t column) const;
};
