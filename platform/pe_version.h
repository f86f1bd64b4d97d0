// Reading the version resource out of a PE image (PE32 or PE32+), and answering queries on a
// VS_VERSIONINFO block the way VerQueryValue does. Pure parsing: every read is bounds-checked,
// so any input, however malformed, gives "no version resource" rather than a bad read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sw::pe {

// Random access to the bytes of a file.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t size() const = 0;
  // Copies n bytes at offset into out; false (and nothing promised of out) when the range does
  // not lie wholly inside the source or cannot be read.
  virtual bool readAt(uint64_t offset, void* out, size_t n) = 0;
};

// A ByteSource over bytes in memory.
class SpanSource : public ByteSource {
 public:
  SpanSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t size() const override { return size_; }
  bool readAt(uint64_t offset, void* out, size_t n) override;

 private:
  const uint8_t* data_;
  size_t size_;
};

// The bytes of the image's version resource (resource type RT_VERSION = 16; the name with ID 1
// when present, else the first name; its first language), or nullopt when the source is not a
// PE image or holds none. The first read is a small one: a source that does not start with "MZ"
// costs one read of a few bytes.
std::optional<std::vector<uint8_t>> findVersionResource(ByteSource& file);

// A value found in a VS_VERSIONINFO block.
struct BlockValue {
  const uint8_t* data = nullptr;  // inside the block
  size_t size = 0;                // in bytes
  bool isText = false;            // wType 1: UTF-16 text
};

// Looks a sub-block path up in a VS_VERSIONINFO block, as VerQueryValueW does: "\" is the
// root's own value (VS_FIXEDFILEINFO), "\VarFileInfo\Translation" the translation table,
// "\StringFileInfo\080404b0\FileVersion" a string. Keys match without regard to ASCII case.
// nullopt when the block is malformed or holds no such key.
std::optional<BlockValue> queryBlock(const std::vector<uint8_t>& block, std::string_view path);

// True when the block starts with a well-formed VS_VERSIONINFO root: a length that fits in the
// bytes and the key "VS_VERSION_INFO".
bool isVersionInfo(const std::vector<uint8_t>& block);

// The UTF-16 text of a text value, up to its first zero code unit.
std::u16string textOf(const BlockValue& value);

}  // namespace sw::pe
