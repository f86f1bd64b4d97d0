// Windows paths that the ANSI calls alone cannot reach: longer than MAX_PATH, or holding a
// character the code page cannot represent.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/verify_job.h"
#include "platform/code_page.h"
#include "platform/win32_paths.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"

namespace sw {
namespace {

Text u(std::string_view utf8) {
  return fromUtf8(utf8);
}

bool writeWide(const std::wstring& path, std::string_view bytes) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD n = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  return CloseHandle(h) && n == bytes.size();
}

Text reportOf(const Text& path) {
  VerifyJob job;
  return test::reportWithoutTime(job, {path});
}

Text digitsBlock(const Text& name, const Text& path) {
  return u("文件名：") + name + "\r\n" + u("文件路径：") + path + "\r\n" +
         u("文件尺寸：9字节\r\n") + u("MD5：25F9E794323B453885F5181F1B624D0B\r\n") +
         u("SHA1：F7C3BC1D808E04732ADF679965CCC34CA7AE3441\r\n") + u("CRC32：CBF43926\r\n") +
         "\r\n";
}

TEST(WindowsPathsTest, APathLongerThanMaxPathIsReadAndShownAsGiven) {
  test::TempDir dir;
  Text path = dir.path().string();
  for (int i = 0; path.size() < 320; ++i) {
    path += "\\" + u("很长的文件夹名称") + std::to_string(i);
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + wideFromAnsi(path)).c_str(), nullptr))
        << GetLastError();
  }
  path += "\\a.txt";
  ASSERT_TRUE(writeWide(L"\\\\?\\" + wideFromAnsi(path), "123456789"));
  ASSERT_GT(path.size(), static_cast<size_t>(MAX_PATH));
  EXPECT_EQ(reportOf(path), digitsBlock("a.txt", path));
}

TEST(WindowsPathsTest, ANameTheCodePageCannotHoldIsReadThroughItsShortPath) {
  test::TempDir dir;
  // Thai letters and an emoji: no ANSI code page of the East Asian kind holds them.
  const std::wstring name = L"\u0E20\u0E32\u0E29\u0E32-\U0001F600.txt";
  const std::wstring full = wideFromAnsi(dir.path().string()) + L"\\" + name;
  ASSERT_TRUE(writeWide(full, "123456789"));

  const Text ansi = ansiPathFor(full);
  EXPECT_EQ(ansi.find('?'), Text::npos) << ansi;
  const Text shortName = ansi.substr(ansi.rfind('\\') + 1);
  EXPECT_EQ(reportOf(ansi), digitsBlock(shortName, ansi));

  // A path the code page holds stays as it is.
  const std::wstring plain =
      wideFromAnsi(dir.path().string()) + L"\\" + wideFromAnsi(u("中文.txt"));
  EXPECT_EQ(ansiPathFor(plain), dir.text(u("中文.txt")));
}

}  // namespace
}  // namespace sw
