#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "engine/crc32_paths.h"

#include "tests/test_support.h"

namespace sw {
namespace {

std::array<uint32_t, kCrcTableEntries> table() {
  std::array<uint32_t, kCrcTableEntries> t{};
  buildCrcTable(t.data());
  return t;
}

uint32_t crcOf(std::string_view data) {
  const auto t = table();
  uint32_t v;
  startCrc(&v);
  updateCrc(t.data(), reinterpret_cast<const uint8_t*>(data.data()),
            static_cast<uint32_t>(data.size()), &v);
  finishCrc(&v);
  return v;
}

TEST(Crc32Test, TableIsTheStandardReflectedTable) {
  const auto t = table();
  EXPECT_EQ(t[0], 0u);
  EXPECT_EQ(t[1], 0x77073096u);
  EXPECT_EQ(t[128], 0xEDB88320u);
  EXPECT_EQ(t[255], 0x2D02EF8Du);
  // The right-shifting construction gives the same table.
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t r = i;
    for (int k = 0; k < 8; ++k) r = (r & 1) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    ASSERT_EQ(t[i], r) << i;
  }
}

TEST(Crc32Test, KnownAnswers) {
  const struct {
    std::string data;
    uint32_t crc;
  } cases[] = {
      {"", 0},
      {"123456789", 0xCBF43926u},
      {"abc", 0x352441C2u},
      {"62", 0x0012D20Au},
      {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
      {std::string(32, '\0'), 0x190A55ADu},
      {std::string(32, '\xFF'), 0xFF6CAB0Bu},
  };
  for (const auto& c : cases) EXPECT_EQ(crcOf(c.data), c.crc) << c.data;
}

TEST(Crc32Test, PiecesGiveTheSameResultAsOneUpdate) {
  const auto t = table();
  const std::string data = test::patternBytes(4099);
  const uint32_t whole = crcOf(data);
  for (size_t piece : {1u, 3u, 4u, 5u, 7u, 15u, 16u, 17u, 63u, 64u, 1000u, 4096u}) {
    uint32_t v;
    startCrc(&v);
    for (size_t at = 0; at < data.size(); at += piece) {
      const size_t n = std::min(piece, data.size() - at);
      updateCrc(t.data(), reinterpret_cast<const uint8_t*>(data.data()) + at,
                static_cast<uint32_t>(n), &v);
    }
    finishCrc(&v);
    EXPECT_EQ(v, whole) << "pieces of " << piece;
  }
}

TEST(Crc32Test, EmptyUpdateReadsNothingAndChangesNothing) {
  const auto t = table();
  uint32_t v = 0x12345678u;
  updateCrc(t.data(), nullptr, 0, &v);
  EXPECT_EQ(v, 0x12345678u);
}

// The reference every faster way must match: the byte loop over the table buildCrcTable fills.
uint32_t byteLoop(const std::array<uint32_t, kCrcTableEntries>& t, uint32_t crc,
                  const uint8_t* data, size_t length) {
  for (size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ t[(crc ^ data[i]) & 0xFFu];
  return crc;
}

std::vector<uint8_t> randomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> out(n);
  for (auto& b : out) b = static_cast<uint8_t>(gen());
  return out;
}

// length bytes starting offset bytes past a 64-byte boundary, at the very end of their own heap
// block, so that a read past the last byte is caught by the address sanitizer.
class PlacedBytes {
 public:
  PlacedBytes(const uint8_t* from, size_t length, size_t offset)
      : block_(static_cast<uint8_t*>(::operator new(offset + length, kAlign))), offset_(offset) {
    std::fill_n(block_.get(), offset, uint8_t{0xA5});
    std::copy_n(from, length, block_.get() + offset);
  }
  const uint8_t* data() const { return block_.get() + offset_; }

 private:
  static constexpr std::align_val_t kAlign{64};
  struct Free {
    void operator()(uint8_t* p) const { ::operator delete(p, kAlign); }
  };
  std::unique_ptr<uint8_t, Free> block_;
  size_t offset_;
};

using PathFn = uint32_t (*)(uint32_t, const uint8_t*, size_t);

struct Path {
  const char* name;
  PathFn run;
  bool needsClmul;
};

uint32_t throughUpdateCrc(uint32_t crc, const uint8_t* data, size_t length) {
  static const auto t = table();
  updateCrc(t.data(), data, static_cast<uint32_t>(length), &crc);
  return crc;
}

class Crc32PathTest : public testing::TestWithParam<Path> {
 protected:
  void SetUp() override {
    if (GetParam().needsClmul && !clmulAvailable()) {
      GTEST_SKIP() << "this processor lacks carry-less multiply or SSE4.1";
    }
  }
  uint32_t run(uint32_t crc, const uint8_t* data, size_t length) const {
    return GetParam().run(crc, data, length);
  }
};

TEST_P(Crc32PathTest, MatchesTheByteLoopForEveryLengthAndAlignment) {
  const auto t = table();
  constexpr size_t kMaxLength = 1100;
  const std::vector<uint8_t> source = randomBytes(kMaxLength, 7);
  std::mt19937 gen(11);
  EXPECT_EQ(run(0x12345678u, nullptr, 0), 0x12345678u);
  for (size_t offset = 0; offset < 64; ++offset) {
    const uint32_t start = static_cast<uint32_t>(gen());
    uint32_t expected = start;
    for (size_t length = 0; length <= kMaxLength; ++length) {
      if (length > 0) expected = byteLoop(t, expected, &source[length - 1], 1);
      const PlacedBytes bytes(source.data(), length, offset);
      ASSERT_EQ(run(start, bytes.data(), length), expected)
          << "length " << length << ", offset " << offset;
    }
  }
}

TEST_P(Crc32PathTest, MatchesTheByteLoopOnLargeBuffers) {
  const auto t = table();
  const struct {
    size_t length;
    size_t offset;
  } cases[] = {
      {(1u << 20) + 13, 0}, {(1u << 20) + 13, 5}, {(4u << 20) - 1, 63}, {65536, 16}, {65535, 1},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> source = randomBytes(c.length, static_cast<uint32_t>(c.length));
    const PlacedBytes bytes(source.data(), c.length, c.offset);
    EXPECT_EQ(run(0xFFFFFFFFu, bytes.data(), c.length),
              byteLoop(t, 0xFFFFFFFFu, source.data(), c.length))
        << "length " << c.length << ", offset " << c.offset;
  }
}

TEST_P(Crc32PathTest, ChainedUpdatesAtOddSplitsMatchOnePass) {
  const auto t = table();
  const std::vector<uint8_t> data = randomBytes(300000, 3);
  const uint32_t whole = byteLoop(t, 0xFFFFFFFFu, data.data(), data.size());
  // Split points drawn from short, fold-sized and long pieces, mostly of odd sizes.
  std::mt19937 gen(5);
  for (int round = 0; round < 20; ++round) {
    uint32_t v = 0xFFFFFFFFu;
    size_t at = 0;
    while (at < data.size()) {
      const size_t limits[] = {17, 300, 70000};
      const size_t piece = std::min<size_t>(gen() % limits[gen() % 3] | 1u, data.size() - at);
      v = run(v, data.data() + at, piece);
      at += piece;
    }
    ASSERT_EQ(v, whole) << "round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Crc32Paths, Crc32PathTest,
                         testing::Values(Path{"Bytewise", crc32Bytewise, false},
                                         Path{"Slicing16", crc32Slicing16, false},
                                         Path{"Clmul", crc32Clmul, true},
                                         Path{"UpdateCrc", throughUpdateCrc, false}),
                         [](const testing::TestParamInfo<Path>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace sw
