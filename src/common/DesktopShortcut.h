#pragma once
// A launcher for the program on the user's desktop.

#include <string>

// The user's desktop folder: XDG_DESKTOP_DIR of the user-dirs file, else ~/Desktop.
std::string DesktopFolder();

// Writes (create) or removes "<desktop>/<name>.desktop", a launcher that starts
// `target` in its own folder. Failures to write or remove pass silently.
void MakeDesktopShortcut(const std::string& target, const std::string& name, bool create);
