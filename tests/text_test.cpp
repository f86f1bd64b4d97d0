#include "engine/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/code_page.h"

namespace sw {
namespace {

constexpr CharRule kOne = CharRule::kSingleByte;
constexpr CharRule kTwo = CharRule::kDoubleByte;

// GBK bytes of characters whose second byte looks like ASCII.
const Text kQian = "\x9C\x5C";  // 淺: second byte is "\"
const Text kMa = "\xB4\x61";    // 碼: second byte is "a"

TEST(TextTest, IntegerAndHexForms) {
  EXPECT_EQ(integerToText(0), "0");
  EXPECT_EQ(integerToText(4294967295LL), "4294967295");
  EXPECT_EQ(integerToText(-5), "-5");
  EXPECT_EQ(integerToText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");

  const struct {
    int32_t v;
    const char* text;
  } hex[] = {{0, "0"},
             {10, "A"},
             {255, "FF"},
             {1223629, "12ABCD"},
             {-1, "FFFFFFFF"},
             {-2, "FFFFFFFE"},
             {static_cast<int32_t>(0xCBF43926u), "CBF43926"}};
  for (const auto& c : hex) EXPECT_EQ(hexText(c.v), c.text) << c.v;
}

TEST(TextTest, RoundRealNudgesDecimalHalvesUp) {
  const struct {
    double x;
    int32_t places;
    double want;
  } cases[] = {
      {1.005, 2, 1.01},    {-1.005, 2, -1.01},
      {0, 2, 0},           {1023.995, 2, 1024},
      {3.999999999, 2, 4}, {2.675, 2, 2.68},
      {1.125, 2, 1.13},    {1.004, 2, 1.0},
      {2.5, 0, 3},         {-2.5, 0, -3},
      {2.4999, 0, 2},      {1250, -2, 1300},
      {1249, -2, 1200},    {4.7683715820312, 2, 4.77},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(roundReal(c.x, c.places), c.want) << c.x << " to " << c.places;
  }
  EXPECT_TRUE(std::isnan(roundReal(std::nan(""), 2)));
}

TEST(TextTest, RealToTextIsThirteenSignificantDigits) {
  const struct {
    double x;
    const char* text;
  } cases[] = {{1.5, "1.5"},
               {4.0, "4"},
               {2.25, "2.25"},
               {1023.99, "1023.99"},
               {1024.0, "1024"},
               {0.5, "0.5"},
               {-2.5, "-2.5"},
               {0.0001, "0.0001"},
               {117.74, "117.74"},
               {1.0 / 3, "0.3333333333333"},
               {123456789012.0, "123456789012"}};
  for (const auto& c : cases) EXPECT_EQ(realToText(c.x), c.text) << c.x;
}

TEST(TextTest, DateTimeToText) {
  const auto t = [](std::string_view utf8) { return fromUtf8(utf8); };
  const struct {
    DateTimeValue v;
    Text text;
  } cases[] = {
      {makeDateTime(2012, 2, 17, 9, 5, 3), t("2012年2月17日9时5分3秒")},
      {makeDateTime(2012, 2, 17, 9, 5, 0), t("2012年2月17日9时5分")},
      {makeDateTime(2012, 2, 17, 14, 0, 0), t("2012年2月17日14时")},
      {makeDateTime(2012, 2, 17, 0, 0, 0), t("2012年2月17日")},
      {makeDateTime(2012, 2, 17, 0, 0, 7), t("2012年2月17日0时0分7秒")},
      {makeDateTime(2012, 2, 17, 0, 30, 0), t("2012年2月17日0时30分")},
      {kEarliestDateTime, t("100年1月1日")},
      {kEarliestDateTime - 5000, t("100年1月1日")},
      {kLatestDateTime + 1e6, t("9999年12月31日")},
      {std::nan(""), t("100年1月1日")},
      {-1.25, t("1899年12月29日6时")},
      {0, t("1899年12月30日")},
      {makeDateTime(1600, 2, 29, 23, 59, 59), t("1600年2月29日23时59分59秒")},
      // Half a second rounds up, and may carry into the next day.
      {makeDateTime(2012, 2, 17, 9, 5, 3) + 0.6 / 86400, t("2012年2月17日9时5分4秒")},
      {makeDateTime(2012, 2, 28, 23, 59, 59) + 0.7 / 86400, t("2012年2月29日")},
  };
  for (const auto& c : cases) EXPECT_EQ(dateTimeToText(c.v), c.text) << c.v;
  EXPECT_DOUBLE_EQ(makeDateTime(1899, 12, 29, 6, 0, 0), -1.25);
  EXPECT_DOUBLE_EQ(makeDateTime(100, 1, 1, 0, 0, 0), kEarliestDateTime);
  EXPECT_DOUBLE_EQ(makeDateTime(9999, 12, 31, 0, 0, 0), kLatestDateTime);
}

TEST(TextTest, CaseChangeLeavesSecondBytesAlone) {
  EXPECT_EQ(asciiUpper("a" + kMa + "b", kTwo), "A" + kMa + "B");
  EXPECT_EQ(asciiUpper("a" + kMa + "b", kOne),
            "A\xB4"
            "AB");
  EXPECT_EQ(asciiLower("25F9E7AbZ", kTwo), "25f9e7abz");
  EXPECT_EQ(asciiLower("\xB4"
                       "A",
                       kTwo),
            "\xB4"
            "A");
  EXPECT_EQ(asciiUpper("", kTwo), "");
  // A lead byte at the very end has no second byte; nothing breaks.
  EXPECT_EQ(asciiUpper("ab\xB4", kTwo), "AB\xB4");
}

TEST(TextTest, SplitText) {
  const struct {
    Text t, sep;
    std::vector<Text> members;
  } cases[] = {
      {"", ";", {}},
      {"a", ";", {"a"}},
      {"a;b;c", ";", {"a", "b", "c"}},
      {";a", ";", {"", "a"}},
      {"a;;b", ";", {"a", "", "b"}},
      {"a;", ";", {"a"}},
      {"a;;", ";", {"a", ""}},
      {";", ";", {""}},
      {"p1\r\np2\r\n", "\r\n", {"p1", "p2"}},
      {"p1", "\r\n", {"p1"}},
      {"a;b", "", {"a;b"}},
      {"ab", "abc", {"ab"}},
      {"x|y||", "|", {"x", "y", ""}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(splitText(c.t, c.sep, kOne), c.members) << c.t;
    EXPECT_EQ(splitText(c.t, c.sep, kTwo), c.members) << c.t;
  }
  // A separator byte that is the second byte of a character does not split under the
  // double-byte rule.
  const Text gbk = "C:\\" + kQian + "|D:\\x";
  EXPECT_EQ(splitText(gbk, "\\", kTwo), (std::vector<Text>{"C:", kQian + "|D:", "x"}));
  EXPECT_EQ(splitText(gbk, "\\", kOne), (std::vector<Text>{"C:", "\x9C", "|D:", "x"}));
  EXPECT_EQ(splitText("\x81|a|b", "|", kTwo), (std::vector<Text>{"\x81|a", "b"}));
}

TEST(TextTest, FindLast) {
  const struct {
    Text t, pattern;
    int32_t twoByte, oneByte;
  } cases[] = {
      {"C:\\dir\\file.txt", "\\", 7, 7},
      {"C:\\dir\\" + kQian + ".txt", "\\", 7, 9},
      {"C:\\" + kQian, "\\", 3, 5},
      {"file.txt", "\\", -1, -1},
      {"C:\\dir\\", "\\", 7, 7},
      {"", "\\", -1, -1},
      {"abc", "", 1, 1},
      {"", "", -1, -1},
      {"aaa", "aa", 2, 2},
      {"Abc", "a", -1, -1},
      {"\r\nx\r\n", "\r\n", 4, 4},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(findLast(c.t, c.pattern, kTwo), c.twoByte) << c.t;
    EXPECT_EQ(findLast(c.t, c.pattern, kOne), c.oneByte) << c.t;
  }
}

TEST(TextTest, CountingOperationsUseRawBytes) {
  EXPECT_EQ(leftText("abc", 0), "");
  EXPECT_EQ(leftText("abc", -3), "");
  EXPECT_EQ(leftText("abc", 2), "ab");
  EXPECT_EQ(leftText("abc", 9), "abc");
  EXPECT_EQ(rightText("abc", 0), "");
  EXPECT_EQ(rightText("abc", 2), "bc");
  EXPECT_EQ(rightText("abc", 9), "abc");
  EXPECT_EQ(rightText("C:\\" + kQian, 1), "\\");
  EXPECT_EQ(textLength("C:\\" + kQian), 5);

  const Bytes ab = textToBytes("ab");
  EXPECT_EQ(ab, (Bytes{'a', 'b'}));
  EXPECT_TRUE(textToBytes("").empty());
  EXPECT_EQ(bytesToText(Bytes{'a', 0, 'b'}), "a");
  EXPECT_EQ(bytesToText(Bytes{0, 'b'}), "");
  EXPECT_EQ(bytesToText(Bytes{}), "");
  EXPECT_EQ(bytesToText(Bytes{'x', 'y'}), "xy");
}

TEST(TextTest, TruncateToInteger) {
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    int64_t want;
  } cases[] = {
      {2.9, 2},     {-2.9, -2},   {0.0, 0},      {std::nan(""), kMin},           {inf, kMin},
      {-inf, kMin}, {1e19, kMin}, {-1e19, kMin}, {9.2e18, 9200000000000000000LL}};
  for (const auto& c : cases) EXPECT_EQ(truncateToInteger(c.x), c.want) << c.x;
  EXPECT_EQ(truncateToInt32(inf), 0);
  EXPECT_EQ(truncateToInt32(4294967296.0 + 7), 7);
  EXPECT_EQ(truncateToInt32(3000000000.0), -1294967296);
}

TEST(TextTest, CutTextKeepsCharactersWhole) {
  EXPECT_EQ(cutText("abcdef", 4, kTwo), "abcd");
  EXPECT_EQ(cutText("ab" + kMa + kMa, 3, kTwo), "ab");
  EXPECT_EQ(cutText("ab" + kMa + kMa, 3, kOne), "ab\xB4");
  EXPECT_EQ(cutText("ab", 255, kTwo), "ab");
}

}  // namespace
}  // namespace sw
