#include "search/SearchSession.h"

#include "dictionary/RecordLine.h"

#include <cstdio>

namespace {

constexpr std::size_t kShortestSearchText = 256;

}  // namespace

std::string HitCounterText(std::int64_t number) {
    char text[32];
    std::snprintf(text, sizeof text, "%-5lld", static_cast<long long>(number));
    return text;
}

std::string HitAllText(std::int64_t hitAll) { return "HitAll=" + std::to_string(hitAll); }

bool SearchSession::Run(const SearchRequestInput& request, const TextLines& fullText, const Separators& separators,
                        SearchSink& sink) {
    for (int panel = 0; panel < kStatusPanelCount; ++panel) sink.SetStatus(static_cast<StatusPanel>(panel), {});
    options_ = request.options;
    sink.SetStatus(StatusPanel::Message, "お待ちください");

    if (!buffer_.IsBuilt()) buffer_.Build(fullText);
    if (buffer_.Text().size() < kShortestSearchText) {
        sink.SetStatus(StatusPanel::Message, "対象文字列長が255以下です");
        return false;
    }
    const std::int64_t lineCount = buffer_.LineCount();
    sink.SetStatus(StatusPanel::Position, "行数:" + std::to_string(lineCount));
    if (lineCount < 2) {
        sink.SetStatus(StatusPanel::Message, "対象文字列行数が2以下です");
        return false;
    }

    KeySlots keys;
    const int keyCount = FilterKeys(SplitKeys(request.bytes, options_.multiKey, keys), keys, request.ignoredWords);
    keys_ = keys;
    sink.SetStatus(StatusPanel::Message, request.typedText);
    sink.SetStatus(StatusPanel::Count, "キー数:" + std::to_string(keyCount));
    if (keyCount == 0) {
        sink.SetStatus(StatusPanel::Message, "検索キーが未指定です");
        return false;
    }
    if (keyCount == 1) options_.andMatch = false;

    hits_.Clear();
    resultCount_ = 0;
    sink.ResetHitCounter();

    hitAll_ = hits_.CollectHits(buffer_.Text(), keys);
    sink.SetStatus(StatusPanel::Count, HitAllText(hitAll_));
    sink.RepaintStatus();
    if (keyCount == 1 && hitAll_ > request.maxOfSelection) {
        sink.SetStatus(StatusPanel::Message, std::to_string(request.maxOfSelection) + "件を超えた結果があります");
        return false;
    }
    if (hitAll_ == 0) {
        sink.SetStatus(StatusPanel::Message, "見つかりません");
        return false;
    }
    resultCount_ = hits_.BuildResultList(keyCount, keys, buffer_, options_, separators);
    if (resultCount_ == 0) {
        sink.SetStatus(StatusPanel::Message, "条件に一致しません");
        return false;
    }
    return true;
}
