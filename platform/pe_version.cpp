#include "platform/pe_version.h"

#include <algorithm>
#include <cstring>

#include "platform/utf.h"

namespace sw::pe {
namespace {

uint16_t le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint16_t kMz = 0x5A4D;               // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint64_t kDosHeaderSize = 0x40;      // up to and including e_lfanew
constexpr uint64_t kLfanewOffset = 0x3C;
constexpr size_t kFileHeaderSize = 20;  // after the signature
constexpr size_t kSectionHeaderSize = 40;
constexpr uint16_t kMagicPe32 = 0x10B;
constexpr uint16_t kMagicPe32Plus = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kRtVersion = 16;
constexpr uint32_t kVersionNameId = 1;
constexpr uint32_t kHighBit = 0x80000000u;
// wLength is 16 bits wide, so a version block never needs more than this.
constexpr uint32_t kMaxVersionBytes = 0xFFFF;

struct Section {
  uint32_t virtualAddress;
  uint32_t rawSize;
  uint32_t rawPointer;
};

struct DirEntry {
  uint32_t name;    // high bit: offset of a name string; else an ID
  uint32_t target;  // high bit: offset of a subdirectory; else offset of a data entry
};

// An image's section table and resource directory, read through the file on demand.
class Image {
 public:
  explicit Image(ByteSource& file) : file_(file) {}

  bool readHeaders();
  std::optional<std::vector<uint8_t>> versionResource();

 private:
  // Copies n bytes at an RVA. The range must lie inside one section's raw data.
  bool readRva(uint64_t rva, void* out, size_t n);
  // The entries of the resource directory at an offset from the resource root.
  bool readDirectory(uint32_t offset, std::vector<DirEntry>* entries);

