#pragma once
// Reading a data file in one piece.

#include "common/ByteBuffer.h"

#include <cstdint>
#include <string>

struct FileContents {
    ByteBuffer text;         // every byte of the file
    std::uint64_t size = 0;  // the file's size in bytes; never cut to 32 bits
};

// Reads the whole file (a UTF-8 path) into memory. Every failure raises
// "Win32 エラー。コード : %d.\n%s" with the system's error number and text: an
// empty file (nothing to map) with EINVAL, as do a pipe or device, which have no
// size; a file that another program shortens during the read with EIO.
FileContents ReadWholeFile(const std::string& path);
