#include "search/SearchRequest.h"

#include "common/Sjis.h"

namespace {

char16_t FoldAsciiCase(char16_t c) noexcept { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

// Blanks are the bytes up to 32, except NUL: in a request it stands for a character
// the code page cannot hold, which must stay in its key.
std::string_view TrimRequest(std::string_view s) noexcept {
    const auto isBlank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= 0x20; };
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

int SplitKeys(std::string_view request, bool multiKey, KeySlots& slots) {
    for (std::string& slot : slots) slot.clear();
    if (request.empty()) return 0;
    if (!multiKey) {
        slots[0] = std::string(request);
        return 1;
    }
    std::string_view rest = TrimRequest(request);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const std::size_t blank = rest.find(' ');
        if (blank == std::string_view::npos) {
            slots[i] = std::string(rest);
            return static_cast<int>(i + 1);
        }
        slots[i] = std::string(rest.substr(0, blank));
        rest = TrimRequest(rest.substr(blank));
        if (rest.empty()) return static_cast<int>(i + 1);
    }
    return static_cast<int>(slots.size());
}

int FilterKeys(int count, KeySlots& slots, const std::vector<std::string>& ignoredWords) {
    if (count < 1) return count;
    for (int i = count - 1; i >= 0; --i) {
        std::string& key = slots[static_cast<std::size_t>(i)];
        if (Sjis::CharCount(key) < 2) {
            key.clear();
            --count;
        }
    }
    for (std::string& key : slots) {
        if (key.empty()) continue;
        for (const std::string& word : ignoredWords) {
            if (!word.empty() && Sjis::EqualIgnoringAsciiCase(key, word)) {
                key.clear();
                --count;
                break;
            }
        }
    }
    KeySlots packed;
    std::size_t filled = 0;
    for (std::string& key : slots)
        if (!key.empty()) packed[filled++] = std::move(key);
    slots = std::move(packed);
    return count;
}

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
    return true;
}

std::optional<std::size_t> FindInHistory(const std::vector<std::u16string>& items, std::u16string_view text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (EqualIgnoringAsciiCase(items[i], text)) return i;
    return std::nullopt;
}
