// Times one run of the real window over a list of files: Browse is clicked with an open dialog
// that answers with the list, and the messages are pumped on this thread until the worker ends.
// Prints the seconds from the click to the end of the run, so that the start-up of the process
// (and of Wine) is left out; then the seconds until the whole report is in the report box, and
// the size of the report.
//
// Usage: window_bench LISTFILE   (one path in the code page per line)
// Output, one per line: "seconds <s>", "seconds_shown <s>", "files <n>", "blocks <n>",
// "report_bytes <n>".
#include <ole2.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/labels.h"
#include "platform/code_page.h"
#include "ui/main_window.h"

namespace {

// Dispatches messages until done() or the time is up; false when the time ran out. It waits in
// GetMessage, as the program's own message loop does; a thread timer wakes it now and then to
// look at done().
bool pumpUntil(const std::function<bool()>& done, ULONGLONG milliseconds) {
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, nullptr);
  bool result = false;
  for (;;) {
    if (done()) {
      result = true;
      break;
    }
    if (GetTickCount64() >= deadline) break;
    MSG message;
    if (GetMessageA(&message, nullptr, 0, 0) <= 0) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  KillTimer(nullptr, timer);
  return result;
}

bool readList(const char* listFile, std::vector<sw::Text>& paths) {
  std::ifstream in(listFile, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }
  return true;
}

size_t countBlocks(const sw::Text& report) {
  size_t blocks = 0;
  for (size_t at = report.find("\r\n\r\n"); at != sw::Text::npos;
       at = report.find("\r\n\r\n", at + 4)) {
    ++blocks;
  }
  return blocks;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: window_bench LISTFILE\n");
    return 2;
  }
  std::vector<sw::Text> paths;
  if (!readList(argv[1], paths)) {
    std::fprintf(stderr, "window_bench: cannot read %s\n", argv[1]);
    return 2;
  }

  OleInitialize(nullptr);
  sw::initCodePage();
  sw::labels();

  int status = 0;
  {
    sw::WindowSeams seams;
    seams.chooseFiles = [&paths](HWND) { return sw::ChosenFiles{true, false, paths}; };
    seams.chooseSaveFile = [](HWND, sw::Text&) { return false; };
    seams.messageBox = [&status](HWND, const sw::Text& text, const sw::Text&, UINT) {
      std::fprintf(stderr, "window_bench: message box: %s\n", sw::toUtf8(text).c_str());
      status = 1;
    };
    seams.openWebPage = [](const char*) {};
    std::unique_ptr<sw::MainWindow> window =
        sw::MainWindow::create(GetModuleHandleA(nullptr), seams, /*quitOnDestroy=*/false);
    if (!window) {
      std::fprintf(stderr, "window_bench: the window could not be created\n");
      return 1;
    }
    // Let the window settle (first paint and the like) before the clock starts.
    pumpUntil([] { return false; }, 100);

    const auto start = std::chrono::steady_clock::now();
    SendMessageA(window->control(sw::kButtonFirst), BM_CLICK, 0, 0);
    const bool ended = pumpUntil(
        [&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }, 30 * 60 * 1000);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (!ended) {
      std::fprintf(stderr, "window_bench: the run did not end within 30 minutes\n");
      return 1;
    }
    // Reading the report moves what is still pending into the box.
    const sw::Text report = window->reportText();
    const std::chrono::duration<double> shown = std::chrono::steady_clock::now() - start;

    std::printf("seconds %.6f\nseconds_shown %.6f\nfiles %zu\nblocks %zu\nreport_bytes %zu\n",
                took.count(), shown.count(), paths.size(), countBlocks(report), report.size());
    std::fflush(stdout);
  }
  OleUninitialize();
  return status;
}
