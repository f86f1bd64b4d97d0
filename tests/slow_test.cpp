// Slow: a sparse file of 5 GiB, hashed whole.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/verify_job.h"
#include "platform/code_page.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"

namespace sw {
namespace {

TEST(SlowTest, AFileBeyondFourGigabytesIsSizedAndHashedWhole) {
  test::TempDir dir;
  const Text path = dir.text("sparse.bin");
  ASSERT_TRUE(test::writeFile(path, ""));
  std::error_code ec;
  std::filesystem::resize_file(path, 5368709120ULL, ec);
  if (ec) GTEST_SKIP() << "no sparse file here: " << ec.message();
  VerifyJob job;
  EXPECT_EQ(test::reportWithoutTime(job, {path}),
            fromUtf8("文件名：sparse.bin\r\n") + fromUtf8("文件路径：") + path + "\r\n" +
                fromUtf8("文件尺寸：5368709120字节(5G)\r\n") +
                fromUtf8("MD5：EC4BCC8776EA04479B786E063A9ACE45\r\n") +
                fromUtf8("SHA1：13EDCCC7871C2016FBE8A2A0D808E19A90FBFC63\r\n") +
                fromUtf8("CRC32：193838C3\r\n") + "\r\n");
  EXPECT_EQ(job.filePercent.load(), 100);  // 512 whole chunks of the full size
}

}  // namespace
}  // namespace sw
