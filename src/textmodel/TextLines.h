#pragma once
// The text of a text view as a list of lines, with no GUI type in it.
//
// The text as last set whole stays in one buffer (a dictionary of a million lines is
// one allocation, not a million), each line is a span into it, and a line written
// later lives in a second, append-only buffer. The spans sit in a gap vector, so
// edits that move through the text line by line cost no more than the distance moved.
// The line the user is typing in is held apart, in a string of its own, so a key
// costs the length of that line and leaves nothing behind; when the bytes no line
// uses any more outweigh the ones in use, the lines are copied together afresh.
//
// Line breaks: CR LF, a lone CR and a lone LF each end a line; a line break at the
// very end starts no extra line but is remembered, and WholeText writes it back.
// Every line is written back followed by CR LF. A NUL byte ends the text.

#include "common/AtomicFile.h"
#include "common/ByteBuffer.h"
#include "textmodel/SplitVector.h"

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A place in the text: before byte `column` (zero-based) of line `line`.
struct TextPosition {
    std::int64_t line = 0;
    std::size_t column = 0;
    auto operator<=>(const TextPosition&) const = default;
};

// Where `text` ends when it is put at `at`: its line breaks split lines as the
// lines' own do.
TextPosition EndAfter(TextPosition at, std::string_view text) noexcept;

// What a change did, for the view that shows the lines and for whatever keeps
// something derived from them.
struct LinesChange {
    enum class Kind {
        WholeText,  // every line replaced (or removed)
        Lines,      // the lines below replaced, removed or added
    };
    Kind kind = Kind::Lines;
    std::int64_t firstLine = 0;    // the first line the change touched
    std::int64_t linesBefore = 0;  // lines from firstLine that were there before
    std::int64_t linesAfter = 0;   // lines from firstLine that stand in their place
};

class TextLines {
public:
    using ChangeListener = std::function<void(const LinesChange&)>;

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
    // Hands WholeText to `sink` in pieces, never as one copy of the whole text.
    void WriteTo(const ByteSink& sink) const;

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
    std::size_t TextBytesBound() const noexcept { return base_.size() + added_.size() + hot_.size(); }

    // The user's editing. A position may be the place after a final line break
    // (line == LineCount()), and a column must lie on a character boundary. A line
    // break in `bytes` splits the line; the result is where the inserted text ends.
    TextPosition InsertText(TextPosition at, std::string_view bytes);
    // Removes the bytes from `from` up to `to` and returns them, a line break between
    // two lines as CR LF.
    std::string RemoveText(TextPosition from, TextPosition to);
    std::string TextBetween(TextPosition from, TextPosition to) const;
    // The last place in the text: the end of the last line, or the place after a
    // final line break.
    TextPosition EndPosition() const noexcept;

    // Bytes held for the lines, used or not: what a view of them costs in memory.
    std::size_t HeldBytes() const noexcept { return base_.size() + added_.capacity() + hot_.capacity(); }

    // Set by ReplaceLine, DeleteRow and the user's editing; a whole new text and
    // SetModified(false) clear it.
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool modified) noexcept { modified_ = modified; }

    // Verifies the invariants written beside the fields; throws std::logic_error.
    void Check() const;

private:
    struct Span {
        std::uint64_t start = 0;   // offset in its buffer; kAddedFlag set: in added_;
                                   // kHotFlag set: the line is hot_ and length unused
        std::uint64_t length = 0;
    };
    static constexpr std::uint64_t kAddedFlag = std::uint64_t{1} << 63;
    static constexpr std::uint64_t kHotFlag = std::uint64_t{1} << 62;
    static constexpr std::size_t kNoHotLine = SIZE_MAX;

    // Removes every line, telling the listeners before any byte is freed.
    void ReleaseText();
    Span AddLine(std::string_view text);
    void Notify(LinesChange change);
    void NotifyLines(std::int64_t firstLine, std::int64_t before, std::int64_t after);
    std::size_t InsertLines(std::size_t position, std::string_view text);
    void CheckIndex(std::int64_t index) const;
    // Every line leaves the spans through here, so the bytes it leaves behind are counted.
    void Drop(const Span& span);
    void SetSpan(std::size_t index, const Span& span);
    void EraseLine(std::size_t index);
    // Makes line `index` the hot line, putting the previous one back among the others.
    std::string& MakeHot(std::size_t index);
    void CoolHotLine();
    void CompactIfWasteful();
    // The place after a final line break becomes an empty line of its own, so an
    // edit can treat it as any other; the text's bytes stay the same.
    void MaterialiseEndLine(std::int64_t line);
    // Marks the text modified and changed since it was set, tells the listeners which
    // lines changed, then copies the lines together afresh when unused bytes outweigh
    // used ones: views into the lines die.
    void FinishEdit(std::int64_t firstLine, std::int64_t before, std::int64_t after);

    ByteBuffer base_;             // the text as last set whole, cut at its first NUL; never changed,
                                  // only freed when the lines are copied together afresh
    std::string added_;           // bytes of lines written since; only appended to, or rebuilt
                                  // whole; no two lines share a byte of base_ or added_
    std::string hot_;             // the bytes of the hot line
    std::size_t hotLine_ = kNoHotLine;  // the one span with kHotFlag, if any
    std::uint64_t liveBytes_ = 0;       // bytes of base_ and added_ that lines use: the sum of
                                        // the lengths of every span but the hot one
    static constexpr std::size_t kHotLineKeep = 64 * 1024;      // room kept after a hot line cools
    static constexpr std::size_t kWasteAllowance = 64 * 1024;   // unused bytes never worth a copy
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
