#pragma once
// Reading a data file in one piece.

#include "common/ByteBuffer.h"

#include <cstdint>
#include <optional>
#include <string>

// What tells one state of a file from another without reading it. The change time
// comes along because a program can put the modification time back after a rewrite of
// the same size; no one can set the change time.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    std::int64_t changedSeconds = 0;
    std::int64_t changedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file at `path` (a UTF-8 path) as it stands; nothing when there is none.
std::optional<FileStamp> StampOf(const std::string& path);

struct FileContents {
    ByteBuffer text;         // every byte of the file
    std::uint64_t size = 0;  // the file's size in bytes; never cut to 32 bits
    FileStamp stamp;         // the file read, from the descriptor it was read through, before the read
};

// Reads the whole file (a UTF-8 path) into memory. Every failure raises
// "Win32 エラー。コード : %d.\n%s" with the system's error number and text: an
// empty file (nothing to map) with EINVAL, as do a pipe or device, which have no
// size; a file that another program shortens during the read with EIO.
FileContents ReadWholeFile(const std::string& path);
