#pragma once
// The field list the hit list was first kept in: a one-line, comma-separated record
// with optional quoting. The literal search edits its hit list in this form, so the
// fast one is compared with it here.
//
// All texts are code page 932 bytes. The full-width comma and the ideographic space
// are recognised as whole characters; the ASCII separators and quotes are below 0x40
// and so can never be the second byte of a double-byte character. None of these
// functions fails: bad input gives the empty text.

#include <string>
#include <string_view>
#include <vector>

class HitList;

// Double quotes when the value holds a single quote; otherwise single quotes when
// it holds a space, ",", the full-width comma, the ideographic space or a double
// quote; otherwise the value as it is. A value holding both quote characters
// cannot be read back intact.
std::string QuoteField(std::string_view value);

// Removes one enclosing pair of double quotes, then one enclosing pair of single
// quotes from what is left. Ends of different quote kinds are left alone.
std::string UnquoteField(std::string_view s);

// Field n (from 1) of a field list, trimmed and unquoted; empty when there is no
// such field. A list without a comma is a single field returned exactly as is.
// An unmatched opening quote makes its field and every later one read as empty.
std::string GetField(std::string_view list, int n);

// The field list with field n (from 1) replaced by the quoted value. Fields before
// it are rewritten trimmed and with normalised quotes, fields after it are copied
// as they stand, and a list shorter than n is padded with empty fields. A list
// without a comma comes back with a comma after the new value.
std::string SetField(std::string_view list, int n, std::string_view value);

// The hit list in the form the literal search keeps it: raw hits "offset,key", or
// result entries "%.09d-%s" (the line in nine digits, then the headword).
std::vector<std::string> FieldListEntries(const HitList& hits);
