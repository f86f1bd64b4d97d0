#include <windows.h>

#include "platform/file_info.h"

namespace sw {
namespace {

// The local time of a UTC file time, with the zone's rules in force on that date; the
// milliseconds are dropped.
DateTimeValue localTimeOf(const FILETIME& utc) {
  SYSTEMTIME system, local;
  if (!FileTimeToSystemTime(&utc, &system) ||
      !SystemTimeToTzSpecificLocalTime(nullptr, &system, &local)) {
    return kEarliestDateTime;
  }
  return makeDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                      local.wSecond);
}

FileInfo infoOf(DWORD attributes, DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite) {
  FileInfo info;
  info.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  info.size = info.isFolder ? 0
                            : static_cast<int64_t>((static_cast<uint64_t>(sizeHigh) << 32) |
                                                   sizeLow);
  info.lastWrite = localTimeOf(lastWrite);
  return info;
}

}  // namespace

std::optional<FileInfo> lookUpPath(const Text& path) {
  if (path.empty()) return std::nullopt;
  // FindFirstFileA would take "*" and "?" as a pattern and report whatever matched; such names
  // cannot exist, so only the exact lookup below is asked about them. The "\\?\" prefix of a
  // long path is not a pattern.
  const bool longForm = path.rfind("\\\\?\\", 0) == 0;
  const bool pattern = path.find_first_of("*?", longForm ? 4 : 0) != Text::npos;
  if (!pattern) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      return infoOf(found.dwFileAttributes, found.nFileSizeHigh, found.nFileSizeLow,
                    found.ftLastWriteTime);
    }
  }
  // A drive root, or a folder named with a trailing "\", has no entry of its own to find, yet
  // it exists.
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!pattern && GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
    return infoOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow,
                  data.ftLastWriteTime);
  }
  return std::nullopt;
}

}  // namespace sw
