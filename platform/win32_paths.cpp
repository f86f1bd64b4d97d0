#include <windows.h>

#include "platform/win32_paths.h"

namespace sw {
namespace {

// The ANSI form of a wide text; lossless is false when some character had no ANSI form.
Text narrow(const std::wstring& wide, bool* lossless) {
  *lossless = true;
  if (wide.empty()) return {};
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          nullptr, 0, nullptr, &usedDefault);
  Text out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                      out.data(), n, nullptr, &usedDefault);
  *lossless = usedDefault == FALSE;
  return out;
}

}  // namespace

std::wstring wideFromAnsi(const Text& text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::optional<std::wstring> longPathForm(const Text& path) {
  std::wstring wide = wideFromAnsi(path);
  if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) return std::nullopt;
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::nullopt;
  std::wstring full(n, L'\0');
  const DWORD got = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(got);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

Text ansiPathFor(const std::wstring& path) {
  bool lossless = false;
  Text ansi = narrow(path, &lossless);
  if (lossless) return ansi;
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return ansi;
  std::wstring shortPath(n, L'\0');
  const DWORD got = GetShortPathNameW(path.c_str(), shortPath.data(), n);
  if (got == 0 || got >= n) return ansi;
  shortPath.resize(got);
  Text shortAnsi = narrow(shortPath, &lossless);
  return lossless ? shortAnsi : ansi;
}

}  // namespace sw
