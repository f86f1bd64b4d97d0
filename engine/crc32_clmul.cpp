// CRC-32 by carry-less multiplication (PCLMULQDQ), folding 64 bytes per step.
//
// Only these functions are built for the carry-less multiply and SSE4.1 instructions (by target
// attribute), and updateCrc calls them only after CPUID has shown both, so the rest of the
// program needs no special compiler flags and still runs on any x86-64 processor.
//
// How it works. Take the reflected bit order of this CRC: in a 16-byte block loaded little-endian
// into a 128-bit register, bit i is the coefficient of x^(127-i); in a 64-bit half, bit i is the
// coefficient of x^(63-i). The register value CRC-32 leaves is M(x)·x^32 mod P(x), where M is
// the message with the incoming register xored into its first 32 bits and
// P = x^32 + 0x04C11DB7.
//
// A constant K of degree at most 32 is kept in 33 bits, bit j the coefficient of x^(32-j).
// PCLMULQDQ of a half H with K sets bit n from the pairs i + j = n, a term of degree
// (63-i) + (32-j) = 95-n; read as a 128-bit block (bit n is x^(127-n)) the product is
// H·K·x^32. So to move a half on by d bits modulo P, multiply it by K = x^(d-32) mod P, kept as
// bit-reversed in 32 bits and shifted left once: that is foldConstant(d) below.
//
// Folding. A block A = Hi·x^64 + Lo (Hi is the low half in memory order) moved on by 512 bits,
// past the three blocks after it, is Hi·x^576 + Lo·x^512, which modulo P is a product of at
// most 95 bits: clmul(Hi, foldConstant(576)) xor clmul(Lo, foldConstant(512)). Xored into the
// block 512 bits on, it carries A's share of the CRC. Four blocks in flight keep four
// independent chains of multiplies busy. At the end the four are folded into one with the
// 128-bit constants foldConstant(192) and foldConstant(128), which also take any 16-byte blocks
// left.
//
// Reduction of the last block A to the 32-bit register, A·x^32 mod P:
//  1. A·x^32 = Hi·x^96 + Lo·x^32. clmul(Hi, x^96 mod P) (= foldConstant(128)) has its terms of
//     degree 95-n at bit n, and Lo·x^32 is Lo shifted down 64 bits in the same frame: B, 96 bits,
//     bit n the coefficient of x^(95-n).
//  2. B = Bh·x^64 + Bl with Bh its low 32 bits. clmul(Bh, x^64 mod P) (= foldConstant(96)) xor
//     Bl (B shifted down 32 bits) is C, 64 bits, bit n the coefficient of x^(63-n).
//  3. Barrett: with mu = floor(x^64 / P), the quotient of C by P is
//     q = floor(floor(C / x^32)·mu / x^32), exact since C has degree below 64. floor(C / x^32)
//     is C's low 32 bits; multiplied by mu (kept reflected in 33 bits, as above) the product's
//     low 32 bits are q; q·P (P reflected in 33 bits) xor C leaves the remainder, of degree
//     below 32, in bits 32..63, bit 32+m the coefficient of x^(31-m): the reflected register.
//
// All constants are derived below at compile time from P alone and checked against the values
// the method is usually quoted with. Byte heads (to 16-byte alignment) and tails (under 16
// bytes) go through the slicing-by-16 code.
#include "engine/crc32_paths.h"

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace sw {

#if defined(__x86_64__)

namespace {

constexpr uint32_t kPolyLow = 0x04C11DB7u;  // P without its x^32 term, x^31 in bit 31

// x^n mod P, in normal bit order (bit k the coefficient of x^k).
constexpr uint32_t xPowModP(int n) {
  uint32_t r = 1;
  for (int i = 0; i < n; ++i) r = (r & 0x80000000u) ? (r << 1) ^ kPolyLow : r << 1;
  return r;
}

constexpr uint64_t reflect(uint64_t v, int width) {
  uint64_t r = 0;
  for (int i = 0; i < width; ++i) r = (r << 1) | ((v >> i) & 1u);
  return r;
}

// The multiplier that moves a 64-bit half on by d bits modulo P (see above).
constexpr uint64_t foldConstant(int d) {
  return reflect(xPowModP(d - 32), 32) << 1;
}

// floor(x^64 / P) by long division: w holds the 33 coefficients of the running remainder from
// x^(32+k) down to x^k while quotient bit k is decided.
constexpr uint64_t barrettMu() {
  const uint64_t p = (uint64_t{1} << 32) | kPolyLow;
  uint64_t w = uint64_t{1} << 32;  // x^64 at k = 32
  uint64_t q = 0;
  for (int k = 32; k >= 0; --k) {
    if (w >> 32) {
      q |= uint64_t{1} << k;
      w ^= p;
    }
    w <<= 1;
  }
  return q;
}

constexpr uint64_t kFold512Hi = foldConstant(512 + 64);
constexpr uint64_t kFold512Lo = foldConstant(512);
constexpr uint64_t kFold128Hi = foldConstant(128 + 64);
constexpr uint64_t kFold128Lo = foldConstant(128);
constexpr uint64_t kReduce64 = foldConstant(96);
constexpr uint64_t kMu = reflect(barrettMu(), 33);
constexpr uint64_t kPoly = reflect((uint64_t{1} << 32) | kPolyLow, 33);

static_assert(kFold512Hi == 0x154442BD4u && kFold512Lo == 0x1C6E41596u);
static_assert(kFold128Hi == 0x1751997D0u && kFold128Lo == 0x0CCAA009Eu);
static_assert(kReduce64 == 0x163CD6124u);
static_assert(kMu == 0x1F7011641u && kPoly == 0x1DB710641u);

#define SW_CLMUL_TARGET __attribute__((target("pclmul,sse4.1")))

// x's low half times k's low half, xor x's high half times k's high half, xor next.
SW_CLMUL_TARGET inline __m128i fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

SW_CLMUL_TARGET inline __m128i load(const uint8_t* p) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(p));
}

