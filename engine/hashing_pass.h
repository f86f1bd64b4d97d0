// The hashing pass: reads the entry in hand once, in chunks, and feeds every chunk to the
// digests whose boxes were checked when the pass started.
#pragma once

#include <memory>

#include "engine/verify_job.h"

namespace sw {

// What the passes of one run share: the read buffer and the digest providers, set up on first
// use and released with the run.
class HashResources {
 public:
  HashResources();
  ~HashResources();
  HashResources(const HashResources&) = delete;
  HashResources& operator=(const HashResources&) = delete;

  struct State;
  State& state() { return *state_; }

 private:
  std::unique_ptr<State> state_;
};

// Hashes entry job.currentIndex of job.fileList, leaving the digest texts in job.md5Text,
// job.sha1Text and job.crcText, and job.readComplete / job.readError. Returns false when the
// run was stopped: nothing more may then be done.
bool hashCurrentFile(VerifyJob& job, RunWindow& window, HashResources& resources);

// filePercent after a chunk: counted total over the size, times 100, cut toward zero, low 32
// bits.
int32_t percentOfFile(int64_t countedTotal, int64_t fileSize);

}  // namespace sw
