// sumwarden.exe: start-up, the message loop and the exit clean-up.
#include <ole2.h>
#include <windows.h>

#include "engine/labels.h"
#include "platform/code_page.h"
#include "ui/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Window and drag-and-drop support on the thread that owns the window.
  OleInitialize(nullptr);
  sw::initCodePage();
  sw::labels();

  std::unique_ptr<sw::MainWindow> window =
      sw::MainWindow::create(instance, sw::systemSeams(), /*quitOnDestroy=*/true);
  if (!window) return 1;

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    // Tab, the Alt+letter keys of the buttons and the like.
    if (window->hwnd() != nullptr && IsDialogMessageA(window->hwnd(), &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }

  // Closing the window stopped the worker; give it a moment to unwind. One stuck in a read
  // that will not return is not waited for: the process ends without running any clean-up
  // that such a thread could hold up.
  if (!window->waitForWorker(sw::MainWindow::kWorkerEndWait)) {
    TerminateProcess(GetCurrentProcess(), 0);
  }
  window.reset();
  OleUninitialize();
  return 0;
}
