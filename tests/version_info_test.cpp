#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/code_page.h"
#include "platform/pe_version.h"
#include "platform/utf.h"
#include "platform/version_info.h"
#include "tests/pe_fixture.h"
#include "tests/test_support.h"
#ifndef _WIN32
#include "platform/language_names.h"
#endif

namespace sw {
namespace {

using test::buildPe;
using test::buildVersionInfo;
using test::PeImage;
using test::PeKind;
using test::put16;
using test::put32;
using test::Resource;
using test::StringTable;
using test::translation;
using test::VersionDesc;
using test::VersionString;

constexpr uint32_t kChinesePrc = translation(0x0804, 1200);
constexpr uint32_t kEnglishUs = translation(0x0409, 1200);

const StringTable kChineseTable{"080404b0",
                                {{"FileVersion", "1.2.3.4"},
                                 {"CompanyName", "示例软件公司"},
                                 {"FileDescription", "校验工具"},
                                 {"ProductName", "Sumwarden"}}};
const StringTable kEnglishTable{
    "040904b0",
    {{"FileVersion", "9.8.7.6"}, {"CompanyName", "Example Software"}, {"Comments", ""}}};

std::string kindName(PeKind kind) {
  return kind == PeKind::kPe32 ? "PE32" : "PE32+";
}

// A query and the UTF-8 text it should give; nullopt: it finds nothing.
struct Query {
  const char* path;
  std::optional<std::string> utf8;
};

void expectQueries(const VersionBlock& block, const std::vector<Query>& queries) {
  for (const Query& q : queries) {
    SCOPED_TRACE(q.path);
    Text value = "untouched";
    const bool found = block.queryText(q.path, &value);
    EXPECT_EQ(found, q.utf8.has_value());
    if (found && q.utf8) {
      EXPECT_EQ(value, fromUtf8(*q.utf8));
    }
  }
}

// The version resource of an image as the parser sees it, checked as load() checks it.
std::optional<std::vector<uint8_t>> versionInfoOf(const Bytes& image, size_t size) {
  pe::SpanSource source(image.data(), size);
  std::optional<std::vector<uint8_t>> found = pe::findVersionResource(source);
  if (!found || !pe::isVersionInfo(*found)) return std::nullopt;
  return found;
}

std::optional<std::vector<uint8_t>> versionInfoOf(const Bytes& image) {
  return versionInfoOf(image, image.size());
}

std::optional<std::u16string> queryString(const std::vector<uint8_t>& block, const char* path) {
  const std::optional<pe::BlockValue> v = pe::queryBlock(block, path);
  if (!v) return std::nullopt;
  return pe::textOf(*v);
}

// The offset of the block whose key is the given one (the first such key in the bytes).
size_t blockAt(const std::vector<uint8_t>& bytes, std::u16string_view key) {
  std::vector<uint8_t> pattern;
  for (char16_t c : key) {
    pattern.push_back(static_cast<uint8_t>(c));
    pattern.push_back(static_cast<uint8_t>(c >> 8));
  }
  pattern.push_back(0);
  pattern.push_back(0);
  const auto it = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  EXPECT_NE(it, bytes.end()) << "no block " << utf16ToUtf8(key);
  return static_cast<size_t>(it - bytes.begin()) - 6;
}

uint16_t get16(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<uint16_t>(b.at(at) | (b.at(at + 1) << 8));
}

uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
  return get16(b, at) | (uint32_t{get16(b, at + 2)} << 16);
}

// --- Reading whole files -------------------------------------------------------------------

class VersionFileTest : public testing::TestWithParam<PeKind> {
 protected:
  test::TempDir dir_;
};

TEST_P(VersionFileTest, TwoTranslationsAndTheirTables) {
  VersionDesc desc;
  desc.tables = {kChineseTable, kEnglishTable};
  desc.translations = {{kChinesePrc, kEnglishUs}};
  const Text path = dir_.text("two.exe");
  ASSERT_TRUE(test::writeBytes(path, buildPe(desc, GetParam()).bytes));

  VersionBlock block;
  ASSERT_TRUE(block.load(path));
  EXPECT_EQ(block.translations(), (std::vector<uint32_t>{kChinesePrc, kEnglishUs}));
  expectQueries(block, {
                           {"\\StringFileInfo\\080404b0\\FileVersion", "1.2.3.4"},
                           {"\\StringFileInfo\\080404b0\\CompanyName", "示例软件公司"},
                           {"\\StringFileInfo\\080404b0\\FileDescription", "校验工具"},
                           {"\\StringFileInfo\\080404b0\\ProductName", "Sumwarden"},
                           {"\\StringFileInfo\\040904b0\\FileVersion", "9.8.7.6"},
                           {"\\StringFileInfo\\040904b0\\CompanyName", "Example Software"},
                           {"\\StringFileInfo\\040904b0\\Comments", ""},
                           {"\\StringFileInfo\\080404b0\\Comments", std::nullopt},
                           {"\\StringFileInfo\\080404b0\\FileVersio", std::nullopt},
                           {"\\StringFileInfo\\080404b0\\FileVersionX", std::nullopt},
                           {"\\StringFileInfo\\080404e4\\FileVersion", std::nullopt},
                           {"\\StringFileInfo\\FileVersion", std::nullopt},
                       });
}

INSTANTIATE_TEST_SUITE_P(Kinds, VersionFileTest, testing::Values(PeKind::kPe32, PeKind::kPe32Plus),
                         [](const testing::TestParamInfo<PeKind>& info) {
                           return info.param == PeKind::kPe32 ? "Pe32" : "Pe32Plus";
                         });

TEST(VersionBlockTest, ShapesOfTheBlock) {
  struct Case {
    const char* what;
    VersionDesc desc;
    std::vector<uint32_t> translations;
    std::vector<Query> queries;
  };
  VersionDesc noTable;
  noTable.tables = {kChineseTable};
  VersionDesc emptyTable = noTable;
  emptyTable.translations = std::vector<uint32_t>{};
  VersionDesc missingTable = noTable;
  missingTable.translations = {{translation(0x0409, 1252)}};
  VersionDesc noStrings;
  noStrings.withStringFileInfo = false;
  noStrings.translations = {{kChinesePrc}};
  VersionDesc threeInOrder = noTable;
  threeInOrder.translations = {{translation(0x0409, 1252), translation(0x0411, 932), kChinesePrc}};
  VersionDesc anyCase;
  anyCase.tables = {{"040904E4", {{"fileVERSION", "2.0"}, {"Build@Tag", "b"}}}};
  anyCase.translations = {{translation(0x0409, 1252)}};

  const std::vector<Case> cases = {
      {"no translation table",
       noTable,
       {},
       {{"\\StringFileInfo\\080404b0\\FileVersion", "1.2.3.4"}}},
      {"an empty translation table",
       emptyTable,
       {},
       {{"\\StringFileInfo\\080404b0\\FileVersion", "1.2.3.4"}}},
      {"a translation naming a missing table",
       missingTable,
       {translation(0x0409, 1252)},
       {{"\\StringFileInfo\\040904e4\\FileVersion", std::nullopt},
        {"\\StringFileInfo\\040904b0\\FileVersion", std::nullopt}}},
      {"no StringFileInfo",
       noStrings,
       {kChinesePrc},
       {{"\\StringFileInfo\\080404b0\\FileVersion", std::nullopt}}},
      {"translations keep the file's order",
       threeInOrder,
       {translation(0x0409, 1252), translation(0x0411, 932), kChinesePrc},
       {}},
      {"keys match in any ASCII letter case",
       anyCase,
       {translation(0x0409, 1252)},
       {{"\\stringfileinfo\\040904e4\\FileVersion", "2.0"},
        {"\\StringFileInfo\\040904e4\\BUILD@TAG", "b"},
        {"\\StringFileInfo\\040904E4\\Build`Tag", std::nullopt},
        {"\\StringFileInfo\\040904E4\\Build@Tah", std::nullopt}}},
  };

  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Text path = dir.text("shape.exe");
    ASSERT_TRUE(test::writeBytes(path, buildPe(c.desc).bytes));
    VersionBlock block;
    ASSERT_TRUE(block.load(path));
    EXPECT_EQ(block.translations(), c.translations);
    expectQueries(block, c.queries);
  }
}

