#include "engine/hashing_pass.h"

#include <algorithm>
#include <array>
#include <system_error>

#include "engine/crc32.h"
#include "engine/crypto_handles.h"
#include "engine/helper_thread.h"
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

// Files are read in blocks, a whole number of which make a chunk. Smaller than a chunk, so that
// the pipeline below starts hashing soon after a file is opened and holds little memory.
constexpr size_t kBlockSize = 256 * 1024;
// Below this size a file is hashed on the worker alone: handing blocks over would cost more
// than it saves.
constexpr int64_t kPipelineThreshold = 128 * 1024;

struct HashResources::State {
  Bytes blocks[2];
  CryptoContext md5Provider, sha1Provider;
  std::array<uint32_t, kCrcTableEntries> crcTable{};
  bool crcTableBuilt = false;
  std::unique_ptr<HelperThread> helper;
  bool helperFailed = false;

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
  uint8_t* block(int i, size_t size) {
    if (blocks[i].size() < size) blocks[i].resize(size);
    return blocks[i].data();
  }
  // The run's helper thread, started on first use; null when no thread can be had.
  HelperThread* helperThread() {
    if (!helper && !helperFailed) {
      try {
        helper = std::make_unique<HelperThread>();
      } catch (const std::system_error&) {
        helperFailed = true;
      }
    }
    return helper.get();
  }
};

HashResources::HashResources() : state_(std::make_unique<State>()) {}
HashResources::~HashResources() = default;

int32_t percentOfFile(int64_t countedTotal, int64_t fileSize) {
  const double q = static_cast<double>(countedTotal) / static_cast<double>(fileSize);
  return truncateToInt32(q * 100.0);
}

namespace {

// The digests that the pass feeds: those whose boxes were checked when it started. Each is fed
// every block in file order, on the worker's side or on the helper's side of the pipeline.
struct Digests {
  bool md5On = false, sha1On = false, crcOn = false;
  CryptoHash md5, sha1;
  const uint32_t* crcTable = nullptr;
  uint32_t crcValue = 0;

  int count() const { return int{md5On} + int{sha1On} + int{crcOn}; }
  void feedAll(const uint8_t* data, uint32_t length) {
    if (md5On) md5.hashData(data, length);
    if (sha1On) sha1.hashData(data, length);
    if (crcOn) updateCrc(crcTable, data, length, &crcValue);
  }
  // The slowest digest goes to the worker, the others to the helper, which also reads.
  void feedWorkerSide(const uint8_t* data, uint32_t length) {
    if (md5On) {
      md5.hashData(data, length);
    } else if (sha1On) {
      sha1.hashData(data, length);
    }
  }
  void feedHelperSide(const uint8_t* data, uint32_t length) {
    if (md5On && sha1On) sha1.hashData(data, length);
    if (crcOn) updateCrc(crcTable, data, length, &crcValue);
  }
};

// The chunks counted for filePercent: a chunk counts in full once any of its bytes has been
// read, as a read of a whole chunk would.
class ChunkCounter {
 public:
  ChunkCounter(VerifyJob& job) : job_(job), chunkSize_(static_cast<size_t>(job.chunkSize)) {}
  // Counts n bytes fed; true when that completed a chunk.
  bool add(size_t n) {
    inChunk_ += n;
    if (inChunk_ < chunkSize_) return false;
    inChunk_ -= chunkSize_;
    count();
    return true;
  }
  // At the end of the reading: a part of a chunk counts as a chunk.
  void finish() {
    if (inChunk_ > 0) count();
    inChunk_ = 0;
  }

