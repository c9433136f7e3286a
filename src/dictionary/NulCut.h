#pragma once
// A NUL byte ends a data file's text: the load keeps nothing from it on. The user
// hears of it after the load, and is asked before a save over that same file would
// drop those bytes for good.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// "NUL 文字以降の n バイトは読み込まれていません" (UTF-8).
std::string NulCutNotice(std::uint64_t bytes);

// What the status bar's message panel says after a load (UTF-8): the NUL notice and the
// damage report, the notice first since it warns of a loss; either alone; or nothing.
std::optional<std::string> LoadNotice(std::uint64_t bytesCutAtNul, const std::optional<std::string>& damageText);

// Whether a status text is one LoadNotice wrote, so the next load can take it back.
bool IsLoadNotice(std::string_view utf8);

// The bytes a save to `target` would lose: those a NUL byte kept out of the load of
// `loadedFrom`, when both name the same existing file (UTF-8 paths; links followed);
// 0 otherwise.
std::uint64_t BytesLostBySaving(const std::string& target, const std::string& loadedFrom,
                                std::uint64_t bytesCutAtNul);

// The question before such a save (UTF-8).
std::string LostBytesQuestion(const std::string& target, std::uint64_t bytes);
