#include "ui/report_box.h"

#include <algorithm>
#include <chrono>
#include <climits>

namespace sw {
namespace {

constexpr UINT kShortestDelay = 40;  // milliseconds
constexpr UINT kLongestDelay = 2000;
constexpr UINT kDelayPerMoveTime = 9;  // wait nine times as long as the last move took

}  // namespace

ReportBox::ReportBox(HWND edit, HWND owner, UINT_PTR flushTimer)
    : edit_(edit), owner_(owner), flushTimer_(flushTimer), delay_(kShortestDelay) {}

void ReportBox::append(const Text& text) {
  if (text.empty()) return;
  if (pending_.empty()) SetTimer(owner_, flushTimer_, delay_, nullptr);
  pending_ += text;
}

void ReportBox::flush() {
  KillTimer(owner_, flushTimer_);
  if (pending_.empty()) return;
  const auto start = std::chrono::steady_clock::now();
  appendToEditControl(edit_, pending_);
  pending_.clear();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  delay_ = static_cast<UINT>(std::clamp<long long>(took.count() * kDelayPerMoveTime,
                                                   kShortestDelay, kLongestDelay));
}

Text ReportBox::text() {
  flush();
  return windowText(edit_);
}

void ReportBox::clear() {
  KillTimer(owner_, flushTimer_);
  pending_.clear();
  SetWindowTextA(edit_, "");
}

void appendToEditControl(HWND edit, const Text& text) {
  DWORD selectionStart = 0, selectionEnd = 0;
  SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&selectionStart),
               reinterpret_cast<LPARAM>(&selectionEnd));
  const LRESULT firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  const int horizontal = GetScrollPos(edit, SB_HORZ);

  SendMessageA(edit, WM_SETREDRAW, FALSE, 0);
  // A position past the end is taken as the end.
  SendMessageA(edit, EM_SETSEL, INT_MAX, INT_MAX);
  SendMessageA(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(edit, EM_SETSEL, selectionStart, selectionEnd);
  const LRESULT firstLineNow = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
  if (firstLineNow != firstLine) SendMessageA(edit, EM_LINESCROLL, 0, firstLine - firstLineNow);
  if (GetScrollPos(edit, SB_HORZ) != horizontal) {
    SendMessageA(edit, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, horizontal), 0);
  }
  SendMessageA(edit, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(edit, nullptr, FALSE);
}

Text windowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  Text text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

}  // namespace sw
