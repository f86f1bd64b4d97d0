// A file's version resource (VS_VERSIONINFO), read whole, and the queries the report makes.
//
// Windows: GetFileVersionInfoSizeA / GetFileVersionInfoA / VerQueryValueA / VerLanguageNameA.
// POSIX: our own reader of PE images (platform/pe_version.h) and a table of language names.
// A VersionBlock belongs to one thread at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/text.h"

namespace sw {

class VersionBlock {
 public:
  VersionBlock();
  ~VersionBlock();
  VersionBlock(const VersionBlock&) = delete;
  VersionBlock& operator=(const VersionBlock&) = delete;

  // Reads the version block of the file at path, replacing what was held. False when the file
  // has no version resource, cannot be read, or is not a well-formed image.
  bool load(const Text& path);

  // The entries of "\VarFileInfo\Translation": language identifier in the low 16 bits, code page
  // in the high 16 bits. Empty when the block has no translation table.
  std::vector<uint32_t> translations() const;

  // The text value at a sub-block path such as "\StringFileInfo\080404b0\FileVersion", in the
  // code page, up to its terminating zero. Keys match without regard to ASCII letter case.
  // False when the block holds no such value.
  bool queryText(const Text& subBlock, Text* value) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The name of the language of a translation entry, as the system names it (VerLanguageNameA);
// only the language identifier in the low 16 bits matters.
Text languageName(uint32_t translation);

}  // namespace sw
