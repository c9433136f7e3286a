#pragma once
// Back and forward over the records read in one data file, as a browser steps through
// the pages it showed. The steps are kept in the store from one run to the next, so
// back after a restart leads to what was read last; without a store they last the run.
//
// The position is the step shown last (none after a load). A record shown that is no
// step (a record step along the file) leaves the trail: back then returns to the step
// shown last, forward to the one after it. Going back and then to another record drops
// the steps ahead from the trail, not from the history list.

#include "session/ReadingStore.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class ReadingHistory {
public:
    static constexpr std::size_t kStepCap = 10'000;  // per data file, as the store keeps them

    // A store given after a load is read at the next use.
    void SetStore(ReadingStore* store) noexcept {
        if (store != store_ && store) read_ = false;
        store_ = store;
    }
    // A data file was loaded: its trail is read from the store when first needed, or
    // when Read is called (after the load is shown: 10,000 steps take a few
    // milliseconds the load need not wait for); the position is after its newest step.
    void Start(const QString& dataFile);
    void Read();
    const QString& DataFile() const noexcept { return dataFile_; }

    // A record was shown by a lookup, a click, a result or a link: a new step, unless it
    // is the step at the position (a record shown again).
    void Shown(HistoryStep step);
    // A record was shown that is no step.
    void LeftTrail() noexcept { onStep_ = false; }

    // Until the trail is read, back may lead somewhere.
    bool CanGoBack() const noexcept { return !read_ || FirstBack() >= 0; }
    bool CanGoForward() const noexcept { return FirstForward() < static_cast<std::ptrdiff_t>(trail_.size()); }

    // Finds a step's record in the dictionary as it stands: its line, or none.
    using Finder = std::function<std::optional<std::int64_t>(const HistoryStep&)>;
    struct Found {
        HistoryStep step;
        std::int64_t line = 0;   // where its record is now
        std::size_t skipped = 0; // steps passed over whose record is gone
    };
    // The nearest step back or forward whose record is found; the position moves to it.
    // Nothing when there is none (the position stays).
    std::optional<Found> Back(const Finder& find);
    std::optional<Found> Forward(const Finder& find);

    // The steps of the trail, oldest first (for the tests and the window's list).
    const std::vector<HistoryStep>& Trail() const noexcept { return trail_; }

private:
    std::ptrdiff_t FirstBack() const noexcept;
    std::ptrdiff_t FirstForward() const noexcept;
    std::optional<Found> Move(const Finder& find, std::ptrdiff_t from, int direction);

    ReadingStore* store_ = nullptr;
    QString dataFile_;
    std::vector<HistoryStep> trail_;  // oldest first, at most kStepCap
    std::size_t position_ = 0;        // the step shown last; trail_.size() for none
    bool onStep_ = false;             // the page shows the step at the position
    bool read_ = true;                // the trail holds the store's steps of the data file
};
