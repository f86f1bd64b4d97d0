#include "engine/crc32.h"

#include <array>
#include <cstddef>

#include "engine/crc32_paths.h"

namespace sw {
namespace {

uint32_t reverseBits(uint32_t v, int width) {
  uint32_t r = 0;
  for (int i = 0; i < width; ++i) {
    r = (r << 1) | ((v >> i) & 1u);
  }
  return r;
}

constexpr int kSlices = 16;
using SliceTables = std::array<std::array<uint32_t, kCrcTableEntries>, kSlices>;

// slice[k][b] is the register that a zero register becomes after byte b and then k zero bytes.
// slice[0] is the standard table that buildCrcTable fills. In a 16-byte block, byte i has 15 - i
// bytes after it, so it goes through slice[15 - i], and the block costs 16 independent lookups.
constexpr SliceTables makeSliceTables() {
  SliceTables t{};
  for (uint32_t b = 0; b < kCrcTableEntries; ++b) {
    uint32_t r = b;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) ? (r >> 1) ^ 0xEDB88320u : r >> 1;
    t[0][b] = r;
  }
  for (size_t k = 1; k < kSlices; ++k) {
    for (size_t b = 0; b < kCrcTableEntries; ++b) {
      t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFFu];
    }
  }
  return t;
}

// Computed by the compiler and placed in read-only data: ready before any thread can ask for it.
constexpr SliceTables kSlice = makeSliceTables();
static_assert(kSlice[0][1] == 0x77073096u && kSlice[0][128] == 0xEDB88320u);

// Little-endian on any host; compilers turn this into one load where they can.
inline uint32_t load32le(const uint8_t* p) {
  return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

uint32_t crc32Bytewise(uint32_t crc, const uint8_t* data, size_t length) {
  const auto& t = kSlice[0];
  for (size_t i = 0; i < length; ++i) {
    crc = (crc >> 8) ^ t[(crc ^ data[i]) & 0xFFu];
  }
  return crc;
}

uint32_t crc32Slicing16(uint32_t crc, const uint8_t* data, size_t length) {
  const auto& t = kSlice;
  while (length >= 16) {
    const uint32_t a = crc ^ load32le(data);
    const uint32_t b = load32le(data + 4);
    const uint32_t c = load32le(data + 8);
    const uint32_t d = load32le(data + 12);
    crc = t[15][a & 0xFFu] ^ t[14][(a >> 8) & 0xFFu] ^ t[13][(a >> 16) & 0xFFu] ^ t[12][a >> 24] ^
          t[11][b & 0xFFu] ^ t[10][(b >> 8) & 0xFFu] ^ t[9][(b >> 16) & 0xFFu] ^ t[8][b >> 24] ^
          t[7][c & 0xFFu] ^ t[6][(c >> 8) & 0xFFu] ^ t[5][(c >> 16) & 0xFFu] ^ t[4][c >> 24] ^
          t[3][d & 0xFFu] ^ t[2][(d >> 8) & 0xFFu] ^ t[1][(d >> 16) & 0xFFu] ^ t[0][d >> 24];
    data += 16;
    length -= 16;
  }
  return crc32Bytewise(crc, data, length);
}

void buildCrcTable(uint32_t* crcTable) {
  for (uint32_t i = 0; i < kCrcTableEntries; ++i) {
    uint32_t r = reverseBits(i, 8) << 24;
    for (int bit = 0; bit < 8; ++bit) {
      r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
    }
    crcTable[i] = reverseBits(r, 32);
  }
}

void startCrc(uint32_t* crcValue) {
  *crcValue = 0xFFFFFFFFu;
}

// The caller's table holds the same values as the built-in slice[0], so the faster paths, which
// use their own tables, give exactly what the byte loop over the caller's table would.
void updateCrc(const uint32_t* /*crcTable*/, const uint8_t* data, uint32_t length,
               uint32_t* crcValue) {
  static const bool useClmul = clmulAvailable();
  *crcValue =
      useClmul ? crc32Clmul(*crcValue, data, length) : crc32Slicing16(*crcValue, data, length);
}

void finishCrc(uint32_t* crcValue) {
  *crcValue ^= 0xFFFFFFFFu;
}

}  // namespace sw
