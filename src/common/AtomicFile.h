#pragma once
// Every file the program writes goes through here: written whole to a temporary file
// in the same folder and renamed over the target, so a crash or a full disk never
// leaves a half-written dictionary or settings file.

#include <functional>
#include <string>
#include <string_view>

// Writes `bytes` to `path` (a UTF-8 file name), keeping the permissions, and where the
// system allows it the owner and group, of a file that is replaced. Raises
// "ファイル %s を作成できません: <reason>" when the file cannot be written or is
// read-only (no owner-write permission), and then leaves any existing file as it was.
// A link at `path` is followed only when it is this user's own or the folder owner's:
// one another user planted is refused ("他のユーザーのリンクです").
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// The same for bytes made while they are written: `produce` hands them to the sink
// piece by piece, so a large text is never assembled in memory first. The sink
// answers false once a write has failed; producing may stop there.
using ByteSink = std::function<bool(std::string_view bytes)>;
void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce);

// Writes a new file of this user's alone (mode 0600, owner only) at `path`: the bytes
// go to a file made exclusively beside it, never through a link, which is then renamed
// over whatever stood at `path` (a link there is replaced, not followed). Safe in a
// folder others can write. Raises as WriteFileAtomically does.
void WritePrivateFileAtomically(const std::string& path, const std::function<void(const ByteSink& sink)>& produce);

// Makes `folder` and the folders above it, for the file `path` to be written into it.
// Raises "ファイル <path> を作成できません: <reason>" when a folder cannot be made.
void MakeFolderForFile(const std::string& path, const std::string& folder);
