// The arithmetic of the two progress bars, shared by the window's timer and the console.
#pragma once

#include <cstdint>

namespace sw {

inline constexpr int32_t kProgressTimerPeriod = 50;  // milliseconds

struct BarPositions {
  int32_t file;     // 多功能条1, before clamping
  int32_t overall;  // 多功能条2, before clamping
};

// What one tick of the progress timer sets: the file bar to filePercent, the overall bar to
// ((currentIndex - 1) / fileCount) * 100 + filePercent / fileCount, in double precision, cut
// toward zero and taken as its low 32 bits.
BarPositions barPositions(int32_t currentIndex, int32_t fileCount, int32_t filePercent);

// A bar's range is 0 to 100; a position outside it is clamped (signed comparison).
int32_t clampBarPosition(int32_t position);

}  // namespace sw
