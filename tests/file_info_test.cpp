#include "platform/file_info.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/file_facts.h"
#include "platform/input_file.h"
#include "tests/test_support.h"

namespace sw {
namespace {

TEST(FileInfoTest, SizeAndTimeOfFilesFoldersAndMissingPaths) {
  test::TempDir dir;
  const Text file = dir.write("f.bin", std::string(1234, 'z'));
  test::setLocalWriteTime(file, 2012, 2, 17, 9, 5, 3);
  const Text folder = dir.folder("d");
  test::setLocalWriteTime(folder, 1999, 12, 31, 23, 59, 58);

  EXPECT_EQ(fileSizeFact(file), 1234);
  EXPECT_EQ(lastWriteTimeFact(file), makeDateTime(2012, 2, 17, 9, 5, 3));
  EXPECT_EQ(fileSizeFact(folder), 0);
  EXPECT_EQ(lastWriteTimeFact(folder), makeDateTime(1999, 12, 31, 23, 59, 58));
  for (const Text& nothing : {dir.text("missing"), Text(), dir.text("missing") + "/x"}) {
    EXPECT_EQ(fileSizeFact(nothing), std::nullopt) << nothing;
    EXPECT_EQ(lastWriteTimeFact(nothing), std::nullopt) << nothing;
  }
}

// A time in the other half of the year keeps its own daylight-saving state.
TEST(FileInfoTest, TimesOfBothSeasonsAreTheirOwnLocalTime) {
  test::TempDir dir;
  const Text file = dir.write("f", "x");
  for (int month : {1, 7}) {
    test::setLocalWriteTime(file, 2021, month, 15, 12, 30, 0);
    EXPECT_EQ(dateTimeToText(*lastWriteTimeFact(file)),
              dateTimeToText(makeDateTime(2021, month, 15, 12, 30, 0)));
  }
}

TEST(FileInfoTest, SizeOfAFileBeyondFourGigabytes) {
  test::TempDir dir;
  const Text path = dir.text("sparse");
  test::writeFile(path, "x");
  std::error_code ec;
  std::filesystem::resize_file(path, 5368709120ULL, ec);
  if (ec) GTEST_SKIP() << "no sparse file here: " << ec.message();
  EXPECT_EQ(fileSizeFact(path), 5368709120LL);
}

TEST(InputFileTest, ReadsInPiecesAndRefusesFolders) {
  test::TempDir dir;
  const std::string content = test::patternBytes(10000);
  const Text path = dir.write("p", content);
  InputFile f;
  ASSERT_EQ(f.open(path), 0u);
  EXPECT_EQ(f.size(), 10000u);
  std::string got(4096, '\0');
  std::string all;
  for (;;) {
    const InputFile::ReadResult r = f.read(reinterpret_cast<uint8_t*>(got.data()), got.size());
    EXPECT_EQ(r.error, 0u);
    all.append(got, 0, r.count);
    if (r.count < got.size()) break;
  }
  EXPECT_EQ(all, content);
  char head[2];
  EXPECT_TRUE(f.readAt(9998, head, 2));
  EXPECT_FALSE(f.readAt(9999, head, 2));

  InputFile folder;
  EXPECT_NE(folder.open(dir.path().string()), 0u);
  EXPECT_FALSE(folder.isOpen());
  EXPECT_NE(folder.open(dir.text("missing")), 0u);
}

}  // namespace
}  // namespace sw
