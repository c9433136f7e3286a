// quillor_write_launcher DESKTOP_FILE PROGRAM ICON
// Writes the desktop entry of an installed QuillorDic: it starts PROGRAM in its own
// folder, passing it the file chosen with "Open with". Run by `cmake --install`.
#include "common/DesktopShortcut.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DESKTOP_FILE PROGRAM ICON\n", argv[0]);
        return 2;
    }
    try {
        WriteLauncher(argv[1], {"QuillorDic", "医学英和辞書ビューア", argv[2], argv[3], true});
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
