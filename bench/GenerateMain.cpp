// Writes a dictionary for measuring:
//   quillor_generate FILE [LINES]                  generated records
//   quillor_generate FILE LINES --like SAMPLE      a real dictionary's records, repeated
#include "GenerateDictionary.h"

#include "common/AtomicFile.h"
#include "dictionary/DataFile.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char* argv[]) {
    if (argc < 2 || (argc > 3 && (argc != 5 || std::strcmp(argv[3], "--like") != 0))) {
        std::fprintf(stderr, "usage: %s FILE [LINES [--like SAMPLE]]\n", argv[0]);
        return 2;
    }
    GeneratorOptions options;
    if (argc > 2) options.lines = std::stoll(argv[2]);
    const std::string text =
        argc == 5 ? GenerateLike(ReadWholeFile(argv[4]).text, options.lines) : GenerateDictionary(options);
    WriteFileAtomically(argv[1], text);
    std::printf("%s: %lld lines, %zu bytes\n", argv[1], static_cast<long long>(options.lines), text.size());
    return 0;
}