// data is 16-byte aligned, length a multiple of 16 and at least 64.
SW_CLMUL_TARGET uint32_t foldBlocks(uint32_t crc, const uint8_t* data, size_t length) {
  const __m128i k512 =
      _mm_set_epi64x(static_cast<long long>(kFold512Lo), static_cast<long long>(kFold512Hi));
  const __m128i k128 =
      _mm_set_epi64x(static_cast<long long>(kFold128Lo), static_cast<long long>(kFold128Hi));

  __m128i x0 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x1 = load(data + 16);
  __m128i x2 = load(data + 32);
  __m128i x3 = load(data + 48);
  data += 64;
  length -= 64;
  while (length >= 64) {
    x0 = fold(x0, k512, load(data));
    x1 = fold(x1, k512, load(data + 16));
    x2 = fold(x2, k512, load(data + 32));
    x3 = fold(x3, k512, load(data + 48));
    data += 64;
    length -= 64;
  }
  __m128i x = fold(fold(fold(x0, k128, x1), k128, x2), k128, x3);
  for (; length >= 16; data += 16, length -= 16) x = fold(x, k128, load(data));

  const __m128i low32 = _mm_setr_epi32(-1, 0, 0, 0);
  const __m128i b = _mm_xor_si128(_mm_clmulepi64_si128(x, k128, 0x10), _mm_srli_si128(x, 8));
  const __m128i c = _mm_xor_si128(
      _mm_clmulepi64_si128(_mm_and_si128(b, low32),
                           _mm_cvtsi64_si128(static_cast<long long>(kReduce64)), 0x00),
      _mm_srli_si128(b, 4));
  const __m128i polyMu = _mm_set_epi64x(static_cast<long long>(kMu), static_cast<long long>(kPoly));
  const __m128i q =
      _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(c, low32), polyMu, 0x10), low32);
  const __m128i r = _mm_xor_si128(c, _mm_clmulepi64_si128(q, polyMu, 0x00));
  return static_cast<uint32_t>(_mm_extract_epi32(r, 1));
}

#undef SW_CLMUL_TARGET

// Below this the alignment head, the tail and the reduction cost more than folding saves.
constexpr size_t kMinFoldLength = 128;

}  // namespace

uint32_t crc32Clmul(uint32_t crc, const uint8_t* data, size_t length) {
  if (length < kMinFoldLength) return crc32Slicing16(crc, data, length);
  const size_t head = (16 - (reinterpret_cast<uintptr_t>(data) & 15u)) & 15u;
  crc = crc32Slicing16(crc, data, head);
  data += head;
  length -= head;
  const size_t body = length & ~size_t{15};
  crc = foldBlocks(crc, data, body);
  return crc32Slicing16(crc, data + body, length - body);
}

bool clmulAvailable() {
  static const bool available = [] {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    return (ecx & bit_PCLMUL) != 0 && (ecx & bit_SSE4_1) != 0;
  }();
  return available;
}

#else  // no carry-less multiply on this architecture

uint32_t crc32Clmul(uint32_t crc, const uint8_t* data, size_t length) {
  return crc32Slicing16(crc, data, length);
}

bool clmulAvailable() {
  return false;
}

#endif

}  // namespace sw
