#include "ui/gui_window_ops.h"

#include "ui/window_messages.h"

namespace sw {
namespace {

// Once the run is stopped there is no need to ask the window thread: it would refuse anyway.
bool send(HWND window, UINT message, WorkerCall& call) {
  if (call.stop->stopped()) return false;
  SendMessageA(window, message, 0, reinterpret_cast<LPARAM>(&call));
  return true;
}

}  // namespace

void GuiWindowOps::appendReport(const Text& text) {
  WorkerCall call{stop_.get()};
  call.text = &text;
  send(window_, kMsgAppendReport, call);
}

void GuiWindowOps::setButtonEnabled(Button button, bool enabled) {
  WorkerCall call{stop_.get(), static_cast<int32_t>(button), enabled ? 1 : 0};
  send(window_, kMsgEnableButton, call);
}

void GuiWindowOps::setBarPosition(Bar bar, int32_t position) {
  WorkerCall call{stop_.get(), static_cast<int32_t>(bar), position};
  send(window_, kMsgSetBar, call);
}

bool GuiWindowOps::isChecked(OptionBox box) {
  WorkerCall call{stop_.get(), static_cast<int32_t>(box)};
  send(window_, kMsgIsChecked, call);
  return call.answer;
}

void GuiWindowOps::setCaption(const Text& caption) {
  WorkerCall call{stop_.get()};
  call.text = &caption;
  send(window_, kMsgSetCaption, call);
}

void GuiWindowOps::setTimerPeriod(int32_t milliseconds) {
  WorkerCall call{stop_.get(), milliseconds};
  send(window_, kMsgSetTimer, call);
}

}  // namespace sw
