#include <utility>

#include "platform/code_page.h"
#include "platform/input_file.h"
#include "platform/pe_version.h"
#include "platform/version_info.h"

namespace sw {
namespace {

class FileSource : public pe::ByteSource {
 public:
  explicit FileSource(InputFile& file) : file_(file), size_(file.size()) {}
  uint64_t size() const override { return size_; }
  bool readAt(uint64_t offset, void* out, size_t n) override {
    if (offset > size_ || n > size_ - offset) return false;
    return file_.readAt(offset, out, n);
  }

 private:
  InputFile& file_;
  uint64_t size_;
};

}  // namespace

struct VersionBlock::Impl {
  std::vector<uint8_t> bytes;  // empty when nothing is held
};

VersionBlock::VersionBlock() : impl_(std::make_unique<Impl>()) {}

VersionBlock::~VersionBlock() = default;

bool VersionBlock::load(const Text& path) {
  impl_->bytes.clear();
  InputFile file;
  if (file.open(path) != 0) return false;
  FileSource source(file);
  std::optional<std::vector<uint8_t>> found = pe::findVersionResource(source);
  if (!found || !pe::isVersionInfo(*found)) return false;
  impl_->bytes = std::move(*found);
  return true;
}

std::vector<uint32_t> VersionBlock::translations() const {
  std::vector<uint32_t> out;
  if (impl_->bytes.empty()) return out;
  const std::optional<pe::BlockValue> v =
      pe::queryBlock(impl_->bytes, "\\VarFileInfo\\Translation");
  if (!v) return out;
  for (size_t at = 0; at + 4 <= v->size; at += 4) {
    const uint8_t* p = v->data + at;
    out.push_back(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                  (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
  }
  return out;
}

bool VersionBlock::queryText(const Text& subBlock, Text* value) const {
  if (impl_->bytes.empty()) return false;
  const std::optional<pe::BlockValue> v = pe::queryBlock(impl_->bytes, toUtf8(subBlock));
  if (!v) return false;
  *value = fromUtf16(pe::textOf(*v));
  return true;
}

}  // namespace sw
