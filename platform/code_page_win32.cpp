#include <windows.h>

#include "platform/code_page.h"

namespace sw {
namespace {

struct CodePage {
  UINT acp;
  CharRule rule;
};

const CodePage& codePage() {
  static const CodePage cp = [] {
    const UINT acp = GetACP();
    const bool doubleByte = acp == 932 || acp == 936 || acp == 949 || acp == 950;
    return CodePage{acp, doubleByte ? CharRule::kDoubleByte : CharRule::kSingleByte};
  }();
  return cp;
}

std::wstring widen(std::string_view text, UINT from) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

// Characters the code page cannot hold become "?" (the system's default character).
std::string narrow(const wchar_t* wide, size_t size, UINT to) {
  if (size == 0) return {};
  const int n =
      WideCharToMultiByte(to, 0, wide, static_cast<int>(size), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(to, 0, wide, static_cast<int>(size), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

void initCodePage() {
  codePage();
}

CharRule activeCharRule() {
  return codePage().rule;
}

Text codePageName() {
  return std::to_string(codePage().acp);
}

Text fromUtf8(std::string_view utf8) {
  const std::wstring wide = widen(utf8, CP_UTF8);
  return narrow(wide.data(), wide.size(), codePage().acp);
}

Text fromUtf16(std::u16string_view utf16) {
  return narrow(reinterpret_cast<const wchar_t*>(utf16.data()), utf16.size(), codePage().acp);
}

std::string toUtf8(std::string_view text) {
  const std::wstring wide = widen(text, codePage().acp);
  return narrow(wide.data(), wide.size(), CP_UTF8);
}

}  // namespace sw
