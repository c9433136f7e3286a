#include "common/UserFolders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kOthersBits = S_IRWXG | S_IRWXO;

QString PasswordDatabaseHome() {
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 16384));
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir)
        return {};
    return QFile::decodeName(found->pw_dir);
}

}  // namespace

QString HomeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty()) return home;
    const QString fromDatabase = PasswordDatabaseHome();
    // No home at all (a user without an entry): the temporary folder rather than "/".
    return fromDatabase.isEmpty() ? QDir::tempPath() : fromDatabase;
}

QString XdgFolder(const QString& value, const QString& fallback) {
    if (value.isEmpty() || !QDir::isAbsolutePath(value)) return fallback;
    struct stat status {};
    if (::stat(QFile::encodeName(value).constData(), &status) == 0 && status.st_uid != ::geteuid()) return fallback;
    return QDir::cleanPath(value);
}

bool IsPrivateFolder(const QString& folder) {
    struct stat status {};
    return ::lstat(QFile::encodeName(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & kOthersBits) == 0;
}

std::optional<std::string> MakePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    // The folders above are made as the base directory rules ask of them, 0700; one
    // that exists already is left as it is.
    for (qsizetype slash = path.indexOf('/', 1); slash > 0; slash = path.indexOf('/', slash + 1))
        if (::mkdir(path.left(slash).constData(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0) return std::strerror(errno);
    if (S_ISLNK(status.st_mode)) return "a link, not a folder";
    if (!S_ISDIR(status.st_mode)) return std::strerror(ENOTDIR);
    if (status.st_uid != ::geteuid()) return "the folder of another user";
    if ((status.st_mode & kOthersBits) != 0 && ::chmod(path.constData(), status.st_mode & ~kOthersBits & 07777) != 0)
        return std::strerror(errno);
    return std::nullopt;
}

QString ShortPathHash(const QString& path) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : QFile::encodeName(path)) {
        hash ^= static_cast<unsigned char>(byte);
        hash *= 1099511628211ull;
    }
    return QStringLiteral("%1").arg(hash & 0xFFFF'FFFF'FFFFull, 12, 16, QLatin1Char('0'));
}
