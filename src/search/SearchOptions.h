#pragma once
// The options a search reads from the search panel's check boxes and radio buttons.

// The fields a search looks in; the numbers are those of the record page's field kinds.
enum SearchScopeValue : int {
    kWholeRecordScope = 0,
    kHeadwordScope = 1,
    kTranslationScope = 2,
    kExamplesScope = 3,
};

struct SearchOptions {
    bool multiKey = true;    // split the request at blanks into up to three keys
    bool andMatch = false;   // a record must hold every key (with two or more keys)
    bool wordMatch = true;   // single-byte hits must be whole words
    int scope = kWholeRecordScope;
};
