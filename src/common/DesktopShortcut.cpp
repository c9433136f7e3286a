#include "common/DesktopShortcut.h"

#include "common/AtomicFile.h"
#include "common/UserFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// Reads XDG_DESKTOP_DIR="$HOME/..." from the user-dirs file.
std::string ConfiguredDesktop(const std::string& home) {
    const std::string config =
        XdgFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), QString::fromStdString(home + "/.config")).toStdString();
    std::ifstream dirs(config + "/user-dirs.dirs");
    for (std::string line; std::getline(dirs, line);) {
        const std::string key = "XDG_DESKTOP_DIR=";
        if (line.rfind(key, 0) != 0) continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) value = home + value.substr(5);
        return value;
    }
    return {};
}

}  // namespace

std::string DesktopFolder() {
    const std::string home = HomeFolder().toStdString();
    const std::string configured = ConfiguredDesktop(home);
    return configured.empty() ? home + "/Desktop" : configured;
}

namespace {

// A value of a desktop entry: backslashes, line breaks and tabs escaped.
std::string EntryValue(const std::string& text) {
    std::string value;
    for (const char c : text) {
        if (c == '\\') value += "\\\\";
        else if (c == '\n') value += "\\n";
        else if (c == '\t') value += "\\t";
        else if (c == '\r') value += "\\r";
        else value += c;
    }
    return value;
}

// One argument of Exec, in double quotes, with the characters that are special there
// escaped; the value escaping then applies on top.
std::string ExecArgument(const std::string& argument) {
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + "\"";
}

}  // namespace

std::string LauncherText(const LauncherEntry& entry) {
    const std::string folder = std::filesystem::path(entry.target).parent_path().string();
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=" + EntryValue(entry.name) + "\n"
                       "Comment=" + EntryValue(entry.comment) + "\n"
                       "Exec=" + EntryValue(ExecArgument(entry.target) + (entry.takesFile ? " %f" : "")) + "\n"
                       "Path=" + EntryValue(folder) + "\n";
    if (!entry.icon.empty()) text += "Icon=" + EntryValue(entry.icon) + "\n";
    if (entry.takesFile) text += "MimeType=text/plain;\n";
    text += "Terminal=false\n"
            "Categories=Office;Dictionary;\n";
    return text;
}

void WriteLauncher(const std::string& path, const LauncherEntry& entry) {
    namespace fs = std::filesystem;
    WriteFileAtomically(path, LauncherText(entry));
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::add, ignored);
}

void MakeDesktopShortcut(const std::string& target, const std::string& name, bool create) {
    namespace fs = std::filesystem;
    const fs::path shortcut = fs::path(DesktopFolder()) / (name + ".desktop");
    std::error_code ignored;
    if (!create) {
        fs::remove(shortcut, ignored);
        return;
    }
    try {
        fs::create_directories(shortcut.parent_path(), ignored);
        WriteLauncher(shortcut.string(), {name, name, target, {}, false});
    } catch (const std::exception&) {
        // A desktop that cannot be written gets no shortcut; nothing else depends on it.
    }
}
