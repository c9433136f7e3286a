#include "common/DesktopShortcut.h"

#include "common/AtomicFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Reads XDG_DESKTOP_DIR="$HOME/..." from the user-dirs file.
std::string ConfiguredDesktop(const std::string& home) {
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty()) config = home + "/.config";
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
    const std::string home = Environment("HOME");
    const std::string configured = ConfiguredDesktop(home);
    return configured.empty() ? home + "/Desktop" : configured;
}

void MakeDesktopShortcut(const std::string& target, const std::string& name, bool create) {
    namespace fs = std::filesystem;
    const fs::path shortcut = fs::path(DesktopFolder()) / (name + ".desktop");
    std::error_code ignored;
    if (!create) {
        fs::remove(shortcut, ignored);
        return;
    }
    const std::string folder = fs::path(target).parent_path().string();
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=" + name + "\n"
                              "Comment=" + name + "\n"
                              "Exec=\"" + target + "\"\n"
                              "Path=" + folder + "\n"
                              "Terminal=false\n";
    try {
        fs::create_directories(shortcut.parent_path(), ignored);
        WriteFileAtomically(shortcut.string(), entry);
        fs::permissions(shortcut, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add, ignored);
    } catch (const std::exception&) {
        // A desktop that cannot be written gets no shortcut; nothing else depends on it.
    }
}
