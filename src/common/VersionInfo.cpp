#include "common/VersionInfo.h"

#include "common/Errors.h"
#include "common/StringHelpers.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

std::string ReadResource(const std::string& path) {
    if (path.empty()) return {};
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool ParseHex16(std::string_view text, std::uint16_t& value) {
    if (text.size() != 4) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return error == std::errc() && end == text.data() + text.size();
}

std::string& ExecutableResourcePath() {
    static std::string path = ":/QuillorDic.version";
    return path;
}

VersionReader& ExecutableReader() {
    static VersionReader reader(ExecutableResourcePath());
    return reader;
}

}  // namespace

VersionInfo VersionInfo::Parse(std::string_view text) {
    VersionInfo info;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos) continue;
        const std::string name = TrimBlanks(std::string_view(line).substr(0, equals));
        const std::string value = line.substr(equals + 1);
        if (name == "Translation") {
            // "0411 03A4": language, then code page.
            const std::string pair = TrimBlanks(value);
            std::uint16_t language = 0, codePage = 0;
            const std::size_t blank = pair.find(' ');
            if (blank != std::string::npos && ParseHex16(std::string_view(pair).substr(0, blank), language) &&
                ParseHex16(TrimBlanks(std::string_view(pair).substr(blank + 1)), codePage))
                info.translations.emplace_back(language, codePage);
        } else {
            info.strings.emplace(name, value);
        }
    }
    return info;
}

std::string TranslationKey(std::pair<std::uint16_t, std::uint16_t> translation) {
    char key[9];
    std::snprintf(key, sizeof key, "%04X%04X", translation.first, translation.second);
    return key;
}

VersionReader::VersionReader(std::string resourcePath) : resourcePath_(std::move(resourcePath)) {}

std::string VersionReader::GetVersionValue(std::size_t index) const {
    const std::string text = ReadResource(resourcePath_);
    if (text.empty() || index >= VersionKeys.size()) return {};
    const VersionInfo info = VersionInfo::Parse(text);
    if (info.translations.empty()) throw QuillorError("情報の取得に失敗しました");
    const auto value = info.strings.find(TranslationKey(info.translations.front()) + "\\" +
                                         std::string(VersionKeys[index]));
    return value == info.strings.end() ? std::string() : value->second;
}

std::string VersionReader::GetFileVersionText() {
    const std::string text = ReadResource(resourcePath_);
    if (text.empty()) return {};
    const VersionInfo info = VersionInfo::Parse(text);
    if (cachedTranslationKey_.empty()) {
        if (info.translations.empty()) return {};
        cachedTranslationKey_ = TranslationKey(info.translations.front());
    }
    const auto value = info.strings.find(cachedTranslationKey_ + "\\FileVersion");
    if (value == info.strings.end()) return {};
    return value->second.substr(0, std::min<std::size_t>(value->second.find('\0'), 256));
}

std::string GetVersionValue(std::size_t index) { return ExecutableReader().GetVersionValue(index); }

std::string GetFileVersionText() { return ExecutableReader().GetFileVersionText(); }

void UseVersionResource(std::string resourcePath) {
    ExecutableResourcePath() = resourcePath;
    ExecutableReader() = VersionReader(std::move(resourcePath));
}
