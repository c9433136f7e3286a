#pragma once
// The record page: one dictionary line turned into the small HTML page the browser
// view shows, with the number and headword as its title, the three fields in their
// fragments, "~" and "_" rendered as superscript and subscript, and the last
// search's keys marked on request.
//
// Everything stays code page 932 bytes and no byte of the line is rewritten. The
// field rules read characters as Sjis::NextCharPos steps over the bytes as they
// stand at each step, so a "~", "_" or key byte that is the second byte of a
// double-byte character is neither a mark nor a match.

#include "common/ViewStrings.h"
#include "dictionary/RecordLine.h"

#include <string>
#include <string_view>

// What the page is built with: the dictionary's separators, the page fragments, and
// the last search's keys with the field it looked in.
struct MarkupState {
    const Separators& separators;
    const PageFragments& fragments;
    const KeySlots& keys;
    RecordField searchScope = RecordField::WholeRecord;
};

// The field with the character after each "~" raised, then the character after each
// "_" lowered, then, when `markKeys` is set and the last search looked in this kind
// of field, every occurrence of each key wrapped in the key-mark fragments. Each step
// reads the text as the earlier ones left it, tags included.
std::string MarkupField(RecordField kind, std::string_view text, bool markKeys, const MarkupState& state);

// The page of one line: empty for a blank line, the trimmed line itself (no HTML)
// when a separator is missing.
std::string BuildRecordPage(std::string_view line, bool markKeys, const MarkupState& state);
