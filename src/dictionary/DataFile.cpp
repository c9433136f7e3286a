#include "dictionary/DataFile.h"

#include "common/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes the descriptor on every path out, keeping errno for the error report.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ < 0) return;
        const int saved = errno;
        ::close(fd_);
        errno = saved;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Reads this large measure as fast as one read of the whole file, and a read never
// has to take more than the system allows at once (2 GB).
constexpr std::size_t kReadChunk = std::size_t{16} << 20;

FileStamp StampFrom(const struct stat& info) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino), info.st_size,
            info.st_mtim.tv_sec, info.st_mtim.tv_nsec, info.st_ctim.tv_sec, info.st_ctim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return StampFrom(info);
}

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    // O_NONBLOCK: a named pipe given as the data file must fail, not hang the window.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throw SystemError(errno);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw SystemError(errno);
    // A folder opens for reading here; say so rather than fail with a code that
    // names no cause.
    if (S_ISDIR(info.st_mode)) throw SystemError(EISDIR);
    result.size = static_cast<std::uint64_t>(info.st_size);
    result.stamp = StampFrom(info);
    // An empty file fails with EINVAL ("nothing to map"), as the program has always
    // reported it; a pipe or device reports no size and fails the same way instead of
    // being read forever.
    if (result.size == 0) throw SystemError(EINVAL);
    if (result.size > std::numeric_limits<std::size_t>::max()) throw SystemError(EFBIG);

    // read() rather than copying from a mapping of the file: at least as fast, and a file cut
    // short meanwhile is an ordinary short read instead of a bus error.
    const auto length = static_cast<std::size_t>(result.size);
    result.text = ByteBuffer(length);
    char* const to = result.text.data();
    for (std::size_t done = 0; done < length;) {
        const ssize_t got =
            ::pread(file.get(), to + done, std::min(length - done, kReadChunk), static_cast<off_t>(done));
        if (got < 0) {
            if (errno == EINTR) continue;
            throw SystemError(errno);
        }
        if (got == 0) throw SystemError(EIO);  // the file is shorter than it was a moment ago
        done += static_cast<std::size_t>(got);
    }
    return result;
}
