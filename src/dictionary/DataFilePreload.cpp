#include "dictionary/DataFilePreload.h"

#include <sys/stat.h>

#include <tuple>

namespace {

// What tells one state of a file from another without reading it.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    bool operator==(const FileStamp& other) const {
        return std::tie(device, inode, size, modifiedSeconds, modifiedNanoseconds) ==
               std::tie(other.device, other.inode, other.size, other.modifiedSeconds, other.modifiedNanoseconds);
    }
};

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileStamp{info.st_dev, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec};
}

}  // namespace

struct DataFilePreload::Read {
    FileContents contents;
    FileStamp stamp;  // the file as it stood before and after the read
};

DataFilePreload::DataFilePreload(std::string path) : path_(std::move(path)) {
    read_ = std::async(std::launch::async, [path = path_]() -> std::unique_ptr<Read> {
        try {
            const auto before = StampOf(path);
            if (!before) return nullptr;
            FileContents contents = ReadWholeFile(path);
            // A file written to during the read is left to the load to read again.
            if (StampOf(path) != before) return nullptr;
            return std::make_unique<Read>(Read{std::move(contents), *before});
        } catch (...) {
            return nullptr;  // the load reads the file itself and reports what fails
        }
    });
}

DataFilePreload::~DataFilePreload() {
    if (read_.valid()) read_.wait();
}

std::optional<FileContents> DataFilePreload::Take(const std::string& path) {
    if (path != path_ || !read_.valid()) return std::nullopt;
    const std::unique_ptr<Read> read = read_.get();
    if (!read || StampOf(path) != read->stamp) return std::nullopt;
    return std::move(read->contents);
}
