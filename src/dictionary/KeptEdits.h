#pragma once
// Edits kept when the program is made to end (a logout, `kill`) with the full text
// unsaved, and found again when their data file is next opened, as an editor's swap
// file is. Files named after the data file and a short hash of its full path (two data
// files of one name do not meet), private to the user (0600) and written anew, never
// through a link, so a folder others can write cannot turn the keeping against the
// user. Kept edits the user left for later are never replaced by newer ones: those
// take the next number.

#include <QString>
#include <QStringList>

#include <optional>

class TextLines;

// The `number`th kept edits' file for `dataFile` (empty when none was loaded) in
// `folder`: "<name>.<hash>.unsaved", then "<name>.<hash>.2.unsaved" and so on.
QString KeptEditsFile(const QString& folder, const QString& dataFile, int number = 1);

// Writes `lines` as kept edits of `dataFile` into the first of `folders` that takes
// them, under `replacing` when that is in the folder (the kept edits the view holds
// now), else under the first number free; the state folder `privateFolder` is made
// private first when it is one of them. The file written; raises the last failure
// when no folder took them.
QString KeepEdits(const QStringList& folders, const QString& privateFolder, const QString& dataFile,
                  const TextLines& lines, const QString& replacing = QString());

// The newest kept edits of `dataFile` in `folders`: a file of this user's own, not a
// link; nothing when there are none.
std::optional<QString> FindKeptEdits(const QStringList& folders, const QString& dataFile);
