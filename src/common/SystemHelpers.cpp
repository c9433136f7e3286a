#include "common/SystemHelpers.h"

namespace {

constexpr std::string_view kElision = ".../";

// Removes the first folder of a folder part, leaving the elision mark in its place.
std::string CutFirstFolder(std::string folder) {
    if (folder == "/") return {};
    const bool rooted = folder.starts_with('/');
    if (rooted) folder.erase(0, 1);
    if (folder.starts_with(kElision)) folder.erase(0, kElision.size());  // the mark of an earlier cut
    const std::size_t slash = folder.find('/');
    folder = slash == std::string::npos ? std::string() : std::string(kElision) + folder.substr(slash + 1);
    return rooted ? "/" + folder : folder;
}

}  // namespace

std::string ShortenPath(std::string_view path, const TextWidth& widthOf, int maxWidth) {
    const std::size_t lastSlash = path.rfind('/');
    std::string folder(lastSlash == std::string_view::npos ? std::string_view() : path.substr(0, lastSlash + 1));
    const std::string_view name = lastSlash == std::string_view::npos ? path : path.substr(lastSlash + 1);
    std::string result(path);
    while (!folder.empty() && widthOf(result) > maxWidth) {
        folder = folder == "/.../" ? std::string(kElision) : CutFirstFolder(std::move(folder));
        result = folder + std::string(name);
    }
    return result;
}

std::string ShortenPathForCaption(std::string_view path, int windowWidth, std::string_view title,
                                  const TextWidth& widthOf) {
    const int titleWidth = widthOf(title.empty() ? std::string_view("          ") : title);
    return ShortenPath(path, widthOf, windowWidth - titleWidth - 120);
}
