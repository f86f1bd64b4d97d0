// The separate ways updateCrc can fold bytes into a CRC-32 register, callable one by one so that
// the tests can hold each to the byte loop and the benchmark can time each.
//
// Each takes the register as updateCrc keeps it (started at 0xFFFFFFFF, not yet complemented),
// folds length bytes into it in order and returns it. With length 0 none reads data.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sw {

// One table lookup per byte.
uint32_t crc32Bytewise(uint32_t crc, const uint8_t* data, size_t length);
// Sixteen lookups per 16-byte block, from 16 tables built at compile time; portable.
uint32_t crc32Slicing16(uint32_t crc, const uint8_t* data, size_t length);
// Carry-less multiply folding, 64 bytes per step. Call only when clmulAvailable().
uint32_t crc32Clmul(uint32_t crc, const uint8_t* data, size_t length);
// Whether this processor has the carry-less multiply and SSE4.1 instructions crc32Clmul uses.
bool clmulAvailable();

}  // namespace sw
