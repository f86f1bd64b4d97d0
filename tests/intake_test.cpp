#include <gtest/gtest.h>

#include <string>

#include "intake/drop_text.h"
#include "intake/open_dialog.h"

namespace sw {
namespace {

std::vector<Text> parse(const std::string& buffer, CharRule rule = CharRule::kDoubleByte) {
  return parseOpenDialogBuffer(reinterpret_cast<const uint8_t*>(buffer.data()), buffer.size(), rule,
                               "\\");
}

using std::string_literals::operator""s;

TEST(OpenDialogTest, BufferToPaths) {
  const struct {
    std::string buffer;
    std::vector<Text> paths;
  } cases[] = {
      {"C:\\data\\a.bin\0\0"s, {"C:\\data\\a.bin"}},
      {"C:\\data\0a.bin\0b.bin\0\0"s, {"C:\\data\\a.bin", "C:\\data\\b.bin"}},
      {"C:\\\0a.bin\0b.bin\0\0"s, {"C:\\a.bin", "C:\\b.bin"}},  // a drive root: no doubled "\"
      {"C:\\d\0a\0b\0c\0\0"s, {"C:\\d\\a", "C:\\d\\b", "C:\\d\\c"}},
      // A name with ";" stays one path.
      {"C:\\d\0x;y.txt\0z.txt\0\0"s, {"C:\\d\\x;y.txt", "C:\\d\\z.txt"}},
      {"C:\\one;two.txt\0\0"s, {"C:\\one;two.txt"}},
      // Only the bytes before the first pair of NULs count; without a pair, nothing.
      {"C:\\a\0\0junk\0\0"s, {"C:\\a"}},
      {"\0\0"s, {}},
      {"C:\\a"s, {}},
      {""s, {}},
      {"\0"s, {}},
      // A folder whose last character has "\" as its second byte (淺 is 0x9C 0x5C) is not
      // taken to end in a separator.
      {"C:\\\x9C\x5C\0a\0\0"s, {"C:\\\x9C\x5C\\a"}},
      // A byte that would lead a character right before a NUL does not swallow the NUL.
      {"\xAF\0a\0b\0\0"s, {"\xAF\\a", "\xAF\\b"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parse(c.buffer), c.paths) << testing::PrintToString(c.buffer);
  }
  // Under the one-byte rule that last byte is a separator.
  EXPECT_EQ(parse("C:\\\x9C\x5C\0a\0\0"s, CharRule::kSingleByte), (std::vector<Text>{"C:\\\x9C\x5C"
                                                                                     "a"}));
}

TEST(OpenDialogTest, ManyFilesFitTheBuffer) {
  std::string buffer = "C:\\folder"s + '\0';
  std::vector<Text> want;
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "file-with-a-long-name-" + std::to_string(i) + ".bin";
    buffer += name + '\0';
    want.push_back("C:\\folder\\" + name);
  }
  buffer += '\0';
  ASSERT_LT(buffer.size(), kOpenDialogBufferSize);
  EXPECT_EQ(parse(buffer), want);
}

TEST(OpenDialogTest, FilterList) {
  const auto bytes = [](const Bytes& b) { return std::string(b.begin(), b.end()); };
  EXPECT_EQ(bytes(dialogFilterList("")), "\0\0"s);
  EXPECT_EQ(bytes(dialogFilterList("*.txt|*.txt")), "*.txt\0*.txt\0\0"s);
  EXPECT_EQ(bytes(dialogFilterList("Text|*.txt|All|*.*")), "Text\0*.txt\0All\0*.*\0\0"s);
}

TEST(DropTextTest, TextAndPathsOfADrop) {
  const struct {
    std::vector<Text> items;
    Text text;
  } cases[] = {
      {{}, ""},
      {{"C:\\a.txt"}, "C:\\a.txt"},
      {{"C:\\a", "C:\\dir", "D:\\b c"}, "C:\\a\r\nC:\\dir\r\nD:\\b c\r\n"},
      {{"C:\\x;y"}, "C:\\x;y"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dropEventText(c.items), c.text);
    EXPECT_EQ(dropEventPaths(c.text, CharRule::kDoubleByte), c.items);
  }
  std::vector<Text> many;
  for (int i = 0; i < 800; ++i) many.push_back("C:\\" + std::string(300, 'p') + std::to_string(i));
  EXPECT_EQ(dropEventPaths(dropEventText(many), CharRule::kDoubleByte), many);
}

}  // namespace
}  // namespace sw
