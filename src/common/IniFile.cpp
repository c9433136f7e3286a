#include "common/IniFile.h"

#include "common/AtomicFile.h"
#include "common/Errors.h"
#include "common/Sjis.h"
#include "common/StringHelpers.h"
#include "common/SystemHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SameName(std::string_view a, std::string_view b) { return Sjis::EqualIgnoringAsciiCase(a, b); }

// The key of a value line: the text before its first "=".
bool IsLineOfKey(std::string_view line, std::string_view key) {
    const std::size_t equals = line.find('=');
    return equals != std::string_view::npos && !line.starts_with(';') && SameName(line.substr(0, equals), key);
}

bool IsFile(const std::string& fileName) { return QFileInfo(QString::fromStdString(fileName)).isFile(); }

// The file's bytes; a missing file or a folder reads as empty. A file that is there
// but cannot be read gives nothing: it must not be rewritten from what little is known.
std::optional<std::string> ReadSettingsFile(const std::string& fileName) {
    if (!IsFile(fileName)) return std::string();
    QFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    // Read straight into the string: the file is read at every value, so a large one
    // is not copied twice.
    std::string bytes(static_cast<std::size_t>(std::max<qint64>(file.size(), 0)), '\0');
    const qint64 read = file.read(bytes.data(), static_cast<qint64>(bytes.size()));
    if (read < 0 || file.error() != QFileDevice::NoError) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(read));
    return bytes;
}

IniDocument ReadForRewrite(const std::string& fileName) {
    const std::optional<std::string> bytes = ReadSettingsFile(fileName);
    if (!bytes) {
        // Rewriting it from nothing would lose it: say why it could not be read.
        const std::string reason = ::access(fileName.c_str(), R_OK) != 0 ? std::strerror(errno) : "";
        throw CannotCreateFileError(fileName, reason);
    }
    return IniDocument::Parse(*bytes);
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument document;
    Section* current = nullptr;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        const std::string_view trimmed = TrimView(line);
        if (trimmed.empty()) continue;
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
            const std::string_view name = trimmed.substr(1, trimmed.size() - 2);
            current = document.Find(name);
            if (current == nullptr) {  // a repeated section adds to the first one
                document.sections_.push_back({std::string(name), {}});
                current = &document.sections_.back();
            }
            continue;
        }
        (current ? current->lines : document.preamble_).emplace_back(line);
    }
    return document;
}

std::string IniDocument::Serialise() const {
    // Sized first: a file that grew large (something else saved over it) is copied once.
    std::size_t size = 0;
    for (const std::string& line : preamble_) size += line.size() + 2;
    for (const Section& section : sections_) {
        size += section.name.size() + 6;
        for (const std::string& line : section.lines) size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const std::string& line : preamble_) text.append(line).append("\r\n");
    for (const Section& section : sections_) {
        text.append("[").append(section.name).append("]\r\n");
        for (const std::string& line : section.lines) text.append(line).append("\r\n");
        text.append("\r\n");
    }
    return text;
}

IniDocument::Section* IniDocument::Find(std::string_view name) {
    const auto found = std::find_if(sections_.begin(), sections_.end(),
                                    [&](const Section& section) { return SameName(section.name, name); });
    return found == sections_.end() ? nullptr : &*found;
}

const IniDocument::Section* IniDocument::Find(std::string_view name) const {
    return const_cast<IniDocument*>(this)->Find(name);
}

std::optional<std::string> IniDocument::Value(std::string_view section, std::string_view key) const {
    const Section* found = Find(section);
    if (found == nullptr) return std::nullopt;
    for (const std::string& line : found->lines)
        if (IsLineOfKey(line, key)) return line.substr(line.find('=') + 1);
    return std::nullopt;
}

void IniDocument::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    Section* found = Find(section);
    if (found == nullptr) {
        sections_.push_back({std::string(section), {}});
        found = &sections_.back();
    }
    std::string line = std::string(key) + "=" + std::string(value);
    for (std::string& existing : found->lines)
        if (IsLineOfKey(existing, key)) {
            existing = std::move(line);
            return;
        }
    found->lines.push_back(std::move(line));
}

void IniDocument::EraseSection(std::string_view section) {
    std::erase_if(sections_, [&](const Section& each) { return SameName(each.name, section); });
}

std::string QuoteValue(std::string_view value) { return "\"" + std::string(value) + "\""; }

std::string StripQuotes(std::string_view value, char quote) {
    if (value.empty() || value.front() != quote) return std::string(value);
    value.remove_prefix(1);
    if (!value.empty() && value.back() == quote) value.remove_suffix(1);
    return std::string(value);
}

std::string ReadIniValue(const std::string& fileName, std::string_view section, std::string_view key) {
    const IniDocument document = IniDocument::Parse(ReadSettingsFile(fileName).value_or(std::string()));
    const std::optional<std::string> value = document.Value(section, key);
    return value ? StripQuotes(*value, '"') : std::string("ER");
}

bool ConfirmWritable(const std::string& fileName) {
    struct stat status {};
    if (!IsFile(fileName) || ::stat(fileName.c_str(), &status) != 0 || (status.st_mode & S_IWUSR)) return true;
    if (AskUser("読み出し専用です。書き込みますか", "問合わせ", AskFlags::OkCancel | AskFlags::IconInformation) !=
        AskAnswer::Ok)
        return false;
    ::chmod(fileName.c_str(), (status.st_mode & 07777) | S_IWUSR);
    return true;
}

void WriteIniValue(const std::string& fileName, std::string_view section, std::string_view key,
                   bool createIfMissing, std::string_view value) {
    if (!IsFile(fileName)) {
        if (!createIfMissing) return;
        QFile created(QString::fromStdString(fileName));
        created.open(QIODevice::WriteOnly);  // a failure shows when the value is written
    }
    if (!ConfirmWritable(fileName)) return;
    IniDocument document = ReadForRewrite(fileName);
    document.SetValue(section, key, QuoteValue(value));
    WriteFileAtomically(fileName, document.Serialise());
}

void EraseIniSection(const std::string& fileName, std::string_view section) {
    IniDocument document = ReadForRewrite(fileName);
    document.EraseSection(section);
    WriteFileAtomically(fileName, document.Serialise());
}
