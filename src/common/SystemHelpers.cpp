#include "common/SystemHelpers.h"

#include <QDateTime>
#include <QLocale>

#include <ctime>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// --- questions and links ---

namespace {

AskUserHandler& AskHandler() {
    static AskUserHandler handler;
    return handler;
}

OpenLinkHandler& LinkHandler() {
    static OpenLinkHandler handler;
    return handler;
}

}  // namespace

int AskUser(std::string_view text, std::string_view caption, int flags) {
    return AskHandler() ? AskHandler()(text, caption, flags) : AskAnswer::Cancel;
}

void OpenLink(std::string_view link) {
    if (LinkHandler()) LinkHandler()(link);
}

AskUserHandler SetAskUserHandler(AskUserHandler handler) { return std::exchange(AskHandler(), std::move(handler)); }

OpenLinkHandler SetOpenLinkHandler(OpenLinkHandler handler) { return std::exchange(LinkHandler(), std::move(handler)); }

// --- a file's size and last update ---

std::int64_t GetFileSizeBytes(const std::string& path) {
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) return -1;
    return static_cast<std::int64_t>(status.st_size);
}

std::optional<LocalDateTime> GetFileStamp(int fd, int which) {
    if (which < FileStampKind::Creation || which > FileStampKind::LastWrite) return std::nullopt;
    struct statx status {};
    const unsigned int wanted = which == FileStampKind::Creation     ? STATX_BTIME
                                : which == FileStampKind::LastAccess ? STATX_ATIME
                                                                     : STATX_MTIME;
    if (::statx(fd, "", AT_EMPTY_PATH, wanted, &status) != 0 || !(status.stx_mask & wanted)) return std::nullopt;
    const statx_timestamp stamp = which == FileStampKind::Creation     ? status.stx_btime
                                  : which == FileStampKind::LastAccess ? status.stx_atime
                                                                       : status.stx_mtime;
    const time_t seconds = static_cast<time_t>(stamp.tv_sec);
    struct tm local {};
    if (::localtime_r(&seconds, &local) == nullptr) return std::nullopt;
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                         local.tm_min,         local.tm_sec,     static_cast<int>(stamp.tv_nsec / 1'000'000)};
}

namespace {

// The locale's long time format without its time zone ("HH:mm:ss t"): the box it goes
// into holds a date and a time of day, as the program always showed them.
QString LongTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\'')) quoted = !quoted;
        if (!quoted && c == QLatin1Char('t')) continue;
        kept += c;
    }
    return kept.trimmed();
}

}  // namespace

std::string FileUpdateText(const std::string& path) {
    // A path descriptor reads the times without opening the file for writing, so a
    // read-only file, or a folder, shows its last update like any other.
    const int fd = path.empty() ? -1 : ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) return {};
    const std::optional<LocalDateTime> stamp = GetFileStamp(fd, FileStampKind::LastWrite);
    ::close(fd);
    if (!stamp) return {};
    const QDateTime moment(QDate(stamp->year, stamp->month, stamp->day),
                           QTime(stamp->hour, stamp->minute, stamp->second, stamp->millisecond));
    const QLocale locale = QLocale::system();
    return (locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
            locale.toString(moment.time(), LongTimeFormatWithoutZone(locale)))
        .toStdString();
}
