#include "engine/file_facts.h"

#include <cstdio>

#include "platform/code_page.h"
#include "platform/file_info.h"
#include "platform/version_info.h"

namespace sw {
namespace {

// The key of the string table that a translation entry names: language then code page, four
// lower-case hexadecimal digits each.
Text tableKey(uint32_t translation) {
  char key[16];
  std::snprintf(key, sizeof key, "%04x%04x", static_cast<unsigned>(translation & 0xFFFFu),
                static_cast<unsigned>(translation >> 16));
  return key;
}

}  // namespace

std::optional<int64_t> fileSizeFact(const Text& path) {
  const std::optional<FileInfo> info = lookUpPath(path);
  if (!info) return std::nullopt;
  return info->size;
}

std::optional<DateTimeValue> lastWriteTimeFact(const Text& path) {
  const std::optional<FileInfo> info = lookUpPath(path);
  if (!info) return std::nullopt;
  return info->lastWrite;
}

PathFacts lookUpFacts(const Text& path) {
  const std::optional<FileInfo> info = lookUpPath(path);
  if (!info) return {};
  return {info->size, info->lastWrite};
}

bool readVersionFields(const Text& path, VersionFields& fields, const Bytes* head) {
  fields = VersionFields();
  if (head != nullptr && !(head->size() >= 2 && (*head)[0] == 'M' && (*head)[1] == 'Z')) {
    return false;  // not an executable image
  }
  VersionBlock block;
  if (!block.load(path)) return false;

  const CharRule rule = activeCharRule();
  Text key = "040904E4";
  const std::vector<uint32_t> translations = block.translations();
  if (!translations.empty()) {
    Text names;
    for (size_t i = 0; i < translations.size(); ++i) {
      if (i > 0) names += ", ";
      names += languageName(translations[i]);
    }
    fields.Language = cutText(names, kVersionFieldLimit, rule);
    key = tableKey(translations.front());
  }

  struct Entry {
    const char* name;
    Text VersionFields::*field;
  };
  static const Entry kEntries[] = {
      {"FileVersion", &VersionFields::FileVersion},
      {"CompanyName", &VersionFields::CompanyName},
      {"FileDescription", &VersionFields::FileDescription},
      {"InternalName", &VersionFields::InternalName},
      {"LegalCopyright", &VersionFields::LegalCopyright},
      {"LegalTrademarks", &VersionFields::LegalTrademarks},
      {"OriginalFilename", &VersionFields::OriginalFilename},
      {"ProductName", &VersionFields::ProductName},
      {"ProductVersion", &VersionFields::ProductVersion},
      {"Comments", &VersionFields::Comments},
  };
  const Text prefix = "\\StringFileInfo\\" + key + "\\";
  for (const Entry& e : kEntries) {
    Text value;
    if (block.queryText(prefix + e.name, &value)) {
      fields.*e.field = cutText(value, kVersionFieldLimit, rule);
    }
  }
  return true;
}

}  // namespace sw
