#include "engine/hashing_pass.h"

#include <algorithm>
#include <array>

#include "engine/crc32.h"
#include "engine/crypto_handles.h"
#include "platform/input_file.h"

namespace sw {

Text CryptoHash::hexValue() const {
  uint32_t size = 0;
  uint32_t sizeLength = sizeof size;
  cryptGetHashParam(handle_, HashParam::kHashSize, reinterpret_cast<uint8_t*>(&size), &sizeLength);
  Bytes value(size, 0);
  uint32_t written = size;
  cryptGetHashParam(handle_, HashParam::kHashValue, size ? value.data() : nullptr, &written);
  written = std::min(written, size);
  static constexpr char kDigits[] = "0123456789abcdef";
  Text out;
  out.reserve(written * 2u);
  for (uint32_t i = 0; i < written; ++i) {
    out += kDigits[value[i] >> 4];
    out += kDigits[value[i] & 0xF];
  }
  return out;
}

struct HashResources::State {
  Bytes chunk;
  CryptoContext md5Provider, sha1Provider;
  std::array<uint32_t, kCrcTableEntries> crcTable{};
  bool crcTableBuilt = false;

  // The provider of a digest, acquired on first use (again after a failed acquire).
  const CryptoContext& provider(HashAlgorithm algorithm) {
    CryptoContext& p = algorithm == HashAlgorithm::kMd5 ? md5Provider : sha1Provider;
    if (p.get() == 0) p = CryptoContext::acquire();
    return p;
  }
  const uint32_t* table() {
    if (!crcTableBuilt) {
      buildCrcTable(crcTable.data());
      crcTableBuilt = true;
    }
    return crcTable.data();
  }
};

HashResources::HashResources() : state_(std::make_unique<State>()) {}
HashResources::~HashResources() = default;

int32_t percentOfFile(int64_t countedTotal, int64_t fileSize) {
  const double q = static_cast<double>(countedTotal) / static_cast<double>(fileSize);
  return truncateToInt32(q * 100.0);
}

namespace {

// The digests that the pass feeds: those whose boxes were checked when it started.
struct Digests {
  bool md5On = false, sha1On = false, crcOn = false;
  CryptoHash md5, sha1;
  const uint32_t* crcTable = nullptr;
  uint32_t crcValue = 0;

  void feed(const uint8_t* data, uint32_t length) {
    if (md5On) md5.hashData(data, length);
    if (sha1On) sha1.hashData(data, length);
    if (crcOn) updateCrc(crcTable, data, length, &crcValue);
  }
};

// Reads the whole file, feeding every chunk. Sets readComplete and readError. False when the
// run was stopped.
bool readAndFeed(VerifyJob& job, RunWindow& window, HashResources::State& res, Digests& d) {
  InputFile file;
  const Text& path = job.fileList[static_cast<size_t>(job.currentIndex.load() - 1)];
  job.readError = file.open(path);
  job.readComplete = job.readError == 0;
  if (!job.readComplete) return true;

  const size_t chunkSize = static_cast<size_t>(job.chunkSize);
  if (res.chunk.size() < chunkSize) res.chunk.resize(chunkSize);
  int64_t countedTotal = 0;
  for (;;) {
    const InputFile::ReadResult r = file.read(res.chunk.data(), chunkSize);
    if (r.count > 0) {
      countedTotal += job.chunkSize;
      job.filePercent.store(percentOfFile(countedTotal, job.fileSize), std::memory_order_relaxed);
      d.feed(res.chunk.data(), static_cast<uint32_t>(r.count));
    }
    if (r.error != 0) {
      job.readComplete = false;
      job.readError = r.error;
      break;
    }
    if (r.count < chunkSize) break;  // the end of the file as it stands now
    if (window.stopped()) return false;
  }
  return true;
}

}  // namespace

bool hashCurrentFile(VerifyJob& job, RunWindow& window, HashResources& resources) {
  HashResources::State& res = resources.state();
  Digests d;
  if (!window.ask(OptionBox::kMd5, &d.md5On)) return false;
  if (d.md5On) d.md5 = CryptoHash::create(res.provider(HashAlgorithm::kMd5), HashAlgorithm::kMd5);
  if (!window.ask(OptionBox::kSha1, &d.sha1On)) return false;
  if (d.sha1On) {
    d.sha1 = CryptoHash::create(res.provider(HashAlgorithm::kSha1), HashAlgorithm::kSha1);
  }
  if (!window.ask(OptionBox::kCrc32, &d.crcOn)) return false;
  if (d.crcOn) {
    d.crcTable = res.table();
    startCrc(&d.crcValue);
  }
  if (!window.setTimer(50)) return false;

  if (!readAndFeed(job, window, res, d)) return false;

  if (!window.setTimer(0)) return false;
  if (!window.setBar(Bar::kFile, 100)) return false;
  bool checked = false;
  if (!window.ask(OptionBox::kMd5, &checked)) return false;
  if (checked && d.md5On) job.md5Text += d.md5.hexValue();
  if (!window.ask(OptionBox::kSha1, &checked)) return false;
  if (checked && d.sha1On) job.sha1Text += d.sha1.hexValue();
  if (!window.ask(OptionBox::kCrc32, &checked)) return false;
  if (checked && d.crcOn) {
    finishCrc(&d.crcValue);
    job.crcText = hexText(static_cast<int32_t>(d.crcValue));
  }
  return true;
}

}  // namespace sw
