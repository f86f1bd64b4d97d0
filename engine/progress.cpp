#include "engine/progress.h"

#include "engine/text.h"

namespace sw {

BarPositions barPositions(int32_t currentIndex, int32_t fileCount, int32_t filePercent) {
  const double a = (static_cast<double>(currentIndex) - 1.0) / fileCount * 100.0;
  const double b = static_cast<double>(filePercent) / fileCount;
  return {filePercent, truncateToInt32(a + b)};
}

int32_t clampBarPosition(int32_t position) {
  return position < 0 ? 0 : position > 100 ? 100 : position;
}

}  // namespace sw
