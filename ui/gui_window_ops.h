// The main window as one run's WindowOps: every call is carried to the window thread with
// SendMessage and has been done there when it returns. Used by the worker thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "engine/stop_mark.h"
#include "engine/window_ops.h"

namespace sw {

class GuiWindowOps : public WindowOps {
 public:
  GuiWindowOps(HWND window, std::shared_ptr<const StopMark> stop)
      : window_(window), stop_(std::move(stop)) {}

  void appendReport(const Text& text) override;
  void setButtonEnabled(Button button, bool enabled) override;
  void setBarPosition(Bar bar, int32_t position) override;
  bool isChecked(OptionBox box) override;
  void setCaption(const Text& caption) override;
  void setTimerPeriod(int32_t milliseconds) override;

 private:
  HWND window_;
  std::shared_ptr<const StopMark> stop_;
};

}  // namespace sw