TEST(VersionBlockTest, TranslationTableOfAnyLength) {
  VersionDesc desc;
  desc.tables = {kChineseTable};
  desc.translations = {{kChinesePrc, kEnglishUs}};
  const PeImage intact = buildPe(desc);
  const size_t var = blockAt(intact.bytes, u"Translation");
  struct Case {
    uint16_t valueLength;
    std::vector<uint32_t> translations;
  };
  const Case cases[] = {
      {8, {kChinesePrc, kEnglishUs}},
      {7, {kChinesePrc}},
      {6, {kChinesePrc}},
      {4, {kChinesePrc}},
      {3, {}},
      {0, {}},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.valueLength);
    PeImage img = intact;
    put16(img.bytes, var + 2, c.valueLength);
    const Text path = dir.text("translations.exe");
    ASSERT_TRUE(test::writeBytes(path, img.bytes));
    VersionBlock block;
    ASSERT_TRUE(block.load(path));
    EXPECT_EQ(block.translations(), c.translations);
  }
}

TEST(VersionBlockTest, FilesWithoutAVersionResource) {
  test::TempDir dir;
  VersionDesc good;
  good.tables = {kChineseTable};
  good.translations = {{kChinesePrc}};
  const Text goodPath = dir.text("good.exe");
  ASSERT_TRUE(test::writeBytes(goodPath, buildPe(good).bytes));

  Resource manifest;
  manifest.type = 24;
  manifest.data = textToBytes("<assembly/>");
  Resource icon;
  icon.type = 3;
  icon.data = Bytes(40, 0x11);

  struct Case {
    const char* what;
    Text path;
  };
  const std::vector<Case> cases = {
      {"an empty file", dir.write("empty.exe", "")},
      {"a text file", dir.write("text.exe", "just some words, not an image at all\n")},
      {"MZ alone", dir.write("mz.exe", "MZ")},
      {"an image with other resources only",
       dir.write("other.exe", bytesToText(buildPe({manifest, icon}).bytes))},
      {"a missing file", dir.text("missing.exe")},
      {"a folder", dir.path().string()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    VersionBlock block;
    ASSERT_TRUE(block.load(goodPath));
    // A failed load leaves nothing of the earlier one behind.
    EXPECT_FALSE(block.load(c.path));
    EXPECT_TRUE(block.translations().empty());
    Text value;
    EXPECT_FALSE(block.queryText("\\StringFileInfo\\080404b0\\FileVersion", &value));
  }
}

// --- Damaged images ------------------------------------------------------------------------

TEST(PeVersionTest, DamagedImagesHaveNoVersionResource) {
  struct Case {
    const char* what;
    std::function<void(PeImage&)> damage;
  };
  const uint32_t kWild = 0xFFFFFFF0;
  const std::vector<Case> cases = {
      {"not MZ", [](PeImage& i) { i.bytes[1] = 'Y'; }},
      {"e_lfanew far past the end", [&](PeImage& i) { put32(i.bytes, i.lfanewField, kWild); }},
      {"e_lfanew at the last bytes",
       [](PeImage& i) {
         put32(i.bytes, i.lfanewField, static_cast<uint32_t>(i.bytes.size() - 2));
       }},
      {"e_lfanew at the MZ header", [](PeImage& i) { put32(i.bytes, i.lfanewField, 0); }},
      {"no PE signature", [](PeImage& i) { i.bytes[i.peHeader + 1] = 'F'; }},
      {"unknown optional header magic",
       [](PeImage& i) { put16(i.bytes, i.optionalHeader, 0x0107); }},
      {"optional header too short for the resource directory",
       [](PeImage& i) { put16(i.bytes, i.fileHeader + 16, 0x60); }},
      {"optional header longer than the file",
       [](PeImage& i) { put16(i.bytes, i.fileHeader + 16, 0xFFFF); }},
      {"only two data directories",
       [](PeImage& i) { put32(i.bytes, i.resourceDirectoryField - 2 * 8 - 4, 2); }},
      {"no resource directory", [](PeImage& i) { put32(i.bytes, i.resourceDirectoryField, 0); }},
      {"resource directory of size zero",
       [](PeImage& i) { put32(i.bytes, i.resourceDirectoryField + 4, 0); }},
      {"resource directory at a wild RVA",
       [&](PeImage& i) { put32(i.bytes, i.resourceDirectoryField, kWild); }},
      {"no sections", [](PeImage& i) { put16(i.bytes, i.fileHeader + 2, 0); }},
      {"section table running past the end",
       [](PeImage& i) { put16(i.bytes, i.fileHeader + 2, 0xFFFF); }},
      {"section raw data at a wild offset",
       [&](PeImage& i) { put32(i.bytes, i.sectionHeader + 20, kWild); }},
      {"section raw data of wild size at a wild offset",
       [&](PeImage& i) {
         put32(i.bytes, i.sectionHeader + 16, 0xFFFFFFFF);
         put32(i.bytes, i.sectionHeader + 20, kWild);
       }},
      {"section raw data empty", [](PeImage& i) { put32(i.bytes, i.sectionHeader + 16, 0); }},
      {"section at a wild RVA", [&](PeImage& i) { put32(i.bytes, i.sectionHeader + 12, kWild); }},
      {"root directory claiming 131070 entries",
       [](PeImage& i) {
         put16(i.bytes, i.resourceRoot + 12, 0xFFFF);
         put16(i.bytes, i.resourceRoot + 14, 0xFFFF);
       }},
      {"root directory with no entries",
       [](PeImage& i) { put16(i.bytes, i.resourceRoot + 14, 0); }},
      {"RT_VERSION entry pointing at the root",
       [](PeImage& i) { put32(i.bytes, i.typeEntry + 4, 0x80000000u); }},
      {"RT_VERSION entry not a directory",
       [](PeImage& i) { put32(i.bytes, i.typeEntry + 4, i.typeDirectory); }},
      {"RT_VERSION entry pointing far away",
       [](PeImage& i) { put32(i.bytes, i.typeEntry + 4, 0xFFFFFFFFu); }},
      {"name entry pointing at its own directory",
       [](PeImage& i) { put32(i.bytes, i.nameEntry + 4, 0x80000000u | i.typeDirectory); }},
      {"language entry pointing at its own directory",
       [](PeImage& i) { put32(i.bytes, i.languageEntry + 4, 0x80000000u | i.nameDirectory); }},
      {"language entry taking its directory for a data entry",
       [](PeImage& i) { put32(i.bytes, i.languageEntry + 4, i.nameDirectory); }},
      {"data entry at a wild RVA", [&](PeImage& i) { put32(i.bytes, i.dataEntry, kWild); }},
      {"data entry pointing at the resource root",
       [](PeImage& i) { put32(i.bytes, i.dataEntry, i.resourceRva); }},
      {"data entry of size zero", [](PeImage& i) { put32(i.bytes, i.dataEntry + 4, 0); }},
      {"data entry of wild size", [](PeImage& i) { put32(i.bytes, i.dataEntry + 4, 0xFFFFFFFF); }},
      {"data running past the section into bytes after it",
       [](PeImage& i) {
         i.bytes.resize(i.bytes.size() + 0x1000, 0x20);
         put32(i.bytes, i.dataEntry + 4, static_cast<uint32_t>(i.versionSize + 0x800));
       }},
      {"data running past the section and the file",
       [](PeImage& i) { put32(i.bytes, i.dataEntry + 4, static_cast<uint32_t>(i.bytes.size())); }},
      {"wLength zero", [](PeImage& i) { put16(i.bytes, i.versionData, 0); }},
      {"wLength shorter than a header", [](PeImage& i) { put16(i.bytes, i.versionData, 5); }},
      {"wLength past the resource",
       [](PeImage& i) { put16(i.bytes, i.versionData, static_cast<uint16_t>(i.versionSize + 1)); }},
      {"wLength too short for the key", [](PeImage& i) { put16(i.bytes, i.versionData, 16); }},
      {"another root key", [](PeImage& i) { i.bytes[i.versionData + 6] = 'W'; }},
      {"truncated inside the headers", [](PeImage& i) { i.bytes.resize(i.peHeader + 30); }},
      {"truncated inside the directories", [](PeImage& i) { i.bytes.resize(i.nameEntry + 2); }},
      {"truncated inside the version data",
       [](PeImage& i) { i.bytes.resize(i.versionData + i.versionSize - 1); }},
  };

  VersionDesc desc;
  desc.tables = {kChineseTable};
  desc.translations = {{kChinesePrc}};
  test::TempDir dir;
  for (PeKind kind : {PeKind::kPe32, PeKind::kPe32Plus}) {
    const PeImage intact = buildPe(desc, kind);
    ASSERT_TRUE(versionInfoOf(intact.bytes)) << kindName(kind);
    for (const Case& c : cases) {
      SCOPED_TRACE(kindName(kind) + ": " + c.what);
      PeImage damaged = intact;
      c.damage(damaged);
      EXPECT_FALSE(versionInfoOf(damaged.bytes));
#ifndef _WIN32
      // The system's own reader is more forgiving of some of these, so only ours is held to it.
      const Text path = dir.text("damaged.exe");
      ASSERT_TRUE(test::writeBytes(path, damaged.bytes));
      EXPECT_FALSE(VersionBlock().load(path));
#endif
    }
  }
}

TEST(PeVersionTest, TruncatedAnywhereBeforeTheDataEnds) {
  VersionDesc desc;
  desc.tables = {kChineseTable};
  desc.translations = {{kChinesePrc}};
  for (PeKind kind : {PeKind::kPe32, PeKind::kPe32Plus}) {
    SCOPED_TRACE(kindName(kind));
    const PeImage img = buildPe(desc, kind);
    const size_t dataEnd = img.versionData + img.versionSize;
    for (size_t size = 0; size < dataEnd; ++size) {
      // A copy of exactly that size, so that a read past it is caught by the sanitizers.
      const Bytes cut(img.bytes.begin(), img.bytes.begin() + static_cast<ptrdiff_t>(size));
      ASSERT_FALSE(versionInfoOf(cut)) << "cut to " << size;
    }
    // The padding after the data is not needed.
    EXPECT_TRUE(versionInfoOf(img.bytes, dataEnd));
  }
}

TEST(PeVersionTest, AnyDamagedByteKeepsReadsInsideTheBlock) {
  VersionDesc desc;
  desc.tables = {kChineseTable, kEnglishTable};
  desc.translations = {{kChinesePrc, kEnglishUs}};
  const char* const paths[] = {"\\", "\\VarFileInfo\\Translation",
                               "\\StringFileInfo\\080404b0\\CompanyName",
                               "\\StringFileInfo\\040904b0\\Comments", "\\StringFileInfo"};
  for (PeKind kind : {PeKind::kPe32, PeKind::kPe32Plus}) {
    const PeImage img = buildPe(desc, kind);
    for (size_t at = 0; at < img.versionData + img.versionSize; ++at) {
      for (uint8_t v : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
        Bytes damaged = img.bytes;
        damaged[at] = v;
        pe::SpanSource source(damaged.data(), damaged.size());
        const std::optional<std::vector<uint8_t>> found = pe::findVersionResource(source);
        if (!found) continue;
        ASSERT_LE(found->size(), 0xFFFFu);
        for (const char* path : paths) {
          const std::optional<pe::BlockValue> value = pe::queryBlock(*found, path);
          if (!value) continue;
          ASSERT_GE(value->data, found->data()) << kindName(kind) << " " << at << " " << path;
          ASSERT_LE(value->data + value->size, found->data() + found->size())
              << kindName(kind) << " " << at << " " << path;
          pe::textOf(*value);
        }
      }
    }
  }
}

// --- The parser on its own -----------------------------------------------------------------

TEST(PeVersionTest, PicksIdOneElseTheFirstNameAndTheFirstLanguage) {
  const auto version = [](uint16_t type, uint16_t id, const char* name, uint16_t language,
                          const char* description) {
    VersionDesc desc;
    desc.tables = {{"040904b0", {{"FileDescription", description}}}};
    Resource r;
    r.type = type;
    r.nameId = id;
    r.name = name;
    r.language = language;
    r.data = buildVersionInfo(desc);
    return r;
  };
  struct Case {
    const char* what;
    std::vector<Resource> resources;
    std::optional<std::u16string> picked;
  };
  const std::vector<Case> cases = {
      {"ID 1 among other names and types",
       {version(3, 1, "", 0x0409, "icon"), version(16, 0, "INFO", 0x0409, "named"),
        version(16, 2, "", 0x0409, "two"), version(16, 1, "", 0x0409, "one"),
        version(24, 1, "", 0x0409, "manifest")},
       u"one"},
      {"no ID 1: string names come first",
       {version(16, 2, "", 0x0409, "two"), version(16, 0, "INFO", 0x0409, "named")},
       u"named"},
      {"no ID 1: the lowest ID",
       {version(16, 7, "", 0x0409, "seven"), version(16, 3, "", 0x0409, "three")},
       u"three"},
      {"the first language",
       {version(16, 1, "", 0x0804, "zh"), version(16, 1, "", 0x0409, "en")},
       u"en"},
      {"no RT_VERSION",
       {version(3, 1, "", 0x0409, "icon"), version(24, 16, "", 0x0409, "manifest")},
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PeImage img = buildPe(c.resources);
    const std::optional<std::vector<uint8_t>> found = versionInfoOf(img.bytes);
    ASSERT_EQ(found.has_value(), c.picked.has_value());
    if (found) {
      EXPECT_EQ(queryString(*found, "\\StringFileInfo\\040904b0\\FileDescription"), c.picked);
    }
  }
}

TEST(PeVersionTest, RootValueIsTheFixedFileInfo) {
  VersionDesc desc;
  desc.fileVersion = 0x000A000B000C000D;
  const std::vector<uint8_t> block = buildVersionInfo(desc);
  for (const char* path : {"\\", ""}) {
    SCOPED_TRACE(path);
    const std::optional<pe::BlockValue> v = pe::queryBlock(block, path);
    ASSERT_TRUE(v);
    EXPECT_FALSE(v->isText);
    ASSERT_EQ(v->size, 52u);
    const std::vector<uint8_t> fixed(v->data, v->data + v->size);
    EXPECT_EQ(get32(fixed, 0), 0xFEEF04BDu);
    EXPECT_EQ(get32(fixed, 8), 0x000A000Bu);
    EXPECT_EQ(get32(fixed, 12), 0x000C000Du);
  }
}

// wValueLength of a string is often wrong in real files; the text still runs to its
// terminator and never into the next block.
TEST(PeVersionTest, StringValueLengthsAreNotTrusted) {
  const std::optional<uint16_t> lengths[] = {std::nullopt, 0, 1, 7, 16, 0xFFFF};
  for (const std::optional<uint16_t>& length : lengths) {
    SCOPED_TRACE(length ? std::to_string(*length) : "exact");
    VersionDesc desc;
    desc.tables = {
        {"080404b0", {{"FileVersion", "1.2.3.4", length}, {"CompanyName", "示例", length}}}};
    desc.translations = {{kChinesePrc}};
    const std::vector<uint8_t> block = buildVersionInfo(desc);
    EXPECT_EQ(queryString(block, "\\StringFileInfo\\080404b0\\FileVersion"), u"1.2.3.4");
    EXPECT_EQ(queryString(block, "\\StringFileInfo\\080404b0\\CompanyName"), u"示例");
  }
}

TEST(PeVersionTest, DamagedBlocksStayInsideThemselves) {
  VersionDesc desc;
  desc.tables = {{"080404b0", {{"FileVersion", "1.2.3.4"}, {"CompanyName", "Co"}}}};
  desc.translations = {{kChinesePrc}};
  const std::vector<uint8_t> intact = buildVersionInfo(desc);
  const size_t stringInfo = blockAt(intact, u"StringFileInfo");
  const size_t fileVersion = blockAt(intact, u"FileVersion");
  const size_t company = blockAt(intact, u"CompanyName");
  const size_t var = blockAt(intact, u"Translation");

  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
    bool valid;
    std::optional<std::u16string> fileVersion, company;
    size_t translations;
  };
  const std::vector<Case> cases = {
      {"intact", [](auto&) {}, true, u"1.2.3.4", u"Co", 1},
      {"StringFileInfo of length zero ends the walk", [&](auto& b) { put16(b, stringInfo, 0); },
       true, std::nullopt, std::nullopt, 0},
      {"StringFileInfo longer than its parent is cut to it",
       [&](auto& b) { put16(b, stringInfo, 0xFFFF); }, true, u"1.2.3.4", u"Co", 0},
      {"a String of length zero hides it and what follows",
       [&](auto& b) { put16(b, fileVersion, 0); }, true, std::nullopt, std::nullopt, 1},
      {"a String cut inside its terminator",
       [&](auto& b) { put16(b, company, static_cast<uint16_t>(get16(b, company) - 1)); }, true,
       u"1.2.3.4", u"Co", 1},
      {"a String cut inside its text",
       [&](auto& b) { put16(b, company, static_cast<uint16_t>(get16(b, company) - 4)); }, true,
       u"1.2.3.4", u"C", 1},
      {"a key whose terminator lies past its block",
       [&](auto& b) { put16(b, company, 6 + 2 * 11); }, true, u"1.2.3.4", std::nullopt, 1},
      {"a translation value longer than its block", [&](auto& b) { put16(b, var + 2, 0xFFFF); },
       true, u"1.2.3.4", u"Co", 1},
      {"a translation taken for unterminated text, running past the end",
       [&](auto& b) {
         put16(b, var, 0xFFFF);
         put16(b, var + 4, 1);
       },
       true, u"1.2.3.4", u"Co", 1},
      {"the whole block cut short by a byte", [](auto& b) { b.pop_back(); }, false, std::nullopt,
       std::nullopt, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> block = intact;
    c.damage(block);
    EXPECT_EQ(pe::isVersionInfo(block), c.valid);
    EXPECT_EQ(queryString(block, "\\StringFileInfo\\080404b0\\FileVersion"), c.fileVersion);
    EXPECT_EQ(queryString(block, "\\StringFileInfo\\080404b0\\CompanyName"), c.company);
    const std::optional<pe::BlockValue> t = pe::queryBlock(block, "\\VarFileInfo\\Translation");
    EXPECT_EQ(t ? t->size / 4 : 0, c.translations);
  }
}

// Counts the reads made of a source that is not an image.
class CountingSource : public pe::ByteSource {
 public:
  explicit CountingSource(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t size() const override { return bytes_.size(); }
  bool readAt(uint64_t offset, void* out, size_t n) override {
    ++reads;
    largest = std::max(largest, n);
    pe::SpanSource span(reinterpret_cast<const uint8_t*>(bytes_.data()), bytes_.size());
    return span.readAt(offset, out, n);
  }
  int reads = 0;
  size_t largest = 0;

 private:
  std::string bytes_;
};

TEST(PeVersionTest, ASourceThatIsNotAnImageCostsOneSmallRead) {
  for (const std::string& bytes :
       {test::patternBytes(1 << 20), std::string("ZM") + test::patternBytes(4094)}) {
    CountingSource source(bytes);
    EXPECT_FALSE(pe::findVersionResource(source));
    EXPECT_EQ(source.reads, 1);
    EXPECT_LE(source.largest, 8u);
  }
}

// --- Language names ------------------------------------------------------------------------

#ifndef _WIN32
// On Windows the names come from the system; this is the table the other systems use.
TEST(LanguageNameTest, NamesFromTheTable) {
  struct Case {
    uint32_t translation;
    const char* utf8;
  };
  const Case cases[] = {
      {0x0804, "中文(简体，中国)"},
      {0x0404, "中文(繁体，台湾)"},
      {0x0C04, "中文(繁体，香港特别行政区)"},
      {0x1004, "中文(简体，新加坡)"},
      {0x0409, "英语(美国)"},
      {0x0809, "英语(英国)"},
      {0x0411, "日语(日本)"},
      {0x0412, "韩语(韩国)"},
      {0x0407, "德语(德国)"},
      {0x040C, "法语(法国)"},
      {0x0419, "俄语(俄罗斯)"},
      {0x040A, "西班牙语(西班牙，传统排序)"},
      {0x0C0A, "西班牙语(西班牙，国际排序)"},
      {0x0000, "语言中性"},
      {0x1404, "中文(繁体，澳门特别行政区)"},  // the last entry of the table
      {kChinesePrc, "中文(简体，中国)"},       // the code page is not part of the name
      {translation(0x0409, 1252), "英语(美国)"},
      {0x1234, "未知语言(0x1234)"},
      {0x0001, "未知语言(0x0001)"},
      {0xFFFF, "未知语言(0xFFFF)"},
      {0x04B0FFFF, "未知语言(0xFFFF)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utf8);
    EXPECT_EQ(languageNameUtf8(static_cast<uint16_t>(c.translation)), c.utf8);
    EXPECT_EQ(languageName(c.translation), fromUtf8(c.utf8));
  }
}
#endif

}  // namespace
}  // namespace sw
