#pragma once
// Launchers for the program: the shortcut on the user's desktop, and the desktop
// entry an installation puts beside the program.

#include <string>

// What a launcher says (freedesktop desktop entry).
struct LauncherEntry {
    std::string name;
    std::string comment;
    std::string target;            // the program, started in its own folder
    std::string icon;              // empty: none
    bool takesFile = false;        // "Open with" passes a file to the program
};

// The text of the entry: the program quoted and escaped in Exec, its folder in Path.
std::string LauncherText(const LauncherEntry& entry);

// Writes the entry to `path`, marked executable as desktops require of launchers.
// Raises "ファイル %s を作成できません" when it cannot be written.
void WriteLauncher(const std::string& path, const LauncherEntry& entry);

// The user's desktop folder: XDG_DESKTOP_DIR of the user-dirs file, else ~/Desktop.
std::string DesktopFolder();

// Writes (create) or removes "<desktop>/<name>.desktop", a launcher that starts
// `target` in its own folder. Failures to write or remove pass silently.
void MakeDesktopShortcut(const std::string& target, const std::string& name, bool create);
