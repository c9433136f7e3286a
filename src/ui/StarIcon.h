#pragma once
// The word list's mark: a star drawn as an outline while the record shown is not on
// the list and filled while it is, so a checked tool button reads at a glance in any
// style (no icon theme holds one everywhere).

#include <QIcon>

QIcon StarIcon();
