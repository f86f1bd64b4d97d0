#include "fuzz/targets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text.h"
#include "intake/drop_text.h"
#include "intake/open_dialog.h"
#include "platform/pe_version.h"
#include "platform/utf.h"

namespace sw::fuzz {
namespace {

[[noreturn]] void abortOnFailure(const char* check, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, check);
  std::abort();
}

FailureHandler failureHandler = abortOnFailure;

[[noreturn]] void fail(const char* check, const char* file, int line) {
  failureHandler(check, file, line);
  std::abort();  // a handler that returned
}

#define SW_CHECK(condition)                                 \
  do {                                                      \
    if (!(condition)) fail(#condition, __FILE__, __LINE__); \
  } while (false)

constexpr CharRule kRules[] = {CharRule::kSingleByte, CharRule::kDoubleByte};

std::string_view asText(const uint8_t* data, size_t size) {
  return size == 0 ? std::string_view()
                   : std::string_view(reinterpret_cast<const char*>(data), size);
}

// Which offsets of t start a character when t is read from its start under the rule; the
// entry at t.size() is true when the last character is whole (the walk lands on the end).
std::vector<bool> charStarts(std::string_view t, CharRule rule) {
  std::vector<bool> starts(t.size() + 1, false);
  size_t i = 0;
  while (i < t.size()) {
    starts[i] = true;
    i += rule == CharRule::kDoubleByte && static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
  }
  if (i == t.size()) starts[i] = true;
  return starts;
}

bool endsWhole(std::string_view t, CharRule rule) {
  return charStarts(t, rule).back();
}

Text join(const std::vector<Text>& members, std::string_view sep) {
  Text out;
  for (size_t i = 0; i < members.size(); ++i) {
    if (i > 0) out += sep;
    out += members[i];
  }
  return out;
}

// ---- Text scans

// The members joined with the separator give the text, with or without one closing
// separator; a member holds no separator at any of its character starts; every member that a
// separator follows ends on a whole character (the separator was found at a character start);
// a last member without a separator after it is not empty.
void checkSplit(std::string_view t, std::string_view sep, CharRule rule) {
  const std::vector<Text> members = splitText(t, sep, rule);
  if (t.empty()) {
    SW_CHECK(members.empty());
    return;
  }
  if (sep.empty()) {
    SW_CHECK(members.size() == 1 && members.front() == t);
    return;
  }
  SW_CHECK(!members.empty());
  SW_CHECK(members.size() <= t.size() / sep.size() + 1);
  const Text joined = join(members, sep);
  const bool closed = joined + Text(sep) == t;
  SW_CHECK(joined == t || closed);
  for (size_t i = 0; i < members.size(); ++i) {
    SW_CHECK(findLast(members[i], sep, rule) == -1);
    if (i + 1 < members.size() || closed) SW_CHECK(endsWhole(members[i], rule));
  }
  if (!closed) SW_CHECK(!members.back().empty());
}

// findLast gives -1 or the 1-based position of a match that starts a character, with no
// match at any later character start.
void checkFindLast(std::string_view t, std::string_view pattern, CharRule rule) {
  const int32_t found = findLast(t, pattern, rule);
  if (pattern.empty()) {
    SW_CHECK(found == (t.empty() ? -1 : 1));
    return;
  }
  SW_CHECK(found == -1 || (found >= 1 && static_cast<size_t>(found) <= t.size()));
  const std::vector<bool> starts = charStarts(t, rule);
  size_t from = 0;
  if (found != -1) {
    const size_t at = static_cast<size_t>(found) - 1;
    SW_CHECK(starts[at]);
    SW_CHECK(t.substr(at).starts_with(pattern));
    from = at + 1;
  }
  for (size_t i = from; i + pattern.size() <= t.size(); ++i) {
    if (starts[i]) SW_CHECK(!t.substr(i).starts_with(pattern));
  }
  if (rule == CharRule::kSingleByte) {
    const size_t last = t.rfind(pattern);
    SW_CHECK(found == (last == std::string_view::npos ? -1 : static_cast<int32_t>(last) + 1));
  }
}

// cutText keeps the longest prefix of whole characters that fits.
void checkCut(std::string_view t, size_t maxBytes, CharRule rule) {
  const Text cut = cutText(t, maxBytes, rule);
  SW_CHECK(t.starts_with(cut));
  if (t.size() <= maxBytes) {
    SW_CHECK(cut == t);
    return;
  }
  SW_CHECK(cut.size() <= maxBytes);
  const std::vector<bool> starts = charStarts(t, rule);
  SW_CHECK(starts[cut.size()]);
  // The next character does not fit.
  size_t next = cut.size() + 1;
  while (next < t.size() && !starts[next]) ++next;
  SW_CHECK(next > maxBytes);
}

// The case changes keep the length, touch only ASCII letters at character starts, and undo
// each other.
void checkCase(std::string_view t, CharRule rule) {
  const Text upper = asciiUpper(t, rule);
  const Text lower = asciiLower(t, rule);
  SW_CHECK(upper.size() == t.size() && lower.size() == t.size());
  const std::vector<bool> starts = charStarts(t, rule);
  for (size_t i = 0; i < t.size(); ++i) {
    const char c = t[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (upper[i] != c || lower[i] != c) SW_CHECK(starts[i] && letter);
  }
  SW_CHECK(asciiLower(upper, rule) == lower);
  SW_CHECK(asciiUpper(lower, rule) == upper);
}

// ---- Version resources

// A SpanSource that counts the reads and keeps the range of the last one that succeeded.
class RecordingSource : public pe::SpanSource {
 public:
  using SpanSource::SpanSource;
  bool readAt(uint64_t offset, void* out, size_t n) override {
    ++reads;
    bytesRead += n;
    if (!SpanSource::readAt(offset, out, n)) return false;
    lastOffset = offset;
    lastSize = n;
    return true;
  }
  size_t reads = 0;
  uint64_t bytesRead = 0;
  uint64_t lastOffset = 0;
  size_t lastSize = 0;
};

bool within(const pe::BlockValue& v, const uint8_t* begin, const uint8_t* end) {
  const auto address = [](const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); };
  return address(v.data) >= address(begin) && address(v.data) <= address(end) &&
         v.size <= address(end) - address(v.data);
}

bool sameValue(const std::optional<pe::BlockValue>& a, const std::optional<pe::BlockValue>& b) {
  if (!a || !b) return !a && !b;
  return a->data == b->data && a->size == b->size && a->isText == b->isText;
}

// Queries one path; a value found lies inside the root's own length, and its text converts
// to UTF-8 and back unchanged.
std::optional<pe::BlockValue> query(const std::vector<uint8_t>& block, std::string_view path) {
  std::optional<pe::BlockValue> v = pe::queryBlock(block, path);
  if (!v) return v;
  SW_CHECK(block.size() >= 2);
  const size_t rootLength = size_t{block[0]} | (size_t{block[1]} << 8);
  SW_CHECK(rootLength <= block.size());
  SW_CHECK(within(*v, block.data(), block.data() + rootLength));
  const std::u16string text = pe::textOf(*v);
  SW_CHECK(text.size() * 2 <= v->size);
  if (v->isText) SW_CHECK(v->size % 2 == 0);
  const std::string utf8 = utf16ToUtf8(text);
  SW_CHECK(utf16ToUtf8(utf8ToUtf16(utf8)) == utf8);
  return v;
}

void examineBlock(const std::vector<uint8_t>& block, std::string_view extraPath) {
  const bool versionInfo = pe::isVersionInfo(block);
  const std::optional<pe::BlockValue> root = query(block, "\\");
  if (versionInfo) SW_CHECK(root.has_value());
  // Empty keys are skipped and keys match without regard to ASCII case.
  SW_CHECK(sameValue(root, query(block, "")));
  SW_CHECK(sameValue(root, query(block, "\\\\")));
  const std::optional<pe::BlockValue> translation = query(block, "\\VarFileInfo\\Translation");
  SW_CHECK(sameValue(translation, query(block, "varfileinfo\\\\TRANSLATION\\")));

  std::vector<std::string> paths = {
      "\\StringFileInfo",
      "\\StringFileInfo\\080404b0\\FileVersion",
      "\\StringFileInfo\\040904B0\\FileDescription",
      "\\VarFileInfo",
      std::string(extraPath),
  };
  // The tables that the translation entries name, as the file facts look them up.
  if (translation) {
    for (size_t at = 0; at + 4 <= translation->size && at < 16; at += 4) {
      const uint8_t* p = translation->data + at;
      char key[16];
      std::snprintf(key, sizeof key, "%04x%04x", static_cast<unsigned>(p[0] | (p[1] << 8)),
                    static_cast<unsigned>(p[2] | (p[3] << 8)));
      for (const char* name : {"FileVersion", "ProductName", "CompanyName"}) {
        paths.push_back(std::string("\\StringFileInfo\\") + key + "\\" + name);
      }
    }
  }
  for (const std::string& path : paths) query(block, path);
}

}  // namespace

void setFailureHandler(FailureHandler handler) {
  failureHandler = handler != nullptr ? handler : abortOnFailure;
}

int fuzzPeVersion(const uint8_t* data, size_t size) {
  // A path from the input's last bytes, however far from UTF-8 they are.
  const std::string_view tail = asText(data, size).substr(size > 24 ? size - 24 : 0);

  RecordingSource source(data, size);
  const std::optional<std::vector<uint8_t>> resource = pe::findVersionResource(source);
  // The reader walks a fixed way down: headers, three directory levels, the data.
  SW_CHECK(source.reads <= 16);
  if (size < 2 || data[0] != 'M' || data[1] != 'Z') {
    SW_CHECK(source.reads <= 1 && source.bytesRead <= 16);
  }
  if (resource) {
    SW_CHECK(!resource->empty() && resource->size() <= 0xFFFF);
    // The resource is the bytes of the last read.
    SW_CHECK(source.lastSize == resource->size());
    SW_CHECK(std::equal(resource->begin(), resource->end(), data + source.lastOffset));
    examineBlock(*resource, tail);
  }
  examineBlock(std::vector<uint8_t>(data, data + size), tail);
  return 0;
}

int fuzzTextScan(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t patternSize = std::min<size_t>(data[0] & 0x1F, size - 1);
  const std::string_view pattern = asText(data + 1, patternSize);
  const std::string_view t = asText(data + 1 + patternSize, size - 1 - patternSize);
  for (const CharRule rule : kRules) {
    checkSplit(t, pattern, rule);
    checkFindLast(t, pattern, rule);
    checkCut(t, data[0], rule);
    checkCase(t, rule);
  }
  // Every character start under the double-byte rule is one under the one-byte rule.
  SW_CHECK(findLast(t, pattern, CharRule::kSingleByte) >=
           findLast(t, pattern, CharRule::kDoubleByte));
  return 0;
}

int fuzzOpenDialog(const uint8_t* data, size_t size) {
  // Only the bytes before the first pair of NULs count.
  const std::string_view buffer = asText(data, size);
  const size_t pair = buffer.find(std::string_view("\0\0", 2));
  const std::string_view kept = buffer.substr(0, pair == std::string_view::npos ? 0 : pair);
  // The folder, and the names each after a NUL. None is empty, as the kept bytes hold no pair
  // and do not end with a NUL.
  const size_t firstNul = kept.find('\0');
  const std::string_view folder = kept.substr(0, firstNul);
  std::vector<std::string_view> names;
  for (size_t at = firstNul; at != std::string_view::npos;) {
    const size_t next = kept.find('\0', at + 1);
    names.push_back(kept.substr(at + 1, next == std::string_view::npos ? next : next - at - 1));
    at = next;
  }

  for (const CharRule rule : kRules) {
    for (const char* separator : {"\\", "/"}) {
      const std::vector<Text> paths = parseOpenDialogBuffer(data, size, rule, separator);
      for (const Text& path : paths) SW_CHECK(path.find('\0') == Text::npos);
      if (kept.empty()) {
        SW_CHECK(paths.empty());
        continue;
      }
      if (names.empty()) {
        SW_CHECK(paths.size() == 1 && paths.front() == kept);
        continue;
      }
      SW_CHECK(paths.size() == names.size());
      // Folder and name are joined with one separator: the folder's own last character when
      // that is one.
      const bool endsInSeparator = !folder.empty() && folder.back() == *separator &&
                                   charStarts(folder, rule)[folder.size() - 1];
      const Text joint = endsInSeparator ? "" : separator;
      for (size_t i = 0; i < paths.size() && i < names.size(); ++i) {
        SW_CHECK(paths[i] == Text(folder) + joint + Text(names[i]));
      }
    }
  }
  return 0;
}

int fuzzDropText(const uint8_t* data, size_t size) {
  const Text text(asText(data, size));
  for (const CharRule rule : kRules) {
    const std::vector<Text> paths = dropEventPaths(text, rule);
    checkSplit(text, "\r\n", rule);
    SW_CHECK(paths == splitText(text, "\r\n", rule));
    if (rule == CharRule::kSingleByte) {
      // Under the one-byte rule the members are exactly the runs between "\r\n"s.
      std::vector<Text> runs;
      size_t from = 0;
      for (size_t at = text.find("\r\n"); at != Text::npos; at = text.find("\r\n", from)) {
        runs.push_back(text.substr(from, at - from));
        from = at + 2;
      }
      if (from < text.size()) runs.push_back(text.substr(from));
      SW_CHECK(paths == runs);
    }
    // The text made from the paths gives the same paths back, unless a lone empty path (which
    // no drop holds) or a last path cut in the middle of a character (whose lead byte would
    // take in the "\r" after it) stands in the way.
    const Text again = dropEventText(paths);
    const bool lone = paths.size() == 1 && paths.front().empty();
    if (!lone && (paths.empty() || endsWhole(paths.back(), rule))) {
      SW_CHECK(dropEventPaths(again, rule) == paths);
    }
    // That text is the drop's own, with its closing "\r\n" dropped for one path or added
    // for several.
    if (paths.size() >= 2) {
      SW_CHECK(again == text || again == text + "\r\n");
    } else if (!paths.empty()) {
      SW_CHECK(again == text || again + "\r\n" == text);
    } else {
      SW_CHECK(again.empty() && text.empty());
    }
  }
  return 0;
}

std::span<const Target> targets() {
  static constexpr Target kTargets[] = {
      {"pe_version", fuzzPeVersion},
      {"text_scan", fuzzTextScan},
      {"open_dialog", fuzzOpenDialog},
      {"drop_text", fuzzDropText},
  };
  return kTargets;
}

}  // namespace sw::fuzz
