#pragma once
// Rows of fields as spreadsheets write them (RFC 4180): fields parted by one separator
// byte, records ended by LF or CR LF, and a field that starts with a double quote runs
// to the next quote not doubled, across separators and line breaks, with "" read as one
// quote. Bytes are taken as they are: the separators, quotes and line ends are ASCII,
// so UTF-8 text passes through whole.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DelimitedRecord {
    std::int64_t line = 0;  // the 1-based line it starts on
    std::vector<std::string> fields;
};

struct DelimitedRows {
    std::vector<DelimitedRecord> records;
    std::int64_t unclosedQuoteLine = 0;  // the line of a quote the text ends inside; 0 when none
};

// The records of `text`, whose first line is line `firstLine` of its file. Empty lines
// give no record. A quote inside an unquoted field, and what follows a closing quote up
// to the next separator, are kept as text. A lone CR is text too. Records and fields are
// those before an unclosed quote, which is reported instead of read.
DelimitedRows SplitDelimited(std::string_view text, char separator, std::int64_t firstLine);

// Appends `field` to `out`, in quotes with its quotes doubled when it holds the
// separator, a quote, a CR or an LF.
void AppendDelimitedField(std::string& out, std::string_view field, char separator);
