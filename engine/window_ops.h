// The window as the job sees it: the few operations a run needs of the main window.
//
// The Win32 window carries each call to the window thread and returns once it has been done
// there; the console writes to stdout and stderr; the tests record. Each call has completed when
// it returns. Once a run has been stopped, the window refuses the run's calls without effect.
#pragma once

#include <cstdint>

#include "engine/text.h"

namespace sw {

enum class Button { kBrowse = 1, kClear, kCopy, kSave, kStop };                 // 按钮1..按钮5
enum class Bar { kFile = 1, kOverall };                                         // 多功能条1, 2
enum class OptionBox { kVersion = 1, kTime, kMd5, kSha1, kCrc32, kUpperCase };  // 选择框1..6

class WindowOps {
 public:
  virtual ~WindowOps() = default;
  // Appends text at the end of the report box (编辑框1), leaving the user's caret, selection
  // and scroll position as they were.
  virtual void appendReport(const Text& text) = 0;
  virtual void setButtonEnabled(Button button, bool enabled) = 0;
  // The bars have the range 0 to 100 and clamp what they are given.
  virtual void setBarPosition(Bar bar, int32_t position) = 0;
  // Asked afresh at each step that needs it, never remembered.
  virtual bool isChecked(OptionBox box) = 0;
  virtual void setCaption(const Text& caption) = 0;
  // The progress timer (时钟1): a positive period starts it, 0 stops it.
  virtual void setTimerPeriod(int32_t milliseconds) = 0;
};

}  // namespace sw
