#include <windows.h>

#include <algorithm>

#include "platform/output_file.h"

namespace sw {

SysError writeWholeFile(const Text& path, const Bytes& bytes) {
  const HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  SysError error = 0;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!WriteFile(h, bytes.data() + done, ask, &n, nullptr)) {
      error = GetLastError();
      break;
    }
    if (n == 0) {
      error = ERROR_DISK_FULL;
      break;
    }
    done += n;
  }
  if (!CloseHandle(h) && error == 0) error = GetLastError();
  return error;
}

Text systemErrorText(SysError error) {
  char* message = nullptr;
  const DWORD n = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
  Text text = n > 0 && message != nullptr ? Text(message, n) : Text();
  LocalFree(message);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  if (text.empty()) text = "error " + std::to_string(error);
  return text;
}

}  // namespace sw
