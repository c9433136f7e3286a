#include "lookup/HeadwordKey.h"

#include "common/Sjis.h"

namespace {

constexpr std::string_view kIdeographicSpace = "\x81\x40";

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsVowel(char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y'; }

// The length of the blank starting at `pos`, or 0.
std::size_t BlankAt(std::string_view s, std::size_t pos) {
    const char c = s[pos];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f') return 1;
    return s.substr(pos, 2) == kIdeographicSpace ? 2 : 0;
}

// One word of letters, folded as SpellingKey says.
void AppendFoldedWord(std::string_view word, std::string& out) {
    std::string folded;
    folded.reserve(word.size());
    for (std::size_t i = 0; i < word.size(); ++i) {
        const bool digraph = i + 1 < word.size() && word[i + 1] == 'e' && (word[i] == 'a' || word[i] == 'o');
        if (!digraph) folded += word[i];
    }
    const std::size_t n = folded.size();
    if (word.size() >= 5 && n >= 3) {
        if (folded.ends_with("our")) {
            folded.erase(n - 2, 1);  // tumour → tumor
        } else if (folded.ends_with("re") && !IsVowel(folded[n - 3]) && folded[n - 3] != 'r') {
            folded[n - 2] = 'e';  // centre → center
            folded[n - 1] = 'r';
        }
    }
    out += folded;
}

}  // namespace

std::string LookupKey(std::string_view bytes) {
    std::string key;
    key.reserve(bytes.size());
    std::size_t keptEnd = 0;  // the key's length up to its last character that is no blank
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (const std::size_t blank = BlankAt(bytes, pos)) {
            if (!key.empty()) key.append(bytes.substr(pos, blank));
            pos += blank;
            continue;
        }
        const std::size_t next = Sjis::NextCharPos(bytes, pos);
        if (next == pos + 1 && bytes[pos] >= 'A' && bytes[pos] <= 'Z')
            key += static_cast<char>(bytes[pos] - 'A' + 'a');
        else
            key.append(bytes.substr(pos, next - pos));
        keptEnd = key.size();
        pos = next;
    }
    key.resize(keptEnd);
    return key;
}

std::string SpellingKey(std::string_view lookupKey) {
    std::string key;
    key.reserve(lookupKey.size());
    for (std::size_t pos = 0; pos < lookupKey.size();) {
        // A word is a run of ASCII letters; anything else (blanks, hyphens, double-byte
        // characters) stays as it is.
        std::size_t end = pos;
        while (end < lookupKey.size() && IsAsciiLetter(lookupKey[end])) ++end;
        if (end > pos) {
            AppendFoldedWord(lookupKey.substr(pos, end - pos), key);
            pos = end;
            continue;
        }
        const std::size_t next = Sjis::NextCharPos(lookupKey, pos);
        key.append(lookupKey.substr(pos, next - pos));
        pos = next;
    }
    return key;
}
