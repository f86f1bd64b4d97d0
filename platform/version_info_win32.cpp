#include <windows.h>

#include <cstring>

#include "platform/code_page.h"
#include "platform/version_info.h"
#include "platform/win32_paths.h"

namespace sw {
namespace {

// A value found in the block: its address, checked to lie inside the block, and its length.
template <typename Char>
std::basic_string<Char> textInBlock(const std::vector<uint8_t>& block, const void* value) {
  const auto* begin = static_cast<const Char*>(value);
  const auto* blockBegin = reinterpret_cast<const Char*>(block.data());
  const auto* blockEnd = blockBegin + block.size() / sizeof(Char);
  if (begin < blockBegin || begin >= blockEnd) return {};
  const Char* end = begin;
  while (end < blockEnd && *end != 0) ++end;  // the text ends at its terminating zero
  return std::basic_string<Char>(begin, end);
}

}  // namespace

struct VersionBlock::Impl {
  std::vector<uint8_t> block;  // as GetFileVersionInfo filled it; empty when it could not
  bool wide = false;           // read with the wide calls (a path too long for the ANSI ones)
};

VersionBlock::VersionBlock() : impl_(std::make_unique<Impl>()) {}
VersionBlock::~VersionBlock() = default;

bool VersionBlock::load(const Text& path) {
  impl_->block.clear();
  const std::optional<std::wstring> longPath = longPathForm(path);
  impl_->wide = longPath.has_value();
  DWORD ignored = 0;
  const DWORD size = longPath ? GetFileVersionInfoSizeW(longPath->c_str(), &ignored)
                              : GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  impl_->block.assign(size, 0);
  // A block that cannot be read after its size was given still counts as a version resource,
  // with no fields.
  const BOOL read = longPath ? GetFileVersionInfoW(longPath->c_str(), 0, size, impl_->block.data())
                             : GetFileVersionInfoA(path.c_str(), 0, size, impl_->block.data());
  if (!read) impl_->block.clear();
  return true;
}

std::vector<uint32_t> VersionBlock::translations() const {
  std::vector<uint32_t> out;
  void* value = nullptr;
  UINT length = 0;
  if (impl_->block.empty()) return out;
  const BOOL found =
      impl_->wide
          ? VerQueryValueW(impl_->block.data(), L"\\VarFileInfo\\Translation", &value, &length)
          : VerQueryValueA(impl_->block.data(), "\\VarFileInfo\\Translation", &value, &length);
  if (!found || value == nullptr) return out;
  out.resize(length / 4);
  std::memcpy(out.data(), value, out.size() * 4);
  return out;
}

bool VersionBlock::queryText(const Text& subBlock, Text* text) const {
  void* value = nullptr;
  UINT length = 0;
  if (impl_->block.empty()) return false;
  if (impl_->wide) {
    const std::wstring key(subBlock.begin(), subBlock.end());  // the keys are ASCII
    if (!VerQueryValueW(impl_->block.data(), key.c_str(), &value, &length) || value == nullptr) {
      return false;
    }
    const std::wstring w = textInBlock<wchar_t>(impl_->block, value);
    *text = fromUtf16(std::u16string(w.begin(), w.end()));
    return true;
  }
  if (!VerQueryValueA(impl_->block.data(), subBlock.c_str(), &value, &length) || value == nullptr) {
    return false;
  }
  *text = textInBlock<char>(impl_->block, value);
  return true;
}

Text languageName(uint32_t translation) {
  char name[256] = {};
  VerLanguageNameA(translation, name, sizeof name - 1);
  // The count it returns is not the same on every system; the name ends at its zero.
  return Text(name);
}

}  // namespace sw
