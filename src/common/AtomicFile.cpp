#include "common/AtomicFile.h"

#include "common/Errors.h"

#include <QSaveFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kFolderNotWritable = "フォルダに書き込めません";

bool IsReadOnlyFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && !(status.st_mode & S_IWUSR);
}

// Why `path` could not be written, in the user's words: a read-only file, a folder
// that cannot take the file written beside it ("フォルダに書き込めません"), or the
// system's text for `errorNumber` (a full disk); empty when nothing is known.
std::string WriteFailureReason(const std::string& path, int errorNumber) {
    if (path.empty()) return std::strerror(ENOENT);
    if (IsReadOnlyFile(path)) return "読み出し専用です";
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return std::strerror(EISDIR);
    // The new bytes go into a file beside the target first, so the folder must take one.
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    if (::stat(folder.c_str(), &status) != 0) return std::strerror(errno);
    if (!S_ISDIR(status.st_mode)) return std::strerror(ENOTDIR);
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return kFolderNotWritable;
    return errorNumber != 0 ? std::strerror(errorNumber) : std::string();
}

// Whether `path` is, or leads through, a link someone else planted: one owned neither by
// this user nor by the owner of the folder it is in. The system would not follow it in
// a shared folder (a sticky one such as /tmp), and neither does a save, which otherwise
// writes the link's target, a file of this user's that the other user chose. A save
// follows a chain of links to its end, so each link of the chain counts.
bool IsForeignLink(const std::string& path) {
    std::filesystem::path at(path);
    for (int hops = 0; hops < 40; ++hops) {
        struct stat link {};
        if (::lstat(at.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return false;
        const std::filesystem::path folder = at.has_parent_path() ? at.parent_path() : std::filesystem::path(".");
        struct stat parent {};
        if (link.st_uid != ::geteuid() && (::stat(folder.c_str(), &parent) != 0 || parent.st_uid != link.st_uid))
            return true;
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(at, error);
        if (error) return false;
        at = target.is_absolute() ? target : folder / target;
    }
    return false;  // a loop of links: the save itself fails on it
}

// The new file takes the place of the old one: it keeps the old one's owner and group
// as an editor keeps them, so root's save of another user's file leaves it theirs and a
// file shared through its group stays shared. Where the system allows only the group
// (a member of it saving), or neither, the save goes ahead all the same.
void KeepOwnerAndGroup(int newFile, const std::string& path) {
    struct stat old {};
    if (newFile < 0 || ::stat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return;
    struct stat made {};
    if (::fstat(newFile, &made) != 0 || (made.st_uid == old.st_uid && made.st_gid == old.st_gid)) return;
    if (::fchown(newFile, old.st_uid, old.st_gid) == 0) return;
    [[maybe_unused]] const int groupOnly = ::fchown(newFile, static_cast<uid_t>(-1), old.st_gid);
}

}  // namespace

void MakeFolderForFile(const std::string& path, const std::string& folder) {
    // Each missing folder is made for this user alone (0700), as the base directory
    // rules ask of a configuration folder.
    std::filesystem::path made;
    for (const auto& part : std::filesystem::path(folder)) {
        made /= part;
        if (::mkdir(made.c_str(), 0700) == 0 || errno == EEXIST) continue;
        const int number = errno;
        throw CannotCreateFileError(path, number == EACCES || number == EPERM || number == EROFS ? kFolderNotWritable
                                                                                                : std::strerror(number));
    }
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        throw CannotCreateFileError(path, std::strerror(ENOTDIR));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    WriteFileAtomically(path, [bytes](const ByteSink& sink) { sink(bytes); });
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce) {
    // A read-only file (its owner may not write) is not replaced, not even by root,
    // who could: the user marked it so.
    if (IsReadOnlyFile(path)) throw CannotCreateFileError(path, WriteFailureReason(path, 0));
    if (IsForeignLink(path)) throw CannotCreateFileError(path, "他のユーザーのリンクです");
    QSaveFile file(QString::fromStdString(path));
    // A file that cannot be renamed over (a read-only folder) is not written in place
    // either: that would bring back the half-written file this exists to prevent.
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) throw CannotCreateFileError(path, WriteFailureReason(path, errno));
    KeepOwnerAndGroup(file.handle(), path);
    bool written = true;
    int writeError = 0;  // what the system said when a write failed (a full disk)
    produce([&](std::string_view bytes) {
        const auto size = static_cast<qint64>(bytes.size());
        errno = 0;
        if (written && file.write(bytes.data(), size) != size) {
            written = false;
            writeError = errno;
        }
        return written;
    });
    errno = 0;
    if (!written || !file.commit()) {
        if (writeError == 0) writeError = errno;
        file.cancelWriting();
        throw CannotCreateFileError(path, WriteFailureReason(path, writeError));
    }
}

void WritePrivateFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce) {
    // Closed and removed on every way out but a finished rename: the producer may throw.
    struct TemporaryFile {
        std::string path;
        int descriptor = -1;
        bool renamed = false;
        ~TemporaryFile() {
            if (descriptor >= 0) ::close(descriptor);
            if (!renamed) ::unlink(path.c_str());
        }
    };
    const std::filesystem::path target(path);
    TemporaryFile temporary{(target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string()};
    // mkostemp makes the file with O_EXCL and mode 0600: nothing planted at its name
    // (a link above all) is ever opened.
    temporary.descriptor = ::mkostemp(temporary.path.data(), O_CLOEXEC);
    if (temporary.descriptor < 0) {
        temporary.renamed = true;  // nothing was made to remove
        throw CannotCreateFileError(path, WriteFailureReason(path, errno));
    }
    int writeError = 0;
    produce([&](std::string_view bytes) {
        for (std::size_t done = 0; writeError == 0 && done < bytes.size();) {
            const ssize_t written = ::write(temporary.descriptor, bytes.data() + done, bytes.size() - done);
            if (written > 0) done += static_cast<std::size_t>(written);
            else if (errno != EINTR) writeError = errno != 0 ? errno : EIO;
        }
        return writeError == 0;
    });
    if (writeError == 0 && ::fsync(temporary.descriptor) != 0) writeError = errno;
    if (::close(std::exchange(temporary.descriptor, -1)) != 0 && writeError == 0) writeError = errno;
    if (writeError == 0 && ::rename(temporary.path.c_str(), path.c_str()) != 0) writeError = errno;
    if (writeError != 0) throw CannotCreateFileError(path, WriteFailureReason(path, writeError));
    temporary.renamed = true;
}
