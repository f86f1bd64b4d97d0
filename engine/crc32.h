// CRC-32 of zip, PNG and ISO-HDLC (reflected polynomial 0xEDB88320, initial register
// 0xFFFFFFFF, final complement) over a stream fed in pieces.
//
// The routines keep no state: the table and the register belong to the caller. updateCrc gives
// exactly what the byte loop over the caller's table gives, but goes faster with tables and
// instructions of its own (see crc32_paths.h).
// Call order: buildCrcTable, startCrc, any number of updateCrc, finishCrc.
#pragma once

#include <cstdint>

namespace sw {

inline constexpr int kCrcTableEntries = 256;

void buildCrcTable(uint32_t* crcTable);
void startCrc(uint32_t* crcValue);
// Folds length bytes, in order, into crcValue. With length 0 it reads no data.
void updateCrc(const uint32_t* crcTable, const uint8_t* data, uint32_t length, uint32_t* crcValue);
void finishCrc(uint32_t* crcValue);

}  // namespace sw
