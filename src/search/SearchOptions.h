#pragma once
// The options a search reads from the search panel's check boxes and radio buttons.

#include "dictionary/RecordLine.h"

struct SearchOptions {
    bool multiKey = true;    // split the request at blanks into up to three keys
    bool andMatch = false;   // a record must hold every key (with two or more keys)
    bool wordMatch = true;   // single-byte hits must be whole words
    RecordField scope = RecordField::WholeRecord;  // the fields a search looks in
};
