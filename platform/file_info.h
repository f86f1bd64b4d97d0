// Looking a path up in the file system: its size, whether it is a folder, and its last-write
// time in the local time of that date. Safe from any thread.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/text.h"

namespace sw {

struct FileInfo {
  int64_t size = 0;  // the full size in bytes; 0 for a folder
  bool isFolder = false;
  DateTimeValue lastWrite = 0;  // local time, whole seconds
};

// nullopt when the path names nothing (the empty path included).
std::optional<FileInfo> lookUpPath(const Text& path);

}  // namespace sw
