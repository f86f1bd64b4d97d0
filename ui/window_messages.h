// The main window's private messages. The worker sends each with SendMessage, so that the call
// has been carried out on the window thread when SendMessage returns; lParam points at a
// WorkerCall on the worker's stack, which stays alive for that long. A call whose run has been
// stopped is refused without effect.
#pragma once

#include <windows.h>

#include <cstdint>

#include "engine/stop_mark.h"
#include "engine/text.h"

namespace sw {

struct WorkerCall {
  const StopMark* stop;  // the calling run's mark
  int32_t first = 0;     // a control number, a position or a period
  int32_t second = 0;    // an enabled state
  const Text* text = nullptr;
  bool answer = false;  // what kMsgIsChecked found
};

// wParam: 0. lParam: WorkerCall*, text = the text to append at the end of the report box.
inline constexpr UINT kMsgAppendReport = WM_APP + 1;
// wParam: 0. lParam: WorkerCall*, first = button number (1-5), second = enabled (0 or 1).
inline constexpr UINT kMsgEnableButton = WM_APP + 2;
// wParam: 0. lParam: WorkerCall*, first = bar number (1-2), second = position.
inline constexpr UINT kMsgSetBar = WM_APP + 3;
// wParam: 0. lParam: WorkerCall*, first = option box number (1-6); answer receives its state.
inline constexpr UINT kMsgIsChecked = WM_APP + 4;
// wParam: 0. lParam: WorkerCall*, text = the new caption.
inline constexpr UINT kMsgSetCaption = WM_APP + 5;
// wParam: 0. lParam: WorkerCall*, first = the progress timer's period in ms (0 stops it).
inline constexpr UINT kMsgSetTimer = WM_APP + 6;

}  // namespace sw
