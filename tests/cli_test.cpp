// sumwarden-cli end to end: the real program over real files.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/code_page.h"
#include "platform/paths.h"
#include "tests/run_command.h"
#include "tests/test_support.h"

namespace sw {
namespace {

using test::runCommand;

Text u(std::string_view utf8) {
  return fromUtf8(utf8);
}

class CliTest : public testing::Test {
 protected:
  test::CommandResult cli(std::vector<std::string> args,
                          const std::vector<std::pair<std::string, std::string>>& env = {}) {
    return runCommand(test::siblingProgram("sumwarden-cli"), args, env);
  }
  test::TempDir dir;
};

TEST_F(CliTest, ReportsTheExampleFileExactly) {
  const Text path = dir.write("a.txt", "123456789");
  test::setLocalWriteTime(path, 2012, 2, 17, 9, 5, 3);
  const auto r = cli({path});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, u("文件名：a.txt\r\n") + u("文件路径：") + path + "\r\n" +
                       u("文件尺寸：9字节\r\n") + u("修改时间：2012年2月17日9时5分3秒\r\n") +
                       u("MD5：25F9E794323B453885F5181F1B624D0B\r\n") +
                       u("SHA1：F7C3BC1D808E04732ADF679965CCC34CA7AE3441\r\n") +
                       u("CRC32：CBF43926\r\n") + "\r\n");
}

TEST_F(CliTest, OptionsClearTheirBoxesAndUnreadableEntriesSetTheStatus) {
  const Text path = dir.write("-dash", "62");
  const Text missing = dir.text("missing");
  const auto r = cli(
      {"--no-time", "--no-md5", "--no-sha1", "--lowercase", "--no-version", "--", path, missing});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, u("文件名：-dash\r\n") + u("文件路径：") + path + "\r\n" +
                       u("文件尺寸：2字节\r\n") + u("CRC32：12D20A\r\n") + "\r\n" +
                       u("文件名：missing\r\n") + u("文件路径：") + missing + "\r\n" +
                       u("文件尺寸：文件不存在\r\n") + u("CRC32：无法读取\r\n") + "\r\n");
}

TEST_F(CliTest, UsageErrors) {
  const struct {
    std::vector<std::string> args;
    int status;
  } cases[] = {{{}, 2}, {{"--bogus", "x"}, 2}, {{"--no-md5"}, 2}, {{"--"}, 2}, {{"--help"}, 0}};
  for (const auto& c : cases) {
    const auto r = cli(c.args);
    EXPECT_EQ(r.exitCode, c.status) << testing::PrintToString(c.args);
    if (c.status == 2) {
      EXPECT_EQ(r.out, "");
    }
  }
  EXPECT_NE(cli({"--help"}).out.find("usage: sumwarden-cli"), std::string::npos);
}

// Names in Chinese reach the report whole, also one whose second GBK byte is "\" (淺 is 0x9C 0x5C):
// only a real separator ends the folder part.
TEST_F(CliTest, ChineseNamesStayWhole) {
  const Text folder = dir.folder(u("校验测试"));
  const Text qian = u("淺.txt");
  if (activeCharRule() == CharRule::kDoubleByte) {
    ASSERT_EQ(qian.substr(0, 2), "\x9C\x5C");
  }
  std::vector<std::string> paths;
  for (const Text& name : {qian, u("中文名.bin"), u("表格.dat")}) {
    paths.push_back(folder + pathSeparator() + name);
    ASSERT_TRUE(test::writeFile(paths.back(), "123456789")) << toUtf8(paths.back());
  }
  paths.push_back(folder);
  const auto r = cli({"--no-time", "--no-md5", "--no-sha1", paths[0], paths[1], paths[2], folder});
  EXPECT_EQ(r.exitCode, 1);  // the folder has no content to read
  Text want;
  for (const std::string& p : paths) {
    const Text name =
        p.substr(p.size() - (p == folder ? u("校验测试") : p.substr(folder.size() + 1)).size());
    want += u("文件名：") + name + "\r\n" + u("文件路径：") + p + "\r\n" +
            (p == folder ? u("文件尺寸：0字节\r\n") + u("CRC32：无法读取\r\n")
                         : u("文件尺寸：9字节\r\n") + u("CRC32：CBF43926\r\n")) +
            "\r\n";
  }
  EXPECT_EQ(toUtf8(r.out), toUtf8(want));
}

// Under a GBK locale the labels are the GBK bytes, whatever the test process uses.
TEST_F(CliTest, LabelsFollowTheLocaleCharset) {
  const char* saved = std::setlocale(LC_CTYPE, nullptr);
  const std::string restore = saved ? saved : "C";
  const bool haveGbk = std::setlocale(LC_CTYPE, "zh_CN.GBK") != nullptr;
  std::setlocale(LC_CTYPE, restore.c_str());
  if (!haveGbk) GTEST_SKIP() << "the zh_CN.GBK locale is not installed";
  const Text path = dir.write("b", "");
  const auto r = cli({"--no-time", path}, {{"LC_ALL", "zh_CN.GBK"}});
  EXPECT_EQ(r.out.substr(0, 8), "\xCE\xC4\xBC\xFE\xC3\xFB\xA3\xBA");  // 文件名：
}

}  // namespace
}  // namespace sw
