// Builds small PE images (PE32 and PE32+) in memory whose only section, .rsrc, holds resources
// such as a VS_VERSIONINFO block made from a description. The images are complete enough for
// the system's own version reader to accept them as data files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/text.h"

namespace sw::test {

struct VersionString {
  VersionString(std::string name, std::string value,
                std::optional<uint16_t> valueLength = std::nullopt)
      : name(std::move(name)), value(std::move(value)), valueLength(valueLength) {}
  std::string name;   // UTF-8
  std::string value;  // UTF-8
  // wValueLength as written; by default the UTF-16 length with the terminator.
  std::optional<uint16_t> valueLength;
};

struct StringTable {
  std::string key;  // such as "080404b0"
  std::vector<VersionString> strings;
};

struct VersionDesc {
  uint64_t fileVersion = 0x0001000200030004;  // 1.2.3.4
  uint64_t productVersion = 0x0001000200030004;
  bool withStringFileInfo = true;
  std::vector<StringTable> tables;
  // "\VarFileInfo\Translation" entries (language | code page << 16); none: no VarFileInfo.
  std::optional<std::vector<uint32_t>> translations;
};

// A translation entry.
constexpr uint32_t translation(uint16_t language, uint16_t codePage) {
  return language | (uint32_t{codePage} << 16);
}

// The VS_VERSIONINFO block the description gives.
Bytes buildVersionInfo(const VersionDesc& desc);

struct Resource {
  uint16_t type = 16;  // RT_VERSION
  uint16_t nameId = 1;
  std::string name;  // when not empty, a string name instead of nameId
  uint16_t language = 0x0409;
  Bytes data;
};

enum class PeKind { kPe32, kPe32Plus };

struct PeImage {
  Bytes bytes;
  // File offsets of the parts a test may damage.
  size_t lfanewField = 0x3C;
  size_t peHeader = 0;    // "PE\0\0"
  size_t fileHeader = 0;  // IMAGE_FILE_HEADER
  size_t optionalHeader = 0;
  size_t resourceDirectoryField = 0;  // data directory 2: RVA, size
  size_t sectionHeader = 0;           // of .rsrc
  size_t resourceRoot = 0;            // the root resource directory
  uint32_t resourceRva = 0;
  // Along the way to the version resource a reader picks (RT_VERSION, ID 1 or else the first
  // name, first language); all zero when there is none. The directories of RT_VERSION's names
  // and of the picked name's languages, as offsets from the resource root; the entries taken
  // in the root, in those two directories, and the data entry, as file offsets; the data.
  uint32_t typeDirectory = 0, nameDirectory = 0;
  size_t typeEntry = 0, nameEntry = 0, languageEntry = 0, dataEntry = 0;
  size_t versionData = 0, versionSize = 0;
};

// An image holding the given resources, sorted as a resource compiler sorts them.
PeImage buildPe(const std::vector<Resource>& resources, PeKind kind = PeKind::kPe32);

// An image holding one version resource (ID 1, US English) made from the description.
PeImage buildPe(const VersionDesc& desc, PeKind kind = PeKind::kPe32);

void put16(Bytes& bytes, size_t offset, uint16_t v);
void put32(Bytes& bytes, size_t offset, uint32_t v);

// Writes the bytes to a file, replacing it; false when that fails.
bool writeBytes(const Text& path, const Bytes& bytes);

}  // namespace sw::test
