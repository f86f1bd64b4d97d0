#include "ui/report_box.h"

#include <climits>

namespace sw {

void appendToReportBox(HWND box, const Text& text) {
  DWORD selectionStart = 0, selectionEnd = 0;
  SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
               reinterpret_cast<LPARAM>(&selectionEnd));
  const LRESULT firstLine = SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0);
  const int horizontal = GetScrollPos(box, SB_HORZ);

  SendMessageA(box, WM_SETREDRAW, FALSE, 0);
  // A position past the end is taken as the end.
  SendMessageA(box, EM_SETSEL, INT_MAX, INT_MAX);
  SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(box, EM_SETSEL, selectionStart, selectionEnd);
  const LRESULT firstLineNow = SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (firstLineNow != firstLine) SendMessageA(box, EM_LINESCROLL, 0, firstLine - firstLineNow);
  if (GetScrollPos(box, SB_HORZ) != horizontal) {
    SendMessageA(box, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, horizontal), 0);
  }
  SendMessageA(box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box, nullptr, FALSE);
}

Text reportBoxText(HWND box) {
  const int length = GetWindowTextLengthA(box);
  Text text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(box, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace sw
