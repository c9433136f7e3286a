#include "dictionary/DataFile.h"

#include "common/Errors.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <csetjmp>
#include <csignal>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

#ifdef MADV_POPULATE_WRITE
constexpr int kPopulateWrite = MADV_POPULATE_WRITE;
#else
constexpr int kPopulateWrite = 23;  // Linux 5.14; older kernels refuse it harmlessly
#endif

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

class Mapping {
public:
    Mapping(void* address, std::size_t length) : address_(address), length_(length) {}
    ~Mapping() {
        if (address_ != MAP_FAILED) ::munmap(address_, length_);
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    const char* data() const { return static_cast<const char*>(address_); }

private:
    void* address_;
    std::size_t length_;
};

// Another program may shorten the file while it is copied (nothing on this system
// keeps writers out), and touching a mapped page past the new end raises SIGBUS.
// The copy catches that and fails like any other read instead of ending the program.
thread_local sigjmp_buf* t_copyJump = nullptr;

void OnBusError(int) { siglongjmp(*t_copyJump, 1); }

bool CopyGuarded(std::string& to, const char* from, std::size_t length) {
    sigjmp_buf jump;
    struct sigaction guard {}, previous {};
    guard.sa_handler = OnBusError;
    sigemptyset(&guard.sa_mask);
    ::sigaction(SIGBUS, &guard, &previous);
    t_copyJump = &jump;
    const bool copied = sigsetjmp(jump, 1) == 0;
    // Into the capacity reserved before: the copy allocates nothing a jump could leak.
    if (copied) to.assign(from, length);
    t_copyJump = nullptr;
    ::sigaction(SIGBUS, &previous, nullptr);
    return copied;
}

}  // namespace

FileContents ReadWholeFile(const std::string& path) {
    FileContents result;
    // O_NONBLOCK: a named pipe given as the data file must fail, not hang the window.
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throw SystemError(errno);

    struct stat info {};
    if (::fstat(file.get(), &info) != 0) throw SystemError(errno);
    // A folder opens for reading here; say so rather than let the mapping fail with a
    // code that names no cause.
    if (S_ISDIR(info.st_mode)) throw SystemError(EISDIR);
    result.size = static_cast<std::uint64_t>(info.st_size);

    const std::size_t length = static_cast<std::size_t>(result.size);
    const Mapping view(::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, file.get(), 0), length);
    if (view.data() == MAP_FAILED) throw SystemError(errno);

    // Faulting in the copy's pages one by one costs more than the copy itself; ask
    // for them all at once. An older kernel without this just faults them as before.
    result.text.reserve(length);
    const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<std::uintptr_t>(result.text.data()) + pageSize - 1) & ~(pageSize - 1);
    const auto last = (reinterpret_cast<std::uintptr_t>(result.text.data()) + length) & ~(pageSize - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, kPopulateWrite);
    if (!CopyGuarded(result.text, view.data(), length)) throw SystemError(EIO);
    return result;
}
