// Writes the seed images of the pe_version fuzz target: small PE32 and PE32+ images whose
// version resources differ in the ways the reader has to cope with, and one bare version
// block (the target also reads its whole input as a block).
// Usage: make_pe_seeds FOLDER   (fuzz/make_pe_seeds.sh builds and runs it)
#include <cstdio>
#include <string>
#include <vector>

#include "tests/pe_fixture.h"

using sw::Bytes;
using namespace sw::test;

namespace {

VersionDesc chineseDesc() {
  VersionDesc d;
  d.tables = {{"080404b0",
               {{"FileVersion", "1.2.3.4"},
                {"FileDescription", "校验工具"},
                {"CompanyName", "示例公司"},
                {"ProductName", "Sumwarden"},
                {"ProductVersion", "1.2"}}}};
  d.translations = std::vector<uint32_t>{translation(0x0804, 0x04b0)};
  return d;
}

VersionDesc twoTablesDesc() {
  VersionDesc d;
  d.fileVersion = 0x000A000B000C000D;
  d.tables = {{"040904b0", {{"FileVersion", "10.11.12.13"}, {"Comments", "first"}}},
              {"040704e4", {{"FileVersion", "10.11"}, {"ProductName", "zweite"}}}};
  d.translations = std::vector<uint32_t>{translation(0x0409, 0x04b0), translation(0x0407, 0x04e4)};
  return d;
}

// String lengths as real files get them wrong: without the terminator, in bytes, zero.
VersionDesc oddLengthsDesc() {
  VersionDesc d;
  d.tables = {{"040904b0",
               {{"FileVersion", "2.0", uint16_t{3}},
                {"FileDescription", "bytes", uint16_t{12}},
                {"ProductName", "zero", uint16_t{0}},
                {"CompanyName", ""}}}};
  d.translations = std::vector<uint32_t>{translation(0x0409, 0x04b0)};
  return d;
}

VersionDesc fixedOnlyDesc() {
  VersionDesc d;
  d.withStringFileInfo = false;
  return d;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_pe_seeds FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  // A version resource beside other resources, under a string name and two languages.
  Resource icon;
  icon.type = 3;
  icon.data = Bytes(40, 0x11);
  Resource named;
  named.name = "VERSION";
  named.language = 0x0804;
  named.data = buildVersionInfo(chineseDesc());
  Resource second = named;
  second.language = 0x0409;
  second.data = buildVersionInfo(twoTablesDesc());

  const struct {
    const char* name;
    Bytes bytes;
  } seeds[] = {
      {"pe32_chinese.exe", buildPe(chineseDesc()).bytes},
      {"pe32plus_two_tables.exe", buildPe(twoTablesDesc(), PeKind::kPe32Plus).bytes},
      {"pe32_odd_lengths.exe", buildPe(oddLengthsDesc()).bytes},
      {"pe32plus_fixed_only.exe", buildPe(fixedOnlyDesc(), PeKind::kPe32Plus).bytes},
      {"pe32_named_resources.exe", buildPe({icon, named, second}).bytes},
      {"version_block.bin", buildVersionInfo(chineseDesc())},
  };
  for (const auto& s : seeds) {
    if (!writeBytes(folder + "/" + s.name, s.bytes)) {
      std::fprintf(stderr, "cannot write %s\n", s.name);
      return 1;
    }
  }
  return 0;
}
