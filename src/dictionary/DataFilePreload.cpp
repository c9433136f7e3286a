#include "dictionary/DataFilePreload.h"

struct DataFilePreload::Read {
    FileContents contents;
};

DataFilePreload::DataFilePreload(std::string path) : path_(std::move(path)) {
    read_ = std::async(std::launch::async, [path = path_]() -> std::unique_ptr<Read> {
        try {
            FileContents contents = ReadWholeFile(path);
            // A file written to or replaced during the read is left to the load to read again.
            if (StampOf(path) != contents.stamp) return nullptr;
            return std::make_unique<Read>(Read{std::move(contents)});
        } catch (...) {
            return nullptr;  // the load reads the file itself and reports what fails
        }
    });
}

DataFilePreload::~DataFilePreload() { WaitUntilRead(); }

void DataFilePreload::WaitUntilRead() const {
    if (read_.valid()) read_.wait();
}

std::optional<FileContents> DataFilePreload::Take(const std::string& path) {
    if (path != path_ || !read_.valid()) return std::nullopt;
    const std::unique_ptr<Read> read = read_.get();
    if (!read || StampOf(path) != read->contents.stamp) return std::nullopt;
    return std::move(read->contents);
}
