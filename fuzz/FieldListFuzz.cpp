// Any bytes as a field list: reading and writing fields never fails or loops, and a
// field written is read back as written when its value quotes cleanly.
#include "common/StringHelpers.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const int n = 1 + data[0] % 5;
    const std::string list(reinterpret_cast<const char*>(data + 1), size - 1);
    (void)GetField(list, n);
    (void)StrToIntLoose(list);
    const std::string written = SetField(list, n, "value");
    if (list.find_first_of("\"'") == std::string::npos && GetField(written, n) != "value") __builtin_trap();
    return 0;
}
