// The main window: its controls, its event handlers, the window operations it offers the
// worker, the actions of its buttons and the progress display. Window thread only.
//
// A MainWindow owns the VerifyJob and the worker control of the process. Destroying the window
// (closing it) stops a running worker; the MainWindow object then gives the worker a short while
// to unwind when it goes.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "engine/verify_job.h"
#include "intake/drop_target_win32.h"
#include "intake/open_dialog_win32.h"
#include "ui/report_box.h"
#include "ui/window_layout.h"
#include "worker/worker.h"

namespace sw {

// The dialogs and the shell, replaceable in tests.
struct WindowSeams {
  // Browse's open dialog.
  std::function<ChosenFiles(HWND owner)> chooseFiles;
  // Save's dialog: true when the user confirmed; fileName holds the dialog's file name before
  // and the chosen path after.
  std::function<bool(HWND owner, Text& fileName)> chooseSaveFile;
  // A message box; returns when it has been closed.
  std::function<void(HWND owner, const Text& text, const Text& title, UINT style)> messageBox;
  // Opens a web address in the user's browser.
  std::function<void(const char* address)> openWebPage;
};

// The real dialogs, message box and shell.
WindowSeams systemSeams();

class MainWindow {
 public:
  // Creates the window, centred on the screen, and shows it. quitOnDestroy: post WM_QUIT when
  // the window is destroyed (the program's one window does; test windows do not).
  static std::unique_ptr<MainWindow> create(HINSTANCE instance, WindowSeams seams,
                                            bool quitOnDestroy);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND control(int id) const { return GetDlgItem(hwnd_, id); }
  VerifyJob& job() { return *job_; }
  WorkerControl& worker() { return *worker_; }
  IDropTarget* dropTarget() const { return dropTarget_; }
  // The whole report, the part not yet shown included.
  Text reportText() { return report_->text(); }
  const Text& saveFileName() const { return saveFileName_; }
  UINT timerPeriod() const { return timerPeriod_; }

  // Waits at most that long for the last worker to end, answering the calls it sends
  // meanwhile; true when it has ended. Used after the window has been destroyed.
  bool waitForWorker(DWORD milliseconds);
  static constexpr DWORD kWorkerEndWait = 2000;

  // The handlers of the window's events, as the controls call them.
  void browse();
  void filesDropped(const Text& eventText);
  void stop();
  void clear();
  void copy();
  void save();
  void about();
  void update();

 private:
  MainWindow(WindowSeams seams, bool quitOnDestroy);
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreated();
  void onDestroy();
  void onCommand(int id, int code);
  void onTimer();
  void onDpiChanged(UINT dpi, const RECT& suggested);
  LRESULT onWorkerCall(UINT message, struct WorkerCall& call);
  void layOut();
  void makeFonts();
  void setTimerPeriod(int32_t period);
  void startRun(std::vector<Text> paths);
  void focusReport();

  WindowSeams seams_;
  bool quitOnDestroy_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HFONT guiFont_ = nullptr, reportFont_ = nullptr, smallButtonFont_ = nullptr;
  UINT timerPeriod_ = 0;
  Text saveFileName_;
  FileDropTarget* dropTarget_ = nullptr;
  std::unique_ptr<ReportBox> report_;
  std::unique_ptr<VerifyJob> job_;
  std::unique_ptr<WorkerControl> worker_;
};

}  // namespace sw
