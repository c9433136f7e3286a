#pragma once
// The user's own folders, and the checks that keep what the program writes there the
// user's alone. Other users may share the machine and its temporary folder: a folder
// the program keeps private files or its socket in must be a real folder (no link)
// that belongs to this user and that no one else may enter.

#include <QString>

#include <optional>
#include <string>

// $HOME, else the password database's home of this user: with HOME unset, files must
// not land in the root folder's "/.config".
QString HomeFolder();

// The value of an XDG base-folder variable when it counts: an absolute path that is
// not someone else's folder (one that does not exist yet counts, the program makes
// it). A relative or foreign one is ignored, and `fallback` is used.
QString XdgFolder(const QString& value, const QString& fallback);

// Whether `folder` is a folder itself (not a link to one), owned by this user, with
// no permission for anyone else.
bool IsPrivateFolder(const QString& folder);

// Makes `folder` (and the folders above it, 0700) for this user alone, tightening a
// folder of the user's own that others could enter. Nothing when it is private now;
// otherwise why not (a link, a file, someone else's folder, or the system's reason).
std::optional<std::string> MakePrivateFolder(const QString& folder);

// A short name for a path (12 hex digits of its FNV-1a hash): the same for the same
// path on every start, so two files of the same name in different folders, or two
// settings files, get names of their own.
QString ShortPathHash(const QString& path);
