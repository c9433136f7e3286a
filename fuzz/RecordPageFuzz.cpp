// Any bytes as a record line and as a key: building the page never fails, and every
// byte of a line without the record format comes back in the page unchanged.
#include "common/StringHelpers.h"
#include "view/RecordMarkup.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t keyLength = data[0] % 8;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string key = input.substr(0, keyLength);
    const std::string line = input.substr(std::min(keyLength, input.size()));
    ViewStringTable viewStrings = DefaultViewStrings();
    viewStrings[ViewSlot::Key0] = key;
    viewStrings[ViewSlot::KeyMarkOpen] = "<B>";
    viewStrings[ViewSlot::KeyMarkClose] = "</B>";
    const std::string page = BuildRecordPage(line, true, MarkupState{viewStrings, 0});
    if (line.find("///") == std::string::npos && page != TrimBlanks(line)) __builtin_trap();
    return 0;
}
