#pragma once
// Large dictionaries for measuring: realistic record lengths and content (English
// headwords, Japanese translations in code page 932, example sentences with "./ "
// breaks, superscripts and subscripts) and a chosen share of damaged lines.

#include <cstdint>
#include <string>
#include <string_view>

struct GeneratorOptions {
    std::int64_t lines = 1'000'000;
    double noNumShare = 0.001;     // lines without the number separator
    double noTitleShare = 0.001;   // lines without "///"
    double noYakuShare = 0.001;    // lines without ":::"
    std::uint32_t seed = 932;
};

// The whole file, CR LF line ends.
std::string GenerateDictionary(const GeneratorOptions& options);

// A dictionary of `lines` records written as real ones are: the records of a real
// dictionary file (`sample`, code page 932) over and over, renumbered.
std::string GenerateLike(std::string_view sample, std::int64_t lines);