  ByteSource& file_;
  std::vector<Section> sections_;
  uint32_t resourceRva_ = 0;
};

bool Image::readHeaders() {
  if (file_.size() < kDosHeaderSize) return false;
  uint8_t mz[2];
  if (!file_.readAt(0, mz, sizeof mz) || le16(mz) != kMz) return false;

  uint8_t lfanew[4];
  if (!file_.readAt(kLfanewOffset, lfanew, sizeof lfanew)) return false;
  const uint64_t peOffset = le32(lfanew);

  uint8_t head[4 + kFileHeaderSize];
  if (!file_.readAt(peOffset, head, sizeof head) || le32(head) != kPeSignature) return false;
  const uint16_t sectionCount = le16(head + 4 + 2);
  const uint16_t optionalSize = le16(head + 4 + 16);
  if (sectionCount == 0) return false;

  // The optional header as far as the resource data directory.
  const uint64_t optionalOffset = peOffset + sizeof head;
  uint8_t magic[2];
  if (optionalSize < sizeof magic || !file_.readAt(optionalOffset, magic, sizeof magic)) {
    return false;
  }
  size_t countOffset = 0;  // of NumberOfRvaAndSizes; the directories follow it
  switch (le16(magic)) {
    case kMagicPe32:
      countOffset = 92;
      break;
    case kMagicPe32Plus:
      countOffset = 108;
      break;
    default:
      return false;
  }
  const size_t resourceEntry = countOffset + 4 + kResourceDirectoryIndex * 8;
  if (optionalSize < resourceEntry + 8) return false;
  uint8_t optional[136];
  static_assert(sizeof optional >= 108 + 4 + kResourceDirectoryIndex * 8 + 8);
  if (!file_.readAt(optionalOffset, optional, resourceEntry + 8)) return false;
  if (le32(optional + countOffset) <= kResourceDirectoryIndex) return false;
  resourceRva_ = le32(optional + resourceEntry);
  const uint32_t resourceSize = le32(optional + resourceEntry + 4);
  if (resourceRva_ == 0 || resourceSize == 0) return false;

  // Read only when the whole table lies in the file, so the size is bounded by the file.
  std::vector<uint8_t> table(size_t{sectionCount} * kSectionHeaderSize);
  if (!file_.readAt(optionalOffset + optionalSize, table.data(), table.size())) return false;
  sections_.reserve(sectionCount);
  for (size_t i = 0; i < sectionCount; ++i) {
    const uint8_t* s = table.data() + i * kSectionHeaderSize;
    sections_.push_back({le32(s + 12), le32(s + 16), le32(s + 20)});
  }
  return true;
}

bool Image::readRva(uint64_t rva, void* out, size_t n) {
  for (const Section& s : sections_) {
    if (rva < s.virtualAddress) continue;
    const uint64_t delta = rva - s.virtualAddress;
    if (delta >= s.rawSize || n > s.rawSize - delta) continue;
    return file_.readAt(uint64_t{s.rawPointer} + delta, out, n);
  }
  return false;
}

bool Image::readDirectory(uint32_t offset, std::vector<DirEntry>* entries) {
  const uint64_t rva = uint64_t{resourceRva_} + offset;
  uint8_t head[16];
  if (!readRva(rva, head, sizeof head)) return false;
  const size_t count = size_t{le16(head + 12)} + le16(head + 14);
  if (count == 0) return false;
  std::vector<uint8_t> raw(count * 8);
  if (!readRva(rva + sizeof head, raw.data(), raw.size())) return false;
  entries->clear();
  entries->reserve(count);
  for (size_t i = 0; i < count; ++i) {
    entries->push_back({le32(raw.data() + i * 8), le32(raw.data() + i * 8 + 4)});
  }
  return true;
}

std::optional<std::vector<uint8_t>> Image::versionResource() {
  // Three levels, each read afresh from a fixed place: type, name, language. An entry that
  // points back at its own directory only leads to the wrong kind of entry one level down.
  std::vector<DirEntry> entries;
  if (!readDirectory(0, &entries)) return std::nullopt;
  const DirEntry* type = nullptr;
  for (const DirEntry& e : entries) {
    if (e.name == kRtVersion) {
      type = &e;
      break;
    }
  }
  if (type == nullptr || !(type->target & kHighBit)) return std::nullopt;

  if (!readDirectory(type->target & ~kHighBit, &entries)) return std::nullopt;
  DirEntry name = entries.front();
  for (const DirEntry& e : entries) {
    if (e.name == kVersionNameId) {
      name = e;
      break;
    }
  }
  if (!(name.target & kHighBit)) return std::nullopt;

  if (!readDirectory(name.target & ~kHighBit, &entries)) return std::nullopt;
  const DirEntry language = entries.front();
  if (language.target & kHighBit) return std::nullopt;

  uint8_t dataEntry[16];  // IMAGE_RESOURCE_DATA_ENTRY: RVA, size, code page, reserved
  if (!readRva(uint64_t{resourceRva_} + language.target, dataEntry, sizeof dataEntry)) {
    return std::nullopt;
  }
  const uint32_t dataRva = le32(dataEntry);
  const uint32_t dataSize = std::min(le32(dataEntry + 4), kMaxVersionBytes);
  if (dataSize == 0) return std::nullopt;
  std::vector<uint8_t> data(dataSize);
  if (!readRva(dataRva, data.data(), data.size())) return std::nullopt;
  return data;
}

// A VS_VERSIONINFO block inside the resource bytes. Offsets count from the start of the
// resource, which is also what the 4-byte alignment of keys, values and children refers to.
struct Block {
  size_t end = 0;  // the block's own length, cut to its parent's end
  uint16_t valueLength = 0;
  uint16_t type = 0;
  size_t keyStart = 0;
  size_t keyUnits = 0;  // without the terminating zero
  size_t valueStart = 0;
  size_t childStart = 0;
};

size_t align4(size_t offset) {
  return (offset + 3) & ~size_t{3};
}

constexpr size_t kBlockHeaderSize = 6;  // wLength, wValueLength, wType

// The block at start, which may not reach past limit; nullopt when its header is cut off,
// its length cannot hold a header, or its key has no terminator inside it.
std::optional<Block> parseBlock(const std::vector<uint8_t>& bytes, size_t start, size_t limit) {
  if (start > limit || limit - start < kBlockHeaderSize) return std::nullopt;
  const uint8_t* p = bytes.data() + start;
  const uint16_t length = le16(p);
  if (length < kBlockHeaderSize) return std::nullopt;
  Block b;
  b.end = std::min(start + length, limit);
  b.valueLength = le16(p + 2);
  b.type = le16(p + 4);
  b.keyStart = start + kBlockHeaderSize;
  size_t at = b.keyStart;
  while (at + 2 <= b.end && le16(bytes.data() + at) != 0) at += 2;
  if (at + 2 > b.end) return std::nullopt;
  b.keyUnits = (at - b.keyStart) / 2;
  b.valueStart = std::min(align4(at + 2), b.end);
  // Any nonzero wType counts the value in UTF-16 units.
  const size_t declared = size_t{b.valueLength} * (b.type != 0 ? 2 : 1);
  b.childStart = std::min(align4(b.valueStart + declared), b.end);
  return b;
}

char16_t asciiFold(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}

bool keyIs(const std::vector<uint8_t>& bytes, const Block& b, std::u16string_view key) {
  if (b.keyUnits != key.size()) return false;
  for (size_t i = 0; i < key.size(); ++i) {
    const char16_t c = le16(bytes.data() + b.keyStart + 2 * i);
    if (asciiFold(c) != asciiFold(key[i])) return false;
  }
  return true;
}

// The root block, which must lie wholly inside the bytes.
std::optional<Block> parseRoot(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < kBlockHeaderSize || le16(bytes.data()) > bytes.size()) return std::nullopt;
  return parseBlock(bytes, 0, bytes.size());
}

std::optional<Block> findChild(const std::vector<uint8_t>& bytes, const Block& parent,
                               std::u16string_view key) {
  size_t at = parent.childStart;
  // Every step moves on by at least a header, so the walk ends.
  while (at < parent.end && parent.end - at >= kBlockHeaderSize) {
    const uint16_t length = le16(bytes.data() + at);
    if (length < kBlockHeaderSize) break;
    const std::optional<Block> child = parseBlock(bytes, at, parent.end);
    if (child && keyIs(bytes, *child, key)) return child;
    at = align4(at + length);
  }
  return std::nullopt;
}

BlockValue valueOf(const std::vector<uint8_t>& bytes, const Block& b) {
  BlockValue v;
  v.data = bytes.data() + b.valueStart;
  v.isText = b.type != 0;
  const size_t room = b.end - b.valueStart;
  if (!v.isText) {
    v.size = std::min<size_t>(b.valueLength, room);
    return v;
  }
  // wValueLength of a string is often off: counted without the terminator, in bytes, or left
  // at zero. The text runs to its terminator when that lies beyond the declared length, and
  // never past the block.
  size_t size = std::min<size_t>(size_t{b.valueLength} * 2, room) & ~size_t{1};
  bool terminated = false;
  for (size_t at = 0; at + 2 <= size; at += 2) {
    if (le16(v.data + at) == 0) {
      terminated = true;
      break;
    }
  }
  if (!terminated) {
    while (size + 2 <= room) {
      size += 2;
      if (le16(v.data + size - 2) == 0) break;
    }
  }
  v.size = size;
  return v;
}

}  // namespace

