// A window for the job that records every operation, holds the report text, and lets a test
// act (flip a box, stop the run) just before a chosen operation.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/stop_mark.h"
#include "engine/verify_job.h"
#include "engine/window_ops.h"

namespace sw::test {

class FakeWindow : public WindowOps {
 public:
  std::array<bool, 6> boxes{true, true, true, true, true, true};
  Text report;
  Text caption = "Sumwarden";
  std::vector<std::string> ops;  // "append", "enable 1 0", "bar 2 100", "ask 3", "caption", ...
  // Called with the name of each operation before it is recorded or carried out.
  std::function<void(const std::string& op)> beforeOp;
  // When set, operations are refused once it is stopped, as the real window refuses them.
  const StopMark* stop = nullptr;

  void appendReport(const Text& text) override {
    if (step("append")) report += text;
  }
  void setButtonEnabled(Button b, bool on) override {
    step("enable " + std::to_string(static_cast<int>(b)) + (on ? " 1" : " 0"));
  }
  void setBarPosition(Bar bar, int32_t position) override {
    step("bar " + std::to_string(static_cast<int>(bar)) + " " + std::to_string(position));
  }
  bool isChecked(OptionBox box) override {
    step("ask " + std::to_string(static_cast<int>(box)));
    return boxes[static_cast<size_t>(box) - 1];
  }
  void setCaption(const Text& text) override {
    if (step("caption")) caption = text;
  }
  void setTimerPeriod(int32_t ms) override { step("timer " + std::to_string(ms)); }

  void set(OptionBox box, bool on) { boxes[static_cast<size_t>(box) - 1] = on; }

 private:
  bool step(const std::string& op) {
    if (beforeOp) beforeOp(op);
    if (stop != nullptr && stop->stopped()) return false;
    ops.push_back(op);
    return true;
  }
};

// Runs job over paths with every box checked but the time, whose line would vary; returns the
// report.
inline Text reportWithoutTime(VerifyJob& job, std::vector<Text> paths) {
  FakeWindow window;
  window.set(OptionBox::kTime, false);
  job.fileList = std::move(paths);
  StopMark stop;
  runVerifyJob(job, window, stop);
  return window.report;
}

}  // namespace sw::test
