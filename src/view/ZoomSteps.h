#pragma once
// The zoom levels Ctrl++ and Ctrl+- step through, in percent, as a browser's are.

#include "common/SettingsFile.h"

// The next level up (direction > 0) or down (direction < 0) from `percent`, which
// need not be a level itself; the ends of the range stay where they are.
int NextZoomStep(int percent, int direction) noexcept;

// `percent` held within kZoomMinPercent to kZoomMaxPercent.
int ClampZoom(int percent) noexcept;