bool SpanSource::readAt(uint64_t offset, void* out, size_t n) {
  if (offset > size_ || n > size_ - offset) return false;
  if (n > 0) std::memcpy(out, data_ + offset, n);
  return true;
}

std::optional<std::vector<uint8_t>> findVersionResource(ByteSource& file) {
  Image image(file);
  if (!image.readHeaders()) return std::nullopt;
  return image.versionResource();
}

std::optional<BlockValue> queryBlock(const std::vector<uint8_t>& block, std::string_view path) {
  std::optional<Block> current = parseRoot(block);
  if (!current) return std::nullopt;
  // The path is UTF-8; backslashes separate the keys and empty keys are skipped.
  size_t at = 0;
  while (at <= path.size()) {
    size_t stop = path.find('\\', at);
    if (stop == std::string_view::npos) stop = path.size();
    if (stop > at) {
      const std::u16string key = utf8ToUtf16(path.substr(at, stop - at));
      current = findChild(block, *current, key);
      if (!current) return std::nullopt;
    }
    at = stop + 1;
  }
  return valueOf(block, *current);
}

bool isVersionInfo(const std::vector<uint8_t>& block) {
  const std::optional<Block> root = parseRoot(block);
  return root && keyIs(block, *root, u"VS_VERSION_INFO");
}

std::u16string textOf(const BlockValue& value) {
  std::u16string text;
  if (value.data == nullptr) return text;
  for (size_t at = 0; at + 2 <= value.size; at += 2) {
    const char16_t c = le16(value.data + at);
    if (c == 0) break;
    text += c;
  }
  return text;
}

}  // namespace sw::pe
