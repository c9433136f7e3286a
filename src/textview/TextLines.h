#pragma once
// The text of a text view as a list of lines, with no GUI type in it.
//
// The text as last set whole stays in one buffer (a dictionary of a million lines is
// one allocation, not a million), each line is a span into it, and a line written
// later lives in a second, append-only buffer. The spans sit in a gap vector, so
// edits that move through the text line by line cost no more than the distance moved.
//
// Line breaks: CR LF, a lone CR and a lone LF each end a line; a line break at the
// very end starts no extra line but is remembered, and WholeText writes it back.
// Every line is written back followed by CR LF. A NUL byte ends the text.

#include "common/ByteBuffer.h"
#include "textview/SplitVector.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a change did, for the view that shows the lines.
enum class LinesChange {
    WholeText,  // every line replaced (or removed)
    Lines,      // some lines replaced, removed or added
};

class TextLines {
public:
    using ChangeListener = std::function<void(LinesChange)>;

    // Each listener is called after every change, so a view never shows lines that are
    // gone and a search never runs over a text that was replaced. The number returned
    // removes the listener again.
    int AddChangeListener(ChangeListener listener);
    void RemoveChangeListener(int id);

    // Replaces every line. The text is taken over, not copied. A new text is
    // unmodified.
    void SetWholeText(std::string text);
    void SetWholeText(ByteBuffer text);

    // Every line followed by CR LF, except the last one when the text last set did
    // not end with a line break.
    std::string WholeText() const;

    std::size_t LineCount() const noexcept { return lines_.size(); }

    // A copy of line `index` without its line break; an index outside the lines
    // raises "リストのインデックスが範囲を超えています (%d)".
    std::string Line(std::int64_t index) const;

    // The same bytes without a copy, valid until the next change; `index` must be a
    // line of the text.
    std::string_view LineView(std::size_t index) const noexcept;

    // Replaces line `index` (raising like Line outside the text); the line keeps its
    // line break. A text that itself holds line breaks becomes several lines, so no
    // byte is lost.
    void ReplaceLine(std::int64_t index, std::string_view text);

    // Removes line `index` when there is one; nothing otherwise.
    void DeleteRow(std::int64_t index);

    // Adds a line, followed by a line break, at the end.
    void AppendLine(std::string_view text);

    void ClearLines();

    // Writes WholeText to `path` (UTF-8 file name) whole or not at all; raises
    // "ファイル %s を作成できません" on failure.
    void SaveLinesToFile(const std::string& path) const;

    bool EndsWithLineBreak() const noexcept { return endsWithLineBreak_; }

    // The bytes the text last set whole lost at its first NUL byte (the NUL and what
    // followed it); 0 when it held none.
    std::uint64_t BytesCutAtNul() const noexcept { return bytesCutAtNul_; }

    // WholeText without a copy, when the lines are still the text last set whole and
    // every line of it ended with CR LF: then the two are the same bytes. Valid until
    // the next change; nullopt otherwise.
    std::optional<std::string_view> UnchangedCrLfText() const noexcept;

    // At least the length of the longest line (a removed line may have been longer):
    // enough for a view's horizontal scroll range without a pass over every line.
    std::size_t LongestLineBound() const noexcept { return longestLine_; }

    // At least the bytes of every line together, line breaks left out: room enough
    // for anything cut from the lines, without a pass over them.
    std::size_t TextBytesBound() const noexcept { return base_.size() + added_.size(); }

    // Set by ReplaceLine, DeleteRow and the user's editing; a whole new text and
    // SetModified(false) clear it.
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool modified) noexcept { modified_ = modified; }

    // Verifies the invariants written beside the fields; throws std::logic_error.
    void Check() const;

private:
    struct Span {
        std::uint64_t start = 0;   // offset in its buffer; kAddedFlag set: in added_
        std::uint64_t length = 0;
    };
    static constexpr std::uint64_t kAddedFlag = std::uint64_t{1} << 63;

    Span AddLine(std::string_view text);
    void Notify(LinesChange change);
    void InsertLines(std::size_t position, std::string_view text);

    ByteBuffer base_;             // the text as last set whole, cut at its first NUL; never changed after
    std::string added_;           // bytes of every line written since; only appended to;
                                  // no two lines share a byte of base_ or added_
    SplitVector<Span> lines_;     // one span per line, in order; no span covers CR or LF
    bool endsWithLineBreak_ = false;  // the last line set or appended was followed by a break
    std::uint64_t bytesCutAtNul_ = 0; // dropped by the last SetWholeText from its first NUL on
    std::size_t longestLine_ = 0;     // no line is longer
    bool modified_ = false;
    bool unchanged_ = false;          // the lines are still exactly those of base_
    bool crLfThroughout_ = false;     // every line of base_ ended with CR LF
    std::vector<std::pair<int, ChangeListener>> listeners_;
    int nextListenerId_ = 1;
};
