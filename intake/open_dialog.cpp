#include "intake/open_dialog.h"

#include <cstring>
#include <string_view>

namespace sw {

std::vector<Text> parseOpenDialogBuffer(const uint8_t* buffer, size_t size, CharRule rule,
                                        const char* separator) {
  std::vector<Text> paths;
  size_t kept = 0;
  while (kept + 1 < size && !(buffer[kept] == 0 && buffer[kept + 1] == 0)) ++kept;
  if (kept + 1 >= size) return paths;  // no pair of NULs: nothing was chosen
  const std::string_view bytes(reinterpret_cast<const char*>(buffer), kept);
  if (bytes.empty()) return paths;
  if (bytes.find('\0') == std::string_view::npos) {
    paths.emplace_back(bytes);
    return paths;
  }
  // The folder, then the names. A NUL is never the second byte of a character: it ends a
  // piece even after a lead byte, as it ended the bytes above.
  std::vector<Text> pieces = splitText(bytes, std::string_view("\0", 1), CharRule::kSingleByte);
  Text folder = pieces.front();
  const int32_t last = findLast(folder, separator, rule);
  if (last < 0 || static_cast<size_t>(last) + std::strlen(separator) - 1 != folder.size()) {
    folder += separator;  // the dialog ends only a drive's root with a separator
  }
  for (size_t i = 1; i < pieces.size(); ++i) paths.push_back(folder + pieces[i]);
  return paths;
}

Bytes dialogFilterList(const Text& filterText) {
  Bytes list = textToBytes(filterText);
  for (uint8_t& b : list) {
    if (b == '|') b = 0;
  }
  list.push_back(0);
  list.push_back(0);
  return list;
}

}  // namespace sw
