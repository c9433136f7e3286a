#include "session/ReadingHistory.h"

void ReadingHistory::Start(const QString& dataFile) {
    dataFile_ = dataFile;
    trail_.clear();
    position_ = 0;
    onStep_ = false;
    read_ = false;
}

void ReadingHistory::Read() {
    if (read_) return;
    read_ = true;
    if (store_) trail_ = store_->Trail(dataFile_);
    if (trail_.size() > kStepCap) trail_.erase(trail_.begin(), trail_.end() - kStepCap);
    position_ = trail_.size();
}

void ReadingHistory::Shown(HistoryStep step) {
    Read();
    const auto same = [&](const HistoryStep& kept) { return kept.line == step.line && kept.lineHash == step.lineHash; };
    if (position_ == trail_.size() && !trail_.empty()) position_ = trail_.size() - 1;  // after a load: the newest
    if (position_ < trail_.size() && same(trail_[position_])) {
        onStep_ = true;
        return;
    }
    if (position_ + 1 < trail_.size()) {
        std::vector<std::int64_t> ahead;
        for (auto it = trail_.begin() + static_cast<std::ptrdiff_t>(position_) + 1; it != trail_.end(); ++it)
            if (it->id != 0) ahead.push_back(it->id);
        trail_.erase(trail_.begin() + static_cast<std::ptrdiff_t>(position_) + 1, trail_.end());
        if (store_ && !ahead.empty()) store_->LeaveTrail(ahead);
    }
    step.dataFile = dataFile_;
    if (store_) step.id = store_->AddStep(step);
    trail_.push_back(std::move(step));
    if (trail_.size() > kStepCap) trail_.erase(trail_.begin());
    position_ = trail_.size() - 1;
    onStep_ = true;
}

// Off the trail, back returns to the step shown last itself.
std::ptrdiff_t ReadingHistory::FirstBack() const noexcept {
    const auto position = static_cast<std::ptrdiff_t>(position_);
    if (position_ == trail_.size()) return position - 1;
    return onStep_ ? position - 1 : position;
}

std::ptrdiff_t ReadingHistory::FirstForward() const noexcept {
    return position_ == trail_.size() ? static_cast<std::ptrdiff_t>(trail_.size()) : static_cast<std::ptrdiff_t>(position_) + 1;
}

std::optional<ReadingHistory::Found> ReadingHistory::Back(const Finder& find) {
    Read();
    return Move(find, FirstBack(), -1);
}

std::optional<ReadingHistory::Found> ReadingHistory::Forward(const Finder& find) {
    Read();
    return Move(find, FirstForward(), +1);
}

std::optional<ReadingHistory::Found> ReadingHistory::Move(const Finder& find, std::ptrdiff_t from, int direction) {
    std::size_t skipped = 0;
    const auto size = static_cast<std::ptrdiff_t>(trail_.size());
    for (std::ptrdiff_t at = from; at >= 0 && at < size; at += direction) {
        HistoryStep& step = trail_[static_cast<std::size_t>(at)];
        if (const std::optional<std::int64_t> line = find(step)) {
            step.line = *line;  // where it stands now, for the next step back to it
            position_ = static_cast<std::size_t>(at);
            onStep_ = true;
            return Found{step, *line, skipped};
        }
        ++skipped;
    }
    return std::nullopt;
}
