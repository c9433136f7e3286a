#pragma once
// The status bar's three panels, left to right: what a command reports where.

enum class StatusPanel {
    Position,  // the record number, the caret's place, the file size
    Count,     // the search's key and hit counts
    Message,   // notices, errors and the search text
};
inline constexpr int kStatusPanelCount = 3;
