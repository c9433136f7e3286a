#pragma once
// Reading a data file in one piece.

#include <cstdint>
#include <string>

struct FileContents {
    std::string text;        // every byte of the file
    std::uint64_t size = 0;  // the file's size in bytes; never cut to 32 bits
};

// Maps the file (a UTF-8 path) read-only and copies it once into memory. Every
// failure, an empty file included (it cannot be mapped), raises
// "Win32 エラー。コード : %d.\n%s" with the system's error number and text.
FileContents ReadWholeFile(const std::string& path);
