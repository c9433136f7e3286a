#pragma once
// Undo and redo for the user's editing of a text view, with no GUI type in it.
//
// Each edit is kept as the bytes it removed and the bytes it put in their place, at
// one position; a run of typing, of Backspace or of Delete joins into one edit, so an
// undo takes back what a user thinks of as one step. Edits made by other means (a
// new text, a repair) clear the history: its positions would no longer fit.

#include "textmodel/TextLines.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

struct TextEdit {
    TextPosition at;        // where the bytes were removed and the new ones put
    std::string removed;    // line breaks as CR LF
    std::string inserted;
};

class EditHistory {
public:
    // An edit just made. It joins the one before when it goes on with the same run.
    void Record(TextEdit edit);
    // Ends the current run: the next edit starts a step of its own (the caret moved).
    void Seal() noexcept { sealed_ = true; }
    void Clear() noexcept;

    bool CanUndo() const noexcept { return !done_.empty(); }
    bool CanRedo() const noexcept { return !undone_.empty(); }

    // Undoes or redoes the last step on `lines`; the result is where the caret goes.
    std::optional<TextPosition> Undo(TextLines& lines);
    std::optional<TextPosition> Redo(TextLines& lines);

    // Bytes kept for undoing; the oldest steps go when it passes a limit.
    std::size_t KeptBytes() const noexcept { return keptBytes_; }

private:
    bool JoinsLast(const TextEdit& edit) const noexcept;
    void Keep(std::deque<TextEdit>& steps, TextEdit edit);
    // Takes the last step of `from` back (backwards) or does it again, and keeps it in `to`.
    std::optional<TextPosition> Replay(TextLines& lines, std::deque<TextEdit>& from, std::deque<TextEdit>& to,
                                       bool backwards);

    std::deque<TextEdit> done_;     // oldest first
    std::deque<TextEdit> undone_;   // the last undone at the back
    std::size_t keptBytes_ = 0;     // removed and inserted bytes of done_ and undone_
    bool sealed_ = true;
};
