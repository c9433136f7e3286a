#pragma once
// The base forms an English word may be inflected from, by the rules of English
// inflection: regular, Latin and Greek plurals, verb forms, comparatives, and a table
// of irregular forms. Rules propose; the dictionary decides: a caller keeps only the
// candidates that are headwords, trying them in the order given here.
//
// Words are ASCII bytes; letters are compared without regard to case and candidates
// come back in lower case.

#include <string>
#include <string_view>
#include <vector>

struct BaseFormCandidate {
    std::string base;  // lower case
    std::string step;  // the rule or rules applied, as "bacilli → bacillus" names them: "-i → -us"
    int depth = 1;     // rules applied: 1 or 2
    int weight = 0;    // how specific the last rule was: the longer the ending it matched, the higher
};

// Every base form the rules give for `word`, one step deep and then two, each once:
// first the irregular forms, then by depth, then the more specific rule first, then
// in the order of the rule table. Nothing for a word that is not all ASCII letters
// (a hyphen or an apostrophe inside allowed), nor for one shorter than three letters.
std::vector<BaseFormCandidate> CandidateBaseForms(std::string_view word);
