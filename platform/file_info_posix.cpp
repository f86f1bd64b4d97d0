#include <sys/stat.h>

#include <ctime>

#include "platform/file_info.h"

namespace sw {

std::optional<FileInfo> lookUpPath(const Text& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return std::nullopt;
  FileInfo info;
  info.isFolder = S_ISDIR(st.st_mode);
  info.size = info.isFolder ? 0 : static_cast<int64_t>(st.st_size);
  // localtime_r applies the zone's rules in force on the file's own date.
  struct tm local;
  const time_t seconds = st.st_mtime;
  if (localtime_r(&seconds, &local) != nullptr) {
    info.lastWrite = makeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                  local.tm_hour, local.tm_min, local.tm_sec);
  } else {
    info.lastWrite = kEarliestDateTime;
  }
  return info;
}

}  // namespace sw
