#include "dictionary/RecordLine.h"

#include "common/Sjis.h"

#include <algorithm>
#include <cstring>

namespace {

// memchr to the first byte, then a compare: the load runs three of these per line,
// and this beats both string_view::find and memmem on short lines.
std::size_t FindBytes(std::string_view line, std::string_view needle, std::size_t from) noexcept {
    if (from > line.size() || needle.size() > line.size() - from) return std::string_view::npos;
    const char* p = line.data() + from;
    const char* const last = line.data() + line.size() - needle.size();
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, needle.front(), static_cast<std::size_t>(last - p) + 1));
        if (!p) return std::string_view::npos;
        std::size_t matched = 1;
        while (matched < needle.size() && p[matched] == needle[matched]) ++matched;
        if (matched == needle.size()) return static_cast<std::size_t>(p - line.data());
        ++p;
    }
    return std::string_view::npos;
}

}  // namespace

std::size_t FindSeparator(std::string_view line, std::string_view separator, std::size_t from) noexcept {
    if (separator.empty()) return std::string_view::npos;
    // A byte below 0x40 is never the second byte of a double-byte character, so the
    // usual separators need no character walk.
    if (static_cast<unsigned char>(separator.front()) < 0x40) return FindBytes(line, separator, from);
    return Sjis::FindChars(line, separator, from);
}

std::size_t SkipChars(std::string_view text, std::size_t pos, std::size_t count) noexcept {
    for (; count > 0 && pos < text.size(); --count) pos = Sjis::NextCharPos(text, pos);
    return std::min(pos, text.size());
}

IndexEntry CutIndexEntry(std::string_view line, const Separators& separators) noexcept {
    const std::size_t numAt = FindSeparator(line, separators.num);
    if (numAt == std::string_view::npos) return {LineDamage::NoNum, {}};
    const std::size_t titleAt = FindSeparator(line, separators.title);
    if (titleAt == std::string_view::npos) return {LineDamage::NoTitle, {}};
    // SepYaku may stand anywhere; it usually follows SepTitle, so look there first.
    if (FindSeparator(line, separators.yaku, titleAt + 1) == std::string_view::npos &&
        FindSeparator(line, separators.yaku) == std::string_view::npos)
        return {LineDamage::NoYaku, {}};
    const std::size_t begin = SkipChars(line, numAt, kNumSeparatorChars);
    if (titleAt <= begin) return {LineDamage::None, {}};
    return {LineDamage::None, line.substr(begin, titleAt - begin)};
}

std::optional<RecordFields> CutRecordFields(std::string_view line, const Separators& separators) noexcept {
    const std::size_t numAt = FindSeparator(line, separators.num);
    if (numAt == std::string_view::npos) return std::nullopt;
    const std::size_t headwordAt = SkipChars(line, numAt, kNumSeparatorChars);
    const std::size_t titleAt = FindSeparator(line, separators.title, headwordAt);
    if (titleAt == std::string_view::npos) return std::nullopt;
    const std::size_t translationAt = SkipChars(line, titleAt, kFieldSeparatorChars);
    const std::size_t yakuAt = FindSeparator(line, separators.yaku, translationAt);
    if (yakuAt == std::string_view::npos) return std::nullopt;
    const std::size_t examplesAt = SkipChars(line, yakuAt, kFieldSeparatorChars);
    return RecordFields{line.substr(0, numAt), line.substr(headwordAt, titleAt - headwordAt),
                        line.substr(translationAt, yakuAt - translationAt), line.substr(examplesAt)};
}

std::string_view CutSearchHeadword(std::string_view line, const Separators& separators) noexcept {
    const std::size_t numAt = FindSeparator(line, separators.num);
    const std::string_view rest =
        numAt == std::string_view::npos ? line : line.substr(SkipChars(line, numAt, kNumSeparatorChars));
    const std::size_t titleAt = FindSeparator(rest, separators.title);
    return titleAt == std::string_view::npos ? std::string_view() : rest.substr(0, titleAt);
}

HitSeparators FindHitSeparators(std::string_view line, const Separators& separators) noexcept {
    return {FindSeparator(line, separators.title), FindSeparator(line, separators.yaku)};
}

RecordField HitFieldByBytes(const HitSeparators& at, std::size_t position) noexcept {
    // One-based positions, 0 for a separator that is absent, as the rule was made.
    const auto oneBased = [](std::size_t pos) -> std::size_t { return pos == std::string_view::npos ? 0 : pos + 1; };
    const std::size_t p = position + 1;
    if (p >= oneBased(at.yakuAt) + kFieldSeparatorBytes) return RecordField::Examples;
    if (p >= oneBased(at.titleAt) + kFieldSeparatorBytes) return RecordField::Translation;
    return RecordField::Headword;
}
