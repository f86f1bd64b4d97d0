// The facts of a path that the report shows: its size, its last-write time and the fields of
// its version resource. Safe from any thread; a VersionFields record belongs to one run.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/text.h"

namespace sw {

// Each field holds at most kVersionFieldLimit bytes; a longer value is cut at a character edge.
inline constexpr size_t kVersionFieldLimit = 255;

struct VersionFields {
  Text FileVersion, FileDescription, InternalName, CompanyName, LegalCopyright, LegalTrademarks,
      OriginalFilename, ProductName, ProductVersion, Language, Comments;
};

// The full size in bytes of what path names (0 for a folder); nullopt when it names nothing.
std::optional<int64_t> fileSizeFact(const Text& path);

// The local date and time of the last write, to the whole second; nullopt when path names
// nothing.
std::optional<DateTimeValue> lastWriteTimeFact(const Text& path);

// The size and the time from one look-up, which is what the job loop makes of each entry.
struct PathFacts {
  std::optional<int64_t> size;
  std::optional<DateTimeValue> lastWrite;
};
PathFacts lookUpFacts(const Text& path);

// Refills fields from the file's version resource; true when the file has one (all fields
// empty when false). head, when given, is the start of the file as just read (up to its first
// two bytes): a file that does not start with "MZ" is then not opened again.
bool readVersionFields(const Text& path, VersionFields& fields, const Bytes* head = nullptr);

}  // namespace sw
