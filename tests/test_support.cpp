#include "tests/test_support.h"

#include <atomic>
#include <chrono>
#include <ctime>
#include <fstream>
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

Text TempDir::text(std::string_view name) const {
  return (path_ / fs::path(name)).string();
}

Text TempDir::write(std::string_view name, std::string_view bytes) const {
  const Text p = text(name);
  std::ofstream out(fs::path(p), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p;
}

void setLocalWriteTime(const Text& path, int year, int month, int day, int hour, int minute,
                       int second) {
  std::tm local{};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const std::time_t t = std::mktime(&local);
  const auto sinceEpoch = std::chrono::system_clock::from_time_t(t);
  fs::last_write_time(fs::path(path), fs::file_time_type::clock::from_sys(sinceEpoch));
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
