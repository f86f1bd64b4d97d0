#include "engine/verify_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "engine/crc32.h"
#include "engine/crypto_handles.h"
#include "engine/labels.h"
#include "platform/code_page.h"
#include "platform/paths.h"
#include "tests/fake_window.h"
#include "tests/test_support.h"

namespace sw {
namespace {

using test::FakeWindow;
using test::TempDir;

Text u(std::string_view utf8) {
  return fromUtf8(utf8);
}

constexpr const char* kMd5Digits = "25F9E794323B453885F5181F1B624D0B";
constexpr const char* kSha1Digits = "F7C3BC1D808E04732ADF679965CCC34CA7AE3441";

class VerifyJobTest : public testing::Test {
 protected:
  // The 9-byte file of digits, last written at 2012-02-17 09:05:03 local time.
  Text digitsFile() {
    const Text path = dir.write("a.txt", "123456789");
    test::setLocalWriteTime(path, 2012, 2, 17, 9, 5, 3);
    return path;
  }

  void run(std::vector<Text> paths) {
    job.fileList = std::move(paths);
    runVerifyJob(job, window, stop);
  }

  TempDir dir;
  VerifyJob job;
  FakeWindow window;
  StopMark stop;
};

TEST_F(VerifyJobTest, BlockOfASmallFileWithEveryBoxChecked) {
  const Text path = digitsFile();
  run({path});
  EXPECT_EQ(window.report,
            u("文件名：a.txt\r\n") + u("文件路径：") + path + "\r\n" + u("文件尺寸：9字节\r\n") +
                u("修改时间：2012年2月17日9时5分3秒\r\n") + u("MD5：") + kMd5Digits + "\r\n" +
                u("SHA1：") + kSha1Digits + "\r\n" + u("CRC32：CBF43926\r\n") + "\r\n");
  EXPECT_EQ(window.caption, u("Sumwarden - 已校验1个文件"));
  EXPECT_EQ(job.unreadableEntries, 0);
}

TEST_F(VerifyJobTest, OptionBoxesChooseTheLines) {
  const Text path = digitsFile();
  const Text head =
      u("文件名：a.txt\r\n") + u("文件路径：") + path + "\r\n" + u("文件尺寸：9字节\r\n");
  const Text time = u("修改时间：2012年2月17日9时5分3秒\r\n");
  const struct {
    const char* name;
    std::array<bool, 6> boxes;
    Text tail;
  } cases[] = {
      {"lower case",
       {true, true, true, true, true, false},
       time + u("MD5：25f9e794323b453885f5181f1b624d0b\r\n") +
           u("SHA1：f7c3bc1d808e04732adf679965ccc34ca7ae3441\r\n") + u("CRC32：CBF43926\r\n")},
      {"all clear", {false, false, false, false, false, false}, ""},
      {"no time",
       {true, false, true, true, true, true},
       u("MD5：") + kMd5Digits + "\r\n" + u("SHA1：") + kSha1Digits + "\r\n" +
           u("CRC32：CBF43926\r\n")},
      {"crc only", {true, false, false, false, true, true}, u("CRC32：CBF43926\r\n")},
      {"sha1 only",
       {false, true, false, true, false, true},
       time + u("SHA1：") + kSha1Digits + "\r\n"},
  };
  for (const auto& c : cases) {
    FakeWindow w;
    w.boxes = c.boxes;
    VerifyJob j;
    j.fileList = {path};
    runVerifyJob(j, w, stop);
    EXPECT_EQ(w.report, head + c.tail + "\r\n") << c.name;
  }
}

TEST_F(VerifyJobTest, EntriesThatCannotBeReadSayWhy) {
  const Text missing = dir.text("gone.bin");
  const Text folder = dir.folder("sub");
  test::setLocalWriteTime(folder, 2020, 5, 6, 7, 8, 9);
  const Text empty = dir.write("empty", "");
  test::setLocalWriteTime(empty, 2012, 2, 17, 0, 0, 0);
  run({missing, folder, empty, ""});

  const Text unreadable =
      u("MD5：无法读取\r\n") + u("SHA1：无法读取\r\n") + u("CRC32：无法读取\r\n");
  const Text missingFacts = u("文件尺寸：文件不存在\r\n") + u("修改时间：文件不存在\r\n");
  EXPECT_EQ(
      window.report,
      // A missing path: no size, no time, no digests.
      u("文件名：gone.bin\r\n") + u("文件路径：") + missing + "\r\n" + missingFacts + unreadable +
          "\r\n" +
          // A folder: size 0, its own time, no digests.
          u("文件名：sub\r\n") + u("文件路径：") + folder + "\r\n" + u("文件尺寸：0字节\r\n") +
          u("修改时间：2020年5月6日7时8分9秒\r\n") + unreadable + "\r\n" +
          // An empty file is read to its end: the digests of empty input.
          u("文件名：empty\r\n") + u("文件路径：") + empty + "\r\n" + u("文件尺寸：0字节\r\n") +
          u("修改时间：2012年2月17日\r\n") + u("MD5：D41D8CD98F00B204E9800998ECF8427E\r\n") +
          u("SHA1：DA39A3EE5E6B4B0D3255BFEF95601890AFD80709\r\n") + u("CRC32：0\r\n") + "\r\n" +
          // The empty path names nothing.
          u("文件名：\r\n") + u("文件路径：\r\n") + missingFacts + unreadable + "\r\n");
  EXPECT_EQ(job.unreadableEntries, 3);
  EXPECT_EQ(window.caption, u("Sumwarden - 已校验4个文件"));
}

TEST_F(VerifyJobTest, SizeLinesAndFigures) {
  const struct {
    int64_t size;
    const char* figure;
  } cases[] = {
      {0, "\r\n"},
      {1048575, "\r\n"},
      {1048576, "(1M)\r\n"},
      {1572864, "(1.5M)\r\n"},
      {5000000, "(4.77M)\r\n"},
      {123456789, "(117.74M)\r\n"},
      {1073741823, "(1024M)\r\n"},
      {1073741824, "(1G)\r\n"},
      {3000000000LL, "(2.79G)\r\n"},
      {4294967295LL, "(4G)\r\n"},
      {5368709120LL, "(5G)\r\n"},
      {4294967296LL, "(4G)\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(sizeFigure(c.size), c.figure) << c.size;

  const Text path = dir.write("m.bin", std::string(1572864, 'x'));
  window.boxes = {false, false, false, false, false, false};
  run({path});
  EXPECT_NE(window.report.find(u("文件尺寸：1572864字节(1.5M)\r\n")), Text::npos);
}

TEST_F(VerifyJobTest, FileNames) {
  const Text s = pathSeparator();
  const struct {
    Text path, name;
  } cases[] = {
      {"dir" + s + "a.txt", "a.txt"},         {"a.txt", "a.txt"}, {"dir" + s, ""},
      {s + "dir" + s + "sub" + s + "b", "b"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(fileNameOf(c.path), c.name) << c.path;
  if (s == "/") {
    EXPECT_EQ(fileNameOf("C:\\dir\\a.txt"), "C:\\dir\\a.txt");  // "\" is an ordinary character
  } else {
    EXPECT_EQ(fileNameOf("C:/dir/a.txt"), "C:/dir/a.txt");
  }
}

TEST_F(VerifyJobTest, RunStartsAndEndsInOrderAndCountsEntries) {
  run({});
  EXPECT_EQ(window.ops,
            (std::vector<std::string>{"enable 1 0", "enable 2 0", "enable 3 0", "enable 4 0",
                                      "bar 1 0", "bar 2 0", "caption", "enable 1 1", "enable 2 1",
                                      "enable 3 1", "enable 4 1", "bar 2 100"}));
  EXPECT_EQ(window.caption, u("Sumwarden - 已校验0个文件"));
  EXPECT_EQ(job.currentIndex.load(), 1);

  const Text a = digitsFile();
  run({a, a, a});
  EXPECT_EQ(window.caption, u("Sumwarden - 已校验3个文件"));
  run({a, a});
  EXPECT_EQ(window.caption, u("Sumwarden - 已校验5个文件"));
  EXPECT_EQ(job.fileCount.load(), 2);
  EXPECT_EQ(job.currentIndex.load(), 3);
}

TEST_F(VerifyJobTest, OperationsOfOneEntryInOrder) {
  run({digitsFile()});
  const std::vector<std::string> entry(window.ops.begin() + 6, window.ops.end() - 6);
  EXPECT_EQ(
      entry,
      (std::vector<std::string>{
          "append",  "append",    "append", "append",   "ask 2",  "append",  // name..time
          "ask 3",   "ask 4",     "ask 5",  "timer 50",                      // pass start
          "timer 0", "bar 1 100", "ask 3",  "ask 4",    "ask 5",             // pass end
          "ask 6",   "ask 3",     "append", "ask 4",    "append", "ask 5",  "append", "append"}));
}

// A box changed during a pass never gives the digest of part of a file: a digest set up at the
// start is fed every chunk; one checked only later gives its label alone; one clear at the end
// is not written.
TEST_F(VerifyJobTest, BoxChangedDuringAPass) {
  const Text path = dir.write("big.bin", test::patternBytes(kChunkSize + 4097));
  CryptoContext provider = CryptoContext::acquire();
  CryptoHash md5 = CryptoHash::create(provider, HashAlgorithm::kMd5);
  const Text content = test::patternBytes(kChunkSize + 4097);
  md5.hashData(reinterpret_cast<const uint8_t*>(content.data()),
               static_cast<uint32_t>(content.size()));
  const Text wholeMd5 = asciiUpper(md5.hexValue());

  const auto linesFrom = [](const Text& report, std::string_view label) {
    const size_t at = report.find(fromUtf8(label));
    return at == Text::npos ? Text("(none)") : report.substr(at, report.find('\r', at) - at);
  };

  {  // MD5 cleared when the reading starts, checked again before the end: the whole file.
    FakeWindow w;
    w.beforeOp = [&](const std::string& op) {
      if (op == "timer 50") w.set(OptionBox::kMd5, false);
      if (op == "timer 0") w.set(OptionBox::kMd5, true);
    };
    VerifyJob j;
    j.fileList = {path};
    runVerifyJob(j, w, stop);
    EXPECT_EQ(linesFrom(w.report, "MD5："), u("MD5：") + wholeMd5);
  }
  {  // SHA-1 and CRC-32 clear at the start, checked during the pass: label alone.
    FakeWindow w;
    w.set(OptionBox::kSha1, false);
    w.set(OptionBox::kCrc32, false);
    w.beforeOp = [&](const std::string& op) {
      if (op == "timer 50") {
        w.set(OptionBox::kSha1, true);
        w.set(OptionBox::kCrc32, true);
      }
    };
    VerifyJob j;
    j.fileList = {path};
    runVerifyJob(j, w, stop);
    EXPECT_EQ(linesFrom(w.report, "SHA1："), u("SHA1："));
    EXPECT_EQ(linesFrom(w.report, "CRC32："), u("CRC32："));
    EXPECT_EQ(linesFrom(w.report, "MD5："), u("MD5：") + wholeMd5);
  }
  {  // MD5 clear at the end of the pass: no line.
    FakeWindow w;
    w.beforeOp = [&](const std::string& op) {
      if (op == "timer 0") w.set(OptionBox::kMd5, false);
    };
    VerifyJob j;
    j.fileList = {path};
    runVerifyJob(j, w, stop);
    EXPECT_EQ(linesFrom(w.report, "MD5："), "(none)");
    EXPECT_EQ(j.filePercent.load(), 99 * 2 + 1);  // two chunks: 99, then 199
  }
}

// Whatever digests are chosen, and whether the file is small or spans chunks (and so is hashed
// on one thread or two), each digest covers every byte.
TEST_F(VerifyJobTest, DigestsOfEveryChoiceAndSize) {
  for (size_t size : {size_t{0}, size_t{1000}, size_t{300000}, size_t{2 * kChunkSize + 12345}}) {
    const Text content = test::patternBytes(size, 7);
    const Text path = dir.write("f.bin", content);
    CryptoContext provider = CryptoContext::acquire();
    CryptoHash md5 = CryptoHash::create(provider, HashAlgorithm::kMd5);
    CryptoHash sha1 = CryptoHash::create(provider, HashAlgorithm::kSha1);
    const auto* data = reinterpret_cast<const uint8_t*>(content.data());
    md5.hashData(data, static_cast<uint32_t>(content.size()));
    sha1.hashData(data, static_cast<uint32_t>(content.size()));
    uint32_t table[kCrcTableEntries], crc;
    buildCrcTable(table);
    startCrc(&crc);
    updateCrc(table, data, static_cast<uint32_t>(content.size()), &crc);
    finishCrc(&crc);
    const Text want[3] = {u("MD5：") + md5.hexValue() + "\r\n",
                          u("SHA1：") + sha1.hexValue() + "\r\n",
                          u("CRC32：") + hexText(static_cast<int32_t>(crc)) + "\r\n"};
    for (int choice = 1; choice < 8; ++choice) {
      FakeWindow w;
      w.boxes = {false, false, (choice & 1) != 0, (choice & 2) != 0, (choice & 4) != 0, false};
      VerifyJob j;
      j.fileList = {path};
      runVerifyJob(j, w, stop);
      for (int k = 0; k < 3; ++k) {
        const bool shown = w.report.find(want[k]) != Text::npos;
        EXPECT_EQ(shown, (choice & (1 << k)) != 0)
            << "size " << size << ", choice " << choice << ", digest " << k;
      }
    }
  }
}

// Files that exist but cannot be read to their end: an open refused, and a read that fails
// after the first chunk, on one thread (one digest) and on two (all three).
class FaultyFiles : public FileFaultHook {
 public:
  Text refused, failing;
  SysError openFault(const Text& path) override { return path == refused ? 13 : 0; }
  SysError readFault(const Text& path, uint64_t position) override {
    return path == failing && position >= static_cast<uint64_t>(kChunkSize) ? 5 : 0;
  }
};

TEST_F(VerifyJobTest, FilesThatExistButCannotBeRead) {
  FaultyFiles faults;
  faults.refused = dir.write("locked.txt", "123456789");
  faults.failing = dir.write("bad-sector.bin", test::patternBytes(3 * kChunkSize));
  test::setLocalWriteTime(faults.refused, 2012, 2, 17, 9, 5, 3);
  installFileFaultHook(&faults);
  const Text unreadable =
      u("MD5：无法读取\r\n") + u("SHA1：无法读取\r\n") + u("CRC32：无法读取\r\n");
  for (bool oneDigest : {false, true}) {
    FakeWindow w;
    w.boxes = {true, true, true, !oneDigest, !oneDigest, true};
    VerifyJob j;
    j.fileList = {faults.refused, faults.failing};
    runVerifyJob(j, w, stop);
    const Text digests = oneDigest ? u("MD5：无法读取\r\n") : unreadable;
    EXPECT_EQ(w.report.substr(0, w.report.find(u("文件名：bad"))),
              u("文件名：locked.txt\r\n") + u("文件路径：") + faults.refused + "\r\n" +
                  u("文件尺寸：9字节\r\n") + u("修改时间：2012年2月17日9时5分3秒\r\n") + digests +
                  "\r\n");
    EXPECT_NE(w.report.find(u("文件尺寸：31457280字节(30M)\r\n")), Text::npos);
    EXPECT_EQ(w.report.substr(w.report.size() - digests.size() - 2), digests + "\r\n");
    EXPECT_EQ(j.unreadableEntries, 2);
    EXPECT_EQ(j.readError, 5u);
  }
  installFileFaultHook(nullptr);
}

// Once the run is stopped, nothing more is done: the cut block stays as it is, the counters keep
// their values and the caption its total.
TEST_F(VerifyJobTest, StopCutsTheRunAtAnyOperation) {
  const Text a = digitsFile();
  FakeWindow full;
  {
    VerifyJob j;
    j.fileList = {a, a};
    StopMark never;
    runVerifyJob(j, full, never);
  }
  const size_t captionOp = static_cast<size_t>(
      std::find(full.ops.begin(), full.ops.end(), "caption") - full.ops.begin());
  for (size_t stopAt = 0; stopAt < full.ops.size(); ++stopAt) {
    FakeWindow w;
    StopMark s;
    w.stop = &s;
    size_t seen = 0;
    w.beforeOp = [&](const std::string&) {
      if (seen++ == stopAt) s.stop();
    };
    VerifyJob j;
    j.fileList = {a, a};
    j.verifiedTotal = 7;
    runVerifyJob(j, w, s);
    EXPECT_EQ(seen, stopAt + 1) << "an operation was attempted after the stop";
    EXPECT_EQ(w.ops, std::vector<std::string>(full.ops.begin(), full.ops.begin() + stopAt));
    if (stopAt <= captionOp) {
      EXPECT_EQ(j.verifiedTotal, 7);
      EXPECT_EQ(w.caption, "Sumwarden");
    }
  }
}

}  // namespace
}  // namespace sw
