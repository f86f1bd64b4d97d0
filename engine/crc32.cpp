#include "engine/crc32.h"

namespace sw {
namespace {

uint32_t reverseBits(uint32_t v, int width) {
  uint32_t r = 0;
  for (int i = 0; i < width; ++i) {
    r = (r << 1) | ((v >> i) & 1u);
  }
  return r;
}

}  // namespace

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

void updateCrc(const uint32_t* crcTable, const uint8_t* data, uint32_t length, uint32_t* crcValue) {
  uint32_t c = *crcValue;
  for (uint32_t i = 0; i < length; ++i) {
    c = (c >> 8) ^ crcTable[(c ^ data[i]) & 0xFFu];
  }
  *crcValue = c;
}

void finishCrc(uint32_t* crcValue) {
  *crcValue ^= 0xFFFFFFFFu;
}

}  // namespace sw
