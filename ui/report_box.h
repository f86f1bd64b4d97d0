// The report box (编辑框1). Window thread only.
//
// Appended text first joins a pending tail that is moved into the edit control a little later,
// or at once when the report is read or cleared. An edit control may take time in proportion to
// its whole text for every insertion, so the tail is moved at most every 40 ms, and less often
// as moving it grows dear: the window thread spends at most about a tenth of its time on it,
// and a long run costs time in proportion to its report, not to the square of it. Everything
// that reads the report sees the pending tail.
#pragma once

#include <windows.h>

#include "engine/text.h"

namespace sw {

class ReportBox {
 public:
  // flushTimer: an id for the window timer of the owner that calls flush() when it fires.
  ReportBox(HWND edit, HWND owner, UINT_PTR flushTimer);

  HWND edit() const { return edit_; }
  // Appends text at the end; the user's caret, selection and scroll position stay as they were.
  void append(const Text& text);
  // Moves the pending tail into the edit control.
  void flush();
  // The whole report, in the code page.
  Text text();
  void clear();

 private:
  HWND edit_;
  HWND owner_;
  UINT_PTR flushTimer_;
  Text pending_;
  UINT delay_;  // milliseconds from the first pending append to the move
};

// Inserts text at the end of an edit control, keeping the user's caret, selection and scroll
// position.
void appendToEditControl(HWND edit, const Text& text);

// The whole text of a window, in the code page.
Text windowText(HWND window);

}  // namespace sw
