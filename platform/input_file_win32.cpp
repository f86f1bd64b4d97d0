#include <windows.h>

#include <utility>

#include "platform/input_file.h"
#include "platform/win32_paths.h"

namespace sw {
namespace {

HANDLE asHandle(intptr_t h) {
  return reinterpret_cast<HANDLE>(h);
}

}  // namespace

SysError InputFile::openFile(const Text& path) {
  close();
  if (path.empty()) return ERROR_FILE_NOT_FOUND;
  // A path too long for the ANSI call is opened in its extended form.
  const std::optional<std::wstring> longPath = longPathForm(path);
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const HANDLE h = longPath ? CreateFileW(longPath->c_str(), GENERIC_READ, share, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr)
                            : CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  // A device name such as CON or COM1 opens too, but has no end to read to.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    return ERROR_INVALID_FUNCTION;
  }
  handle_ = reinterpret_cast<intptr_t>(h);
  regular_ = true;
  return 0;
}

bool InputFile::isOpen() const {
  return handle_ != -1;
}

InputFile::ReadResult InputFile::readFile(uint8_t* buffer, size_t n) {
  ReadResult r;
  if (!isOpen()) {
    r.error = ERROR_INVALID_HANDLE;
    return r;
  }
  while (r.count < n) {
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(n - r.count, 1u << 30));
    DWORD got = 0;
    if (!ReadFile(asHandle(handle_), buffer + r.count, ask, &got, nullptr)) {
      r.error = GetLastError();
      break;
    }
    if (got == 0) break;
    r.count += got;
    if (got < ask) break;  // a disk file gives fewer bytes than asked only at its end
  }
  return r;
}

bool InputFile::readAt(uint64_t offset, void* buffer, size_t n) {
  if (!isOpen()) return false;
  LARGE_INTEGER zero{}, here{}, at{};
  if (!SetFilePointerEx(asHandle(handle_), zero, &here, FILE_CURRENT)) return false;
  at.QuadPart = static_cast<LONGLONG>(offset);
  bool ok = SetFilePointerEx(asHandle(handle_), at, nullptr, FILE_BEGIN) != FALSE;
  size_t done = 0;
  while (ok && done < n) {
    DWORD got = 0;
    const DWORD ask = static_cast<DWORD>(std::min<size_t>(n - done, 1u << 30));
    ok = ReadFile(asHandle(handle_), static_cast<char*>(buffer) + done, ask, &got, nullptr) &&
         got > 0;
    done += got;
  }
  SetFilePointerEx(asHandle(handle_), here, nullptr, FILE_BEGIN);
  return ok;
}

uint64_t InputFile::size() const {
  LARGE_INTEGER size{};
  if (!isOpen() || !GetFileSizeEx(asHandle(handle_), &size)) return 0;
  return static_cast<uint64_t>(size.QuadPart);
}

void InputFile::close() {
  if (isOpen()) {
    CloseHandle(asHandle(handle_));
    handle_ = -1;
  }
}

}  // namespace sw
