#pragma once
// Reading a data file ahead of its load, on a thread of its own: at start-up the
// dictionary is read while the window and the browser engine are being built. The
// load takes the bytes only when they are those of the file it asks for, as that
// file stands when it asks; anything else (another file, a file changed or replaced
// meanwhile, a failed read) leaves the load to read the file itself, so the guess
// of which file to read is never more than a guess.

#include "dictionary/DataFile.h"

#include <future>
#include <memory>
#include <optional>
#include <string>

class DataFilePreload {
public:
    explicit DataFilePreload(std::string path);  // starts reading `path` (UTF-8)
    ~DataFilePreload();                           // waits for the read to end
    DataFilePreload(const DataFilePreload&) = delete;
    DataFilePreload& operator=(const DataFilePreload&) = delete;

    // The contents read, when `path` names the file read and that file is unchanged
    // since (the same file, size, modification and change time); taken once.
    std::optional<FileContents> Take(const std::string& path);

    // Waits for the read to end (Take waits by itself).
    void WaitUntilRead() const;

private:
    struct Read;
    std::string path_;
    std::future<std::unique_ptr<Read>> read_;  // none when the read failed
};
