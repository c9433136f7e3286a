#pragma once
// The keys headwords are compared by, from code page 932 bytes. A lookup finds a
// headword whatever the letter case and blanks the user typed around it; a spelling
// suggestion also looks past British spellings, so "haemorrhage" and "hemorrhage"
// are one word to it.

#include <string>
#include <string_view>

// The text with the blanks around it dropped (ASCII blanks and the ideographic space)
// and ASCII letters in lower case; the blanks inside stay as they are.
// The second byte of a double-byte character is never taken for a letter or a blank.
std::string LookupKey(std::string_view bytes);

// A lookup key with British spellings folded to American ones, in every word: "ae"
// and "oe" become "e" (anaemia, oedema), and at a word's end "our" becomes "or"
// (tumour) and "re" after a consonant becomes "er" (centre), in words of five letters
// or more so that "hour" and "acre" stay. "ph" stays.
std::string SpellingKey(std::string_view lookupKey);
