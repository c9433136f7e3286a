#include "view/GuideFile.h"

#include "common/Sjis.h"

#include <fstream>
#include <sys/stat.h>

namespace {

constexpr std::size_t kHeadBytes = 8192;  // a message header is a few lines

}  // namespace

bool IsGuideArchiveHead(std::string_view head) {
    // Only the header counts: up to the first empty line.
    for (const std::string_view end : {"\r\n\r\n", "\n\n"})
        if (const std::size_t at = head.find(end); at != std::string_view::npos) head = head.substr(0, at);
    const std::string folded = Sjis::FoldAsciiCase(head);
    constexpr std::string_view kField = "content-type:";
    for (std::size_t at = folded.find(kField); at != std::string::npos; at = folded.find(kField, at + 1)) {
        if (at > 0 && folded[at - 1] != '\n') continue;  // a field starts its line
        const std::size_t value = folded.find_first_not_of(" \t", at + kField.size());
        if (value != std::string::npos && folded.compare(value, 17, "multipart/related") == 0) return true;
    }
    return false;
}

bool IsGuideArchive(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    std::ifstream file(path, std::ios::binary);
    std::string head(kHeadBytes, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    return IsGuideArchiveHead(head);
}
