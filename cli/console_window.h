// The console as the job's window: the report goes to stdout, the progress figures to stderr.
//
// The option boxes are fixed by the command line. The progress timer is a thread of its own
// that, while the job has the timer running and stderr is a terminal, redraws the figures every
// 50 ms; finish() stops it and erases them.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "engine/verify_job.h"
#include "engine/window_ops.h"

namespace sw {

class ConsoleWindow : public WindowOps {
 public:
  // options[i] is the checked state of 选择框(i + 1).
  ConsoleWindow(const VerifyJob& job, const std::array<bool, 6>& options, std::FILE* report,
                std::FILE* progress);
  ~ConsoleWindow() override;

  void appendReport(const Text& text) override;
  void setButtonEnabled(Button, bool) override {}
  void setBarPosition(Bar bar, int32_t position) override;
  bool isChecked(OptionBox box) override;
  void setCaption(const Text&) override {}
  void setTimerPeriod(int32_t milliseconds) override;

  // Flushes the report and erases the progress figures.
  void finish();

 private:
  void tick();
  void drawProgress(int32_t filePosition, int32_t overallPosition);

  const VerifyJob& job_;
  std::array<bool, 6> options_;
  std::FILE* report_;
  std::FILE* progress_;  // null when progress is not shown

  std::mutex mutex_;
  std::condition_variable wake_;
  bool timerOn_ = false;
  bool quit_ = false;
  bool drawn_ = false;
  std::thread timer_;
};

}  // namespace sw
