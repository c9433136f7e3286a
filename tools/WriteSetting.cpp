// quillor_write_setting INI SECTION KEY VALUE
// Writes one value into a settings file through the program's own writer (code page
// 932, quoted, CR LF), creating the file when it is missing. scripts/run uses it to
// point a first start at the sample dictionary.
#include "common/IniFile.h"
#include "common/Sjis.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s INI SECTION KEY VALUE\n", argv[0]);
        return 2;
    }
    const Sjis::Encoded value = Sjis::FromUtf8(argv[4]);
    if (!value.lossless) {
        std::fprintf(stderr, "%s: the value cannot be written in code page 932\n", argv[0]);
        return 1;
    }
    try {
        WriteIniValue(argv[1], argv[2], argv[3], true, value.bytes);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[0], error.what());
        return 1;
    }
    return 0;
}
