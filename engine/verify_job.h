// The state of a run and the job loop that walks the list of paths and appends one report
// block per entry.
//
// Threads: the job loop and everything it calls run on one worker thread. The window thread
// reads only currentIndex, fileCount and filePercent (for the progress bars), without a lock.
// A new run takes over the VerifyJob only after the previous run's worker has ended, so the
// other fields are used by one worker at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/stop_mark.h"
#include "engine/text.h"
#include "engine/window_ops.h"
#include "platform/input_file.h"

namespace sw {

inline constexpr int32_t kChunkSize = 10485760;  // bytes per read of the hashing pass

struct VerifyJob {
  std::vector<Text> fileList;            // the paths of the run, in the order given
  std::atomic<int32_t> currentIndex{0};  // 1-based entry in hand; n + 1 once the list is done
  std::atomic<int32_t> fileCount{0};     // entries of the run
  std::atomic<int32_t> filePercent{0};   // progress within the entry in hand
  int64_t fileSize = 0;                  // full size of the entry in hand (0 when not found)
  Text md5Text, sha1Text, crcText;       // digest texts of the entry in hand
  int32_t chunkSize = 0;
  int32_t verifiedTotal = 0;  // entries of all completed runs; never reset
  // Why the entry in hand could not be read to its end; readComplete is false then.
  bool readComplete = false;
  SysError readError = 0;
  int32_t unreadableEntries = 0;  // entries of the current run not read to their end
  // The first bytes of the entry in hand as its hashing pass read them (empty when it read
  // nothing), so that a file that cannot be an executable image is not opened again to look
  // for a version resource.
  Bytes fileHead;
};

// One run's access to its window: each operation tells whether the run may go on, which it may
// not once its stop mark is set.
class RunWindow {
 public:
  RunWindow(WindowOps& window, const StopMark& stop) : window_(window), stop_(stop) {}
  bool append(const Text& text);
  bool enable(Button button, bool enabled);
  bool setBar(Bar bar, int32_t position);
  bool setCaption(const Text& caption);
  bool setTimer(int32_t milliseconds);
  // Asks an option box; false when the run has been stopped meanwhile.
  bool ask(OptionBox box, bool* checked);
  bool stopped() const { return stop_.stopped(); }

 private:
  WindowOps& window_;
  const StopMark& stop_;
};

// Appends text at the end of the report box.
void appendToReport(WindowOps& window, const Text& text);

// Walks job.fileList and reports every entry. Returns early, doing nothing more, once stop is
// set.
void runVerifyJob(VerifyJob& job, WindowOps& window, const StopMark& stop);

// The file name of a path: everything after the platform's last separator.
Text fileNameOf(const Text& path);

// "文件尺寸：" line parts: the size text and its figure ("\r\n", "(1.5M)\r\n", "(2.79G)\r\n").
Text sizeFigure(int64_t size);

}  // namespace sw
