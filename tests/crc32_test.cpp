#include "engine/crc32.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

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

}  // namespace
}  // namespace sw