 private:
  void count() {
    counted_ += job_.chunkSize;
    job_.filePercent.store(percentOfFile(counted_, job_.fileSize), std::memory_order_relaxed);
  }
  VerifyJob& job_;
  size_t chunkSize_;
  size_t inChunk_ = 0;
  int64_t counted_ = 0;
};

// Keeps the first bytes of the file, which tell whether it can hold a version resource.
void noteHead(VerifyJob& job, const uint8_t* data, size_t n) {
  job.fileHead.assign(data, data + std::min(n, sizeof(uint16_t)));
}

bool failed(VerifyJob& job, const InputFile::ReadResult& r) {
  if (r.error == 0) return false;
  job.readComplete = false;
  job.readError = r.error;
  return true;
}

// One thread: read a block, feed every digest, and so on.
bool feedPlain(VerifyJob& job, RunWindow& window, InputFile& file, uint8_t* block, size_t blockSize,
               Digests& d) {
  ChunkCounter chunks(job);
  bool first = true;
  for (;;) {
    const InputFile::ReadResult r = file.read(block, blockSize);
    if (first) noteHead(job, block, r.count);
    first = false;
    d.feedAll(block, static_cast<uint32_t>(r.count));
    const bool chunkDone = chunks.add(r.count);
    if (failed(job, r) || r.count < blockSize) break;  // an error, or the end as it stands now
    if (chunkDone && window.stopped()) return false;
  }
  chunks.finish();
  return true;
}

// Two threads over two blocks: while the worker feeds block k to its digest, the helper feeds
// it to the others and then reads block k + 1 into the other buffer. So the pass holds two
// blocks instead of one, and reading costs no time of the slowest digest.
struct HelperRound {
  Digests* digests;
  InputFile* file;
  const uint8_t* current;
  size_t currentSize;
  uint8_t* next;
  size_t blockSize;
  bool readNext;
  InputFile::ReadResult nextRead;

  static void run(void* context) {
    auto* round = static_cast<HelperRound*>(context);
    round->digests->feedHelperSide(round->current, static_cast<uint32_t>(round->currentSize));
    round->nextRead = round->readNext ? round->file->read(round->next, round->blockSize)
                                      : InputFile::ReadResult{};
  }
};

bool feedPipelined(VerifyJob& job, RunWindow& window, InputFile& file, HashResources::State& res,
                   HelperThread& helper, size_t blockSize, Digests& d) {
  ChunkCounter chunks(job);
  int current = 0;
  InputFile::ReadResult r = file.read(res.block(0, blockSize), blockSize);
  noteHead(job, res.block(0, blockSize), r.count);
  res.block(1, blockSize);
  while (!failed(job, r) && r.count > 0) {
    HelperRound round{&d,
                      &file,
                      res.blocks[current].data(),
                      r.count,
                      res.blocks[1 - current].data(),
                      blockSize,
                      /*readNext=*/r.count == blockSize,
                      {}};
    helper.start(&HelperRound::run, &round);
    d.feedWorkerSide(res.blocks[current].data(), static_cast<uint32_t>(r.count));
    helper.wait();
    const bool chunkDone = chunks.add(r.count);
    r = round.nextRead;
    current = 1 - current;
    if (chunkDone && window.stopped()) return false;
  }
  chunks.finish();
  return true;
}

// Reads the whole file, feeding every block to the digests set up. Sets readComplete,
// readError and fileHead. False when the run was stopped.
bool readAndFeed(VerifyJob& job, RunWindow& window, HashResources::State& res, Digests& d) {
  job.fileHead.clear();
  InputFile file;
  const Text& path = job.fileList[static_cast<size_t>(job.currentIndex.load() - 1)];
  job.readError = file.open(path);
  job.readComplete = job.readError == 0;
  if (!job.readComplete) return true;

  const size_t blockSize = std::min(kBlockSize, static_cast<size_t>(job.chunkSize));
  HelperThread* helper =
      d.count() >= 2 && job.fileSize >= kPipelineThreshold ? res.helperThread() : nullptr;
  if (helper == nullptr) return feedPlain(job, window, file, res.block(0, blockSize), blockSize, d);
  return feedPipelined(job, window, file, res, *helper, blockSize, d);
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
