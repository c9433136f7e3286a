#pragma once
// Icons the desktop's theme does not hold everywhere, drawn here so that they read the
// same in every style: the word list's star, an outline while the record shown is not
// on the list and filled while it is; and the history's curved arrows, which must not
// look like the straight arrows that step through the file.

#include <QIcon>

QIcon StarIcon();
// Back (a curve turning left) or forward (turning right).
QIcon HistoryArrowIcon(bool forward);
