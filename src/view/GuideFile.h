#pragma once
// The usage guide: one MHTML archive (a MIME multipart/related message) beside the
// program, shown in the browser view.

#include <string>
#include <string_view>

// Whether the header of a file's first bytes declares such an archive. The browser
// engine shows anything else as a blank page without a word, so the program tells
// the user instead that it has no guide.
bool IsGuideArchiveHead(std::string_view head);

// The same for the file at `path` (UTF-8): false for a folder or an unreadable file.
bool IsGuideArchive(const std::string& path);
