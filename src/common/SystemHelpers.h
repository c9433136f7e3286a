#pragma once
// The services the program asks of the system: shortening a file path to a pixel
// width, questions to the user, opening links, and a file's size and last update.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Width in pixels of a text in the font the caller measures with.
using TextWidth = std::function<int(std::string_view utf8)>;

// Drops leading folders of `path` (a UTF-8 "/" path), marking the cut with ".../",
// until the result fits `maxWidth`: /home/ann/dic/med.txt, /.../ann/dic/med.txt,
// /.../dic/med.txt, /.../med.txt, .../med.txt, med.txt. The file name is never cut.
std::string ShortenPath(std::string_view path, const TextWidth& widthOf, int maxWidth);

// The path part of the caption "title - path": what is left of the window width
// after the title and 120 pixels of frame and buttons. An empty title is measured
// as ten spaces. `widthOf` measures in the caption's font.
std::string ShortenPathForCaption(std::string_view path, int windowWidth, std::string_view title,
                                  const TextWidth& widthOf);

// --- questions and links, answered by the desktop ---
//
// The core asks through these; the user interface installs the real message box and
// link handler at start-up, and a test installs its own answers. Texts are UTF-8.

// Message-box flags and answers, with the numbers the program has always used.
namespace AskFlags {
inline constexpr int Ok = 0;
inline constexpr int OkCancel = 1;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int IconError = 16;
inline constexpr int IconQuestion = 32;
inline constexpr int IconWarning = 48;
inline constexpr int IconInformation = 64;
inline constexpr int DefaultButton2 = 0x100;
inline constexpr int DefaultButton3 = 0x200;
}  // namespace AskFlags
namespace AskAnswer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
}  // namespace AskAnswer

using AskUserHandler = std::function<int(std::string_view text, std::string_view caption, int flags)>;
using OpenLinkHandler = std::function<void(std::string_view link)>;

// A modal question; returns the answer's number. Without a handler nobody can
// answer, which counts as Cancel.
int AskUser(std::string_view text, std::string_view caption, int flags);
// Hands a link to the desktop's default handler; the outcome is not reported.
void OpenLink(std::string_view link);
// Install a handler; each returns the one it replaces.
AskUserHandler SetAskUserHandler(AskUserHandler handler);
OpenLinkHandler SetOpenLinkHandler(OpenLinkHandler handler);

// --- a file's size and last update ---

// Size in bytes of the file or folder at `path` (UTF-8), or -1 when there is none.
std::int64_t GetFileSizeBytes(const std::string& path);

// A moment in local time, split into its calendar fields.
struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

namespace FileStampKind {
inline constexpr int Creation = 1;
inline constexpr int LastAccess = 2;
inline constexpr int LastWrite = 3;
}  // namespace FileStampKind

// One of the times of the open file `fd`, in local time; nothing when the kind is
// unknown or the time cannot be read.
std::optional<LocalDateTime> GetFileStamp(int fd, int which);

// The last update of the file or folder at `path`, in the locale's short date and
// long time formats ("2026/12/08 9:41:07"), or empty when it cannot be read.
std::string FileUpdateText(const std::string& path);
