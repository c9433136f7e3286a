#pragma once
// The errors the program raises. Each carries the text the application-wide error
// report shows after "エラー発生 ", in UTF-8.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

class QuillorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "リストのインデックスが範囲を超えています (%d)": a line number a text does not hold.
QuillorError ListIndexError(std::int64_t index);

// "ファイル %s を作成できません": a file that could not be written; with a reason,
// followed by ": " and the reason, so the user learns what to change.
QuillorError CannotCreateFileError(std::string_view path, std::string_view reason = {});

// "Win32 エラー。コード : %d.\n%s" with the system's error number and its text; the
// message users of the program know from every failed file operation.
QuillorError SystemError(int errorNumber);
