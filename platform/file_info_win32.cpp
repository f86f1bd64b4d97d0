#include <windows.h>

#include "platform/file_info.h"
#include "platform/win32_paths.h"

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
  info.size =
      info.isFolder ? 0 : static_cast<int64_t>((static_cast<uint64_t>(sizeHigh) << 32) | sizeLow);
  info.lastWrite = localTimeOf(lastWrite);
  return info;
}

// Looks a path up with the ANSI or the wide calls. FindFirstFile gives the entry of a file or a
// folder; a drive root, or a folder named with a trailing "\", has no entry of its own to find,
// yet exists, and GetFileAttributesEx finds it.
template <typename Char, typename FindData>
std::optional<FileInfo> lookUpWith(const Char* path,
                                   HANDLE(WINAPI* findFirst)(const Char*, FindData*),
                                   BOOL(WINAPI* attributes)(const Char*, GET_FILEEX_INFO_LEVELS,
                                                            LPVOID)) {
  FindData found;
  const HANDLE search = findFirst(path, &found);
  if (search != INVALID_HANDLE_VALUE) {
    FindClose(search);
    return infoOf(found.dwFileAttributes, found.nFileSizeHigh, found.nFileSizeLow,
                  found.ftLastWriteTime);
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (attributes(path, GetFileExInfoStandard, &data)) {
    return infoOf(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow,
                  data.ftLastWriteTime);
  }
  return std::nullopt;
}

}  // namespace

std::optional<FileInfo> lookUpPath(const Text& path) {
  if (path.empty()) return std::nullopt;
  // FindFirstFile would take "*" and "?" as a pattern and report whatever matched; no file has
  // such a name. The "\\?\" prefix of a long path is not a pattern.
  const bool longForm = path.rfind("\\\\?\\", 0) == 0;
  if (path.find_first_of("*?", longForm ? 4 : 0) != Text::npos) return std::nullopt;
  if (const std::optional<std::wstring> longPath = longPathForm(path)) {
    return lookUpWith(longPath->c_str(), &FindFirstFileW, &GetFileAttributesExW);
  }
  return lookUpWith(path.c_str(), &FindFirstFileA, &GetFileAttributesExA);
}

}  // namespace sw
