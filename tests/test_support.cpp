#include "tests/test_support.h"

#include "platform/paths.h"

#include <atomic>
#include <random>

namespace sw::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  for (;;) {
    path_ = fs::temp_directory_path() /
            ("sw-test-" + std::to_string(rd()) + "-" + std::to_string(counter++));
    std::error_code ec;
    if (fs::create_directory(path_, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

// The folder's own path is ASCII; the names below it are joined as bytes, so that they reach
// the file system in the code page.
Text TempDir::text(std::string_view name) const {
  return path_.string() + pathSeparator() + Text(name);
}

Text TempDir::write(std::string_view name, std::string_view bytes) const {
  const Text p = text(name);
  writeFile(p, bytes);
  return p;
}

Text TempDir::folder(std::string_view name) const {
  const Text p = text(name);
  makeFolder(p);
  return p;
}

std::string patternBytes(size_t n, uint32_t seed) {
  std::string out(n, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    out[i] = static_cast<char>(x >> 24);
  }
  return out;
}

}  // namespace sw::test
