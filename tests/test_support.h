// Helpers for tests that work on real files.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/text.h"

namespace sw::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of a name inside the folder, as a Text in the code page.
  Text text(std::string_view name) const;
  // Writes a file of the given bytes and returns its path as a Text. The name is in the code
  // page and may hold any character it can.
  Text write(std::string_view name, std::string_view bytes) const;
  // Makes a folder and returns its path.
  Text folder(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// Writes bytes to the file at path, creating or truncating it; false when that fails.
bool writeFile(const Text& path, std::string_view bytes);
bool makeFolder(const Text& path);
// The whole content of a file ("" when it cannot be read).
std::string readFile(const Text& path);

// Sets a file's last-write time to a local date and time.
void setLocalWriteTime(const Text& path, int year, int month, int day, int hour, int minute,
                       int second);

// n bytes of a fixed pseudo-random pattern (the same for the same seed).
std::string patternBytes(size_t n, uint32_t seed = 1);

}  // namespace sw::test
