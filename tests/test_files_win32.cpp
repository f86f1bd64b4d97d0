#include <windows.h>

#include <algorithm>

#include "tests/test_support.h"

namespace sw::test {

bool writeFile(const Text& path, std::string_view bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!WriteFile(h, bytes.data() + done, ask, &n, nullptr) || n == 0) break;
    done += n;
  }
  return CloseHandle(h) && done == bytes.size();
}

bool makeFolder(const Text& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void setLocalWriteTime(const Text& path, int year, int month, int day, int hour, int minute,
                       int second) {
  SYSTEMTIME local{}, utc{};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  local.wSecond = static_cast<WORD>(second);
  FILETIME time;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) ||
      !SystemTimeToFileTime(&utc, &time)) {
    return;
  }
  // Backup semantics let the handle name a folder too.
  const HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  SetFileTime(h, nullptr, nullptr, &time);
  CloseHandle(h);
}

std::string readFile(const Text& path) {
  std::string out;
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return out;
  char buf[65536];
  DWORD n = 0;
  while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
  CloseHandle(h);
  return out;
}

}  // namespace sw::test
