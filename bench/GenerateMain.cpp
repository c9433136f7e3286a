// Writes a generated dictionary: quillor_generate FILE [LINES]
#include "GenerateDictionary.h"

#include "common/AtomicFile.h"

#include <cstdio>
#include <string>

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [LINES]\n", argv[0]);
        return 2;
    }
    GeneratorOptions options;
    if (argc > 2) options.lines = std::stoll(argv[2]);
    const std::string text = GenerateDictionary(options);
    WriteFileAtomically(argv[1], text);
    std::printf("%s: %lld lines, %zu bytes\n", argv[1], static_cast<long long>(options.lines), text.size());
    return 0;
}
