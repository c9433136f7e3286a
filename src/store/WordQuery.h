#pragma once
// The SQL of the word list's view: which entries a filter keeps, in which order.

#include "store/UserDatabase.h"

#include <QString>

// The LIKE pattern that finds `filter` anywhere, its own %, _ and \ taken literally
// (the statements say ESCAPE '\').
QString ContainsPattern(const QString& filter);

// The WHERE clause for a filter (three `?`, each bound to ContainsPattern), or "" for none.
QString FilterClause(bool filtered);

// The ORDER BY clause: the column (text without regard to case), then id the same way,
// read straight off the column's index; or, with `wholeTableFirst`, the index kept out,
// for a filter so few entries pass that reading the table once and sorting them is quicker.
QString OrderClause(WordOrder order, bool descending, bool wholeTableFirst);
