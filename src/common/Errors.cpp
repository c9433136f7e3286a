#include "common/Errors.h"

#include <cstring>

QuillorError ListIndexError(std::int64_t index) {
    return QuillorError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

QuillorError CannotCreateFileError(std::string_view path, std::string_view reason) {
    std::string text = "ファイル " + std::string(path) + " を作成できません";
    if (!reason.empty()) text.append(": ").append(reason);
    return QuillorError(text);
}

QuillorError SystemError(int errorNumber) {
    if (errorNumber == 0) return QuillorError("Win32 API 呼び出しに失敗しました");
    return QuillorError("Win32 エラー。コード : " + std::to_string(errorNumber) + ".\n" +
                        std::strerror(errorNumber));
}
