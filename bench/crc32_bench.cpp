// Times each way of computing CRC-32 over a 256 MiB buffer and prints its speed.
// Not a test: run it by hand on a quiet machine. Usage: crc32_bench [runs]
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/crc32_paths.h"

namespace {

using PathFn = uint32_t (*)(uint32_t, const uint8_t*, size_t);

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  constexpr size_t kSize = size_t{256} << 20;
  std::vector<uint8_t> buffer(kSize);
  uint32_t x = 2463534242u;
  for (auto& b : buffer) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    b = static_cast<uint8_t>(x >> 24);
  }

  const struct {
    const char* name;
    PathFn run;
    bool available;
  } paths[] = {
      {"byte-wise", sw::crc32Bytewise, true},
      {"slicing-by-16", sw::crc32Slicing16, true},
      {"clmul folding", sw::crc32Clmul, sw::clmulAvailable()},
  };

  std::printf("CRC-32 over %zu MiB, best of %d runs\n", kSize >> 20, runs);
  uint32_t first = 0;
  bool agree = true;
  for (const auto& p : paths) {
    if (!p.available) {
      std::printf("%-14s  not available on this processor\n", p.name);
      continue;
    }
    double best = 1e300;
    uint32_t crc = 0;
    for (int r = 0; r < runs; ++r) {
      const auto start = std::chrono::steady_clock::now();
      crc = p.run(0xFFFFFFFFu, buffer.data(), buffer.size()) ^ 0xFFFFFFFFu;
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      best = std::min(best, took.count());
    }
    if (&p == &paths[0]) first = crc;
    agree = agree && crc == first;
    std::printf("%-14s  %7.2f GB/s  (%.3f s, crc %08X)\n", p.name, kSize / best / 1e9, best,
                static_cast<unsigned>(crc));
  }
  if (!agree) {
    std::printf("the paths disagree\n");
    return 1;
  }
  return 0;
}
