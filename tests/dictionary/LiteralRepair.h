#pragma once
// The repair as first written, step by step: one line examined at a time, a damaged
// line deleted or appended to the line before it, then every line renumbered. Slow
// (a join copies the whole growing line) and plain, so the fast repair can be
// compared with it.

#include "dictionary/RecordLine.h"

#include <cstdint>
#include <string>

class TextLines;

struct LiteralRepair {
    std::string text;
    std::string log;
    std::int64_t d2 = 0;
    std::int64_t d3 = 0;
    std::int64_t noNum = 0;
};

LiteralRepair RepairLiterally(const TextLines& input, const Separators& separators);
