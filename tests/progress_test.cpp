#include "engine/progress.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/hashing_pass.h"

namespace sw {
namespace {

TEST(ProgressTest, OverallBarPosition) {
  const struct {
    int32_t index, count, percent, overall;
  } cases[] = {
      {1, 3, 0, 0},     {1, 3, 50, 16}, {2, 3, 0, 33},   {2, 3, 100, 66},
      {3, 3, 100, 100}, {3, 4, 50, 62}, {30, 50, 0, 57}, {1, 1, 1048576000, 1048576000},
      {1, 0, 0, 0},     {2, 0, 50, 0},
  };
  for (const auto& c : cases) {
    const BarPositions p = barPositions(c.index, c.count, c.percent);
    EXPECT_EQ(p.file, c.percent);
    EXPECT_EQ(p.overall, c.overall) << c.index << "/" << c.count << " at " << c.percent;
  }
}

TEST(ProgressTest, BarsClamp) {
  const struct {
    int32_t given, shown;
  } cases[] = {{-1, 0},
               {0, 0},
               {57, 57},
               {100, 100},
               {101, 100},
               {1048576000, 100},
               {std::numeric_limits<int32_t>::min(), 0}};
  for (const auto& c : cases) EXPECT_EQ(clampBarPosition(c.given), c.shown) << c.given;
}

TEST(ProgressTest, FilePercentAfterEachChunk) {
  constexpr int64_t kChunk = kChunkSize;
  const struct {
    int64_t size;
    std::vector<int32_t> afterChunks;
  } cases[] = {
      {9, {116508444}},          {1000, {1048576}},       {1, {1048576000}},
      {kChunk, {100}},           {kChunk + 1, {99, 199}}, {26214400, {40, 80, 120}},
      {5368709120LL, {0, 0, 0}},  // the full 64-bit size: 10 MiB of 5 GiB is 0.19 %
  };
  for (const auto& c : cases) {
    int64_t counted = 0;
    for (int32_t want : c.afterChunks) {
      counted += kChunk;
      EXPECT_EQ(percentOfFile(counted, c.size), want) << c.size << " after " << counted;
    }
  }
  EXPECT_EQ(percentOfFile(kChunk, 0), 0);
}

}  // namespace
}  // namespace sw
