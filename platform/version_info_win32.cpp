#include <windows.h>

#include <cstring>

#include "platform/version_info.h"

namespace sw {

struct VersionBlock::Impl {
  std::vector<uint8_t> block;  // as GetFileVersionInfoA filled it; empty when it could not
};

VersionBlock::VersionBlock() : impl_(std::make_unique<Impl>()) {}
VersionBlock::~VersionBlock() = default;

bool VersionBlock::load(const Text& path) {
  impl_->block.clear();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
  if (size == 0) return false;
  impl_->block.assign(size, 0);
  // A block that cannot be read after its size was given still counts as a version resource,
  // with no fields.
  if (!GetFileVersionInfoA(path.c_str(), 0, size, impl_->block.data())) impl_->block.clear();
  return true;
}

std::vector<uint32_t> VersionBlock::translations() const {
  std::vector<uint32_t> out;
  void* value = nullptr;
  UINT length = 0;
  if (impl_->block.empty() ||
      !VerQueryValueA(impl_->block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
      value == nullptr) {
    return out;
  }
  out.resize(length / 4);
  std::memcpy(out.data(), value, out.size() * 4);
  return out;
}

bool VersionBlock::queryText(const Text& subBlock, Text* text) const {
  void* value = nullptr;
  UINT length = 0;
  if (impl_->block.empty() ||
      !VerQueryValueA(impl_->block.data(), subBlock.c_str(), &value, &length) ||
      value == nullptr) {
    return false;
  }
  // The value lies inside the block; its text ends at its terminating zero.
  const char* begin = static_cast<const char*>(value);
  const char* blockEnd = reinterpret_cast<const char*>(impl_->block.data() + impl_->block.size());
  const size_t room = begin >= reinterpret_cast<const char*>(impl_->block.data()) && begin < blockEnd
                          ? static_cast<size_t>(blockEnd - begin)
                          : 0;
  const void* zero = std::memchr(begin, 0, room);
  *text = Text(begin, zero ? static_cast<const char*>(zero) - begin : room);
  return true;
}

Text languageName(uint32_t translation) {
  char name[256] = {};
  VerLanguageNameA(translation, name, sizeof name - 1);
  // The count it returns is not the same on every system; the name ends at its zero.
  return Text(name);
}

}  // namespace sw
