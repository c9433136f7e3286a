#include "textmodel/EditHistory.h"

#include <utility>

namespace {

// A paste of a few hundred megabytes should not be kept twice forever.
constexpr std::size_t kKeptBytesLimit = 64u << 20;

bool HasLineBreak(std::string_view text) noexcept { return text.find_first_of("\r\n") != std::string_view::npos; }

std::size_t SizeOf(const TextEdit& edit) noexcept { return edit.removed.size() + edit.inserted.size(); }

}  // namespace

bool EditHistory::JoinsLast(const TextEdit& edit) const noexcept {
    if (sealed_ || done_.empty()) return false;
    const TextEdit& last = done_.back();
    const bool typing = edit.removed.empty() && !edit.inserted.empty() && !HasLineBreak(edit.inserted);
    if (typing) return !HasLineBreak(last.inserted) && !last.inserted.empty() &&
                       edit.at == EndAfter(last.at, last.inserted);
    const bool deleting = edit.inserted.empty() && last.inserted.empty() && !last.removed.empty();
    if (!deleting) return false;
    return edit.at == last.at || EndAfter(edit.at, edit.removed) == last.at;
}

void EditHistory::Record(TextEdit edit) {
    for (const TextEdit& step : undone_) keptBytes_ -= SizeOf(step);
    undone_.clear();
    if (JoinsLast(edit)) {
        TextEdit& last = done_.back();
        keptBytes_ += SizeOf(edit);
        if (!edit.inserted.empty()) {
            last.inserted += edit.inserted;
        } else if (edit.at == last.at) {  // Delete: the bytes after the ones before
            last.removed += edit.removed;
        } else {                          // Backspace: the bytes before them
            last.removed.insert(0, edit.removed);
            last.at = edit.at;
        }
    } else {
        Keep(done_, std::move(edit));
    }
    sealed_ = false;
}

void EditHistory::Keep(std::deque<TextEdit>& steps, TextEdit edit) {
    keptBytes_ += SizeOf(edit);
    steps.push_back(std::move(edit));
    while (keptBytes_ > kKeptBytesLimit && done_.size() > 1) {
        keptBytes_ -= SizeOf(done_.front());
        done_.pop_front();
    }
}

void EditHistory::Clear() noexcept {
    done_.clear();
    undone_.clear();
    keptBytes_ = 0;
    sealed_ = true;
}

std::optional<TextPosition> EditHistory::Undo(TextLines& lines) { return Replay(lines, done_, undone_, true); }

std::optional<TextPosition> EditHistory::Redo(TextLines& lines) { return Replay(lines, undone_, done_, false); }

std::optional<TextPosition> EditHistory::Replay(TextLines& lines, std::deque<TextEdit>& from, std::deque<TextEdit>& to,
                                                bool backwards) {
    if (from.empty()) return std::nullopt;
    TextEdit step = std::move(from.back());
    from.pop_back();
    const std::string& present = backwards ? step.inserted : step.removed;
    const std::string& wanted = backwards ? step.removed : step.inserted;
    lines.RemoveText(step.at, EndAfter(step.at, present));
    const TextPosition caret = lines.InsertText(step.at, wanted);
    keptBytes_ -= SizeOf(step);
    Keep(to, std::move(step));
    sealed_ = true;
    return caret;
}
