#include "view/ZoomSteps.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array kSteps{25, 33, 50, 67, 75, 80, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
static_assert(kSteps.front() == kZoomMinPercent && kSteps.back() == kZoomMaxPercent);

}  // namespace

int ClampZoom(int percent) noexcept { return std::clamp(percent, kZoomMinPercent, kZoomMaxPercent); }

int NextZoomStep(int percent, int direction) noexcept {
    if (direction > 0) {
        const auto next = std::upper_bound(kSteps.begin(), kSteps.end(), percent);
        return next == kSteps.end() ? kSteps.back() : *next;
    }
    if (direction < 0) {
        const auto next = std::lower_bound(kSteps.begin(), kSteps.end(), percent);
        return next == kSteps.begin() ? kSteps.front() : *(next - 1);
    }
    return ClampZoom(percent);
}
