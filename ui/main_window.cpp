#include "ui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "engine/labels.h"
#include "engine/progress.h"
#include "intake/drop_text.h"
#include "platform/code_page.h"
#include "platform/output_file.h"
#include "ui/gui_window_ops.h"
#include "ui/report_box.h"
#include "ui/save_dialog.h"
#include "ui/window_messages.h"

#ifndef SW_VERSION
#define SW_VERSION "0.0.0"
#endif
#ifndef SW_HOMEPAGE
#define SW_HOMEPAGE "https://sumwarden.example.org/"
#endif

namespace sw {
namespace {

constexpr char kClassName[] = "SumwardenMainWindow";
constexpr UINT_PTR kProgressTimer = 1;  // 时钟1
constexpr UINT_PTR kReportTimer = 2;    // shows the report's pending tail
constexpr int kAppIcon = 1;             // resource id of the program's icon

int scaled(int value, UINT dpi) {
  return MulDiv(value, static_cast<int>(dpi), 96);
}

// The DPI functions of Windows 10; older systems count as 96 DPI.
UINT dpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  const UINT dpi = getDpi ? getDpi(hwnd) : 96;
  return dpi ? dpi : 96;
}

DWORD styleOf(ControlKind kind) {
  const DWORD common = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    case ControlKind::kEdit:
      return common | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
             ES_AUTOHSCROLL | ES_WANTRETURN;
    case ControlKind::kPushButton:
      return common | WS_TABSTOP | BS_PUSHBUTTON;
    case ControlKind::kCheckBox:
      return common | WS_TABSTOP | BS_AUTOCHECKBOX;
    case ControlKind::kLabel:
      return common | SS_LEFT;
    case ControlKind::kProgressBar:
      return common;
    case ControlKind::kSmallButton:
      return common | BS_PUSHBUTTON;
  }
  return common;
}

const char* classOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit:
      return "EDIT";
    case ControlKind::kLabel:
      return "STATIC";
    case ControlKind::kProgressBar:
      return PROGRESS_CLASSA;
    default:
      return "BUTTON";
  }
}

Text aboutText() {
  return fromUtf8("Sumwarden " SW_VERSION
                  "\r\n\r\n"
                  "文件校验工具：列出文件的名称、路径、大小、修改时间和版本信息，"
                  "并计算 MD5、SHA1 和 CRC32 校验值。\r\n"
                  "可以在“浏览”中选择多个文件，也可以把文件和文件夹拖放到窗口上。"
                  "报告可以复制或保存为文本文件。");
}

}  // namespace

WindowSeams systemSeams() {
  WindowSeams seams;
  seams.chooseFiles = [](HWND owner) {
    return sw::chooseFiles(owner, fromUtf8("请选择要打开的文件"), "", "");
  };
  seams.chooseSaveFile = [](HWND owner, Text& fileName) {
    return chooseReportFile(owner, fileName);
  };
  seams.messageBox = [](HWND owner, const Text& text, const Text& title, UINT style) {
    MessageBoxA(owner, text.c_str(), title.c_str(), style);
  };
  seams.openWebPage = [](const char* address) {
    ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
  };
  return seams;
}

MainWindow::MainWindow(WindowSeams seams, bool quitOnDestroy)
    : seams_(std::move(seams)),
      quitOnDestroy_(quitOnDestroy),
      saveFileName_(fromUtf8("校验信息")),
      job_(std::make_unique<VerifyJob>()) {}

std::unique_ptr<MainWindow> MainWindow::create(HINSTANCE instance, WindowSeams seams,
                                               bool quitOnDestroy) {
  static const ATOM registered = [instance] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &MainWindow::windowProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(kAppIcon), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kAppIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassExA(&wc);
  }();
  if (registered == 0) return nullptr;

  std::unique_ptr<MainWindow> window(new MainWindow(std::move(seams), quitOnDestroy));
  MainWindow* self = window.get();
  window->worker_ = std::make_unique<WorkerControl>(
      *window->job_, [self](std::shared_ptr<const StopMark> stop) -> std::unique_ptr<WindowOps> {
        return std::make_unique<GuiWindowOps>(self->hwnd_, std::move(stop));
      });
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const HWND hwnd =
      CreateWindowExA(WS_EX_CONTROLPARENT, kClassName, "Sumwarden", style, CW_USEDEFAULT,
                      CW_USEDEFAULT, kWindowWidth, kWindowHeight, nullptr, nullptr, instance, self);
  if (hwnd == nullptr) return nullptr;

  // Centred on the work area of its monitor, at the outer size scaled to the monitor's DPI.
  const int width = scaled(kWindowWidth, window->dpi_);
  const int height = scaled(kWindowHeight, window->dpi_);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoA(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& area = monitor.rcWork;
  SetWindowPos(hwnd, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return window;
}

bool MainWindow::waitForWorker(DWORD milliseconds) {
  // A call that the worker had already sent is answered meanwhile (refused once the run is
  // stopped), so that the worker never waits for this thread while this thread waits for it.
  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (!worker_->waitForEnd(std::chrono::milliseconds(10))) {
    if (GetTickCount64() >= deadline) return false;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return true;
}

MainWindow::~MainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (!waitForWorker(kWorkerEndWait)) {
    // A worker stuck in a read that will not return still uses the job: leave both to the
    // end of the process rather than free them under it.
    (void)worker_.release();
    (void)job_.release();
  }
  worker_.reset();
  for (HFONT font : {guiFont_, reportFont_, smallButtonFont_}) {
    if (font != nullptr) DeleteObject(font);
  }
}

LRESULT CALLBACK MainWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  return self->handle(message, wParam, lParam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      dpi_ = dpiOf(hwnd_);
      makeFonts();
      for (const ControlSpec& c : kControls) {
        const DWORD exStyle = c.kind == ControlKind::kEdit ? WS_EX_CLIENTEDGE : 0;
        CreateWindowExA(exStyle, classOf(c.kind), fromUtf8(c.text).c_str(), styleOf(c.kind), 0, 0,
                        0, 0, hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                        GetModuleHandleA(nullptr), nullptr);
      }
      layOut();
      const HWND report = control(kReportBox);
      report_ = std::make_unique<ReportBox>(report, hwnd_, kReportTimer);
      SendMessageA(report, EM_SETLIMITTEXT, 0, 0);  // no limit on the report's length
      for (int i = 0; i < 6; ++i) CheckDlgButton(hwnd_, kCheckBoxFirst + i, BST_CHECKED);
      for (int i = 0; i < 2; ++i) {
        SendMessageA(control(kBarFirst + i), PBM_SETRANGE32, 0, 100);
        SendMessageA(control(kBarFirst + i), PBM_SETPOS, 0, 0);
      }
      onCreated();
      return 0;
    }
    case WM_COMMAND:
      if (lParam != 0) onCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kProgressTimer) onTimer();
      if (wParam == kReportTimer) report_->flush();
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      onDestroy();
      return 0;
    case kMsgAppendReport:
    case kMsgEnableButton:
    case kMsgSetBar:
    case kMsgIsChecked:
    case kMsgSetCaption:
    case kMsgSetTimer:
      return onWorkerCall(message, *reinterpret_cast<WorkerCall*>(lParam));
    default:
      return DefWindowProcA(hwnd_, message, wParam, lParam);
  }
}

// The window-created handler: the look of the controls comes from the manifest (Common
// Controls 6); the report box takes the focus; the drop target is set up. Its registration
// result is not needed: without it the window simply takes no drops.
void MainWindow::onCreated() {
  focusReport();
  dropTarget_ = new FileDropTarget([this] { return !worker_->running(); },
                                   [this](const Text& text) { filesDropped(text); });
  RegisterDragDrop(hwnd_, dropTarget_);
}

void MainWindow::onDestroy() {
  worker_->stopWorker();
  RevokeDragDrop(hwnd_);
  if (dropTarget_ != nullptr) {
    dropTarget_->Release();
    dropTarget_ = nullptr;
  }
  setTimerPeriod(0);
  if (quitOnDestroy_) PostQuitMessage(0);
}

void MainWindow::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kButtonFirst + 0:
      browse();
      break;
    case kButtonFirst + 1:
      clear();
      break;
    case kButtonFirst + 2:
      copy();
      break;
    case kButtonFirst + 3:
      save();
      break;
    case kButtonFirst + 4:
      stop();
      break;
    case kAboutButton:
      about();
      break;
    case kUpdateButton:
      update();
      break;
    default:
      if (id >= kCheckBoxFirst && id < kCheckBoxFirst + 6) focusReport();
      break;
  }
}

void MainWindow::onTimer() {
  const BarPositions p = barPositions(job_->currentIndex.load(std::memory_order_relaxed),
                                      job_->fileCount.load(std::memory_order_relaxed),
                                      job_->filePercent.load(std::memory_order_relaxed));
  SendMessageA(control(kBarFirst + 0), PBM_SETPOS, clampBarPosition(p.file), 0);
  SendMessageA(control(kBarFirst + 1), PBM_SETPOS, clampBarPosition(p.overall), 0);
}

LRESULT MainWindow::onWorkerCall(UINT message, WorkerCall& call) {
  if (call.stop == nullptr || call.stop->stopped()) return 0;  // the run was stopped: refused
  switch (message) {
    case kMsgAppendReport:
      report_->append(*call.text);
      break;
    case kMsgEnableButton:
      if (call.first >= 1 && call.first <= 5) {
        EnableWindow(control(kButtonFirst + call.first - 1), call.second != 0);
      }
      break;
    case kMsgSetBar:
      if (call.first >= 1 && call.first <= 2) {
        SendMessageA(control(kBarFirst + call.first - 1), PBM_SETPOS, clampBarPosition(call.second),
                     0);
      }
      break;
    case kMsgIsChecked:
      call.answer = call.first >= 1 && call.first <= 6 &&
                    IsDlgButtonChecked(hwnd_, kCheckBoxFirst + call.first - 1) == BST_CHECKED;
      break;
    case kMsgSetCaption:
      report_->flush();  // the run's end: let its last lines show with the caption
      SetWindowTextA(hwnd_, call.text->c_str());
      break;
    case kMsgSetTimer:
      setTimerPeriod(call.first);
      break;
  }
  return 1;
}

void MainWindow::setTimerPeriod(int32_t period) {
  const UINT p = period > 0 ? static_cast<UINT>(period) : 0;
  if (p == timerPeriod_) return;
  if (p > 0) {
    SetTimer(hwnd_, kProgressTimer, p, nullptr);
  } else {
    KillTimer(hwnd_, kProgressTimer);
  }
  timerPeriod_ = p;
}

void MainWindow::makeFonts() {
  for (HFONT* font : {&guiFont_, &reportFont_, &smallButtonFont_}) {
    if (*font != nullptr) DeleteObject(*font);
  }
  LOGFONTA gui{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui);
  gui.lfHeight = scaled(gui.lfHeight, dpi_);
  guiFont_ = CreateFontIndirectA(&gui);
  LOGFONTA report{};
  report.lfHeight = -scaled(kReportFontHeight, dpi_);
  report.lfWeight = FW_NORMAL;
  report.lfCharSet = DEFAULT_CHARSET;
  reportFont_ = CreateFontIndirectA(&report);
  report.lfUnderline = TRUE;
  smallButtonFont_ = CreateFontIndirectA(&report);
}

void MainWindow::layOut() {
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont_), FALSE);
  for (const ControlSpec& c : kControls) {
    const HWND h = control(c.id);
    MoveWindow(h, scaled(c.x, dpi_), scaled(c.y, dpi_), scaled(c.width, dpi_),
               scaled(c.height, dpi_), TRUE);
    HFONT font = c.kind == ControlKind::kEdit          ? reportFont_
                 : c.kind == ControlKind::kSmallButton ? smallButtonFont_
                                                       : guiFont_;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void MainWindow::onDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi ? dpi : 96;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  makeFonts();
  layOut();
}

void MainWindow::focusReport() {
  SetFocus(control(kReportBox));
}

void MainWindow::startRun(std::vector<Text> paths) {
  worker_->startWorker(std::move(paths));
}

void MainWindow::browse() {
  ChosenFiles chosen = seams_.chooseFiles(hwnd_);
  if (chosen.tooMany) {
    seams_.messageBox(
        hwnd_, fromUtf8("选择的文件太多，无法一次打开。请分几次选择，或把文件拖放到窗口上。"),
        "Sumwarden", MB_OK | MB_ICONWARNING);
  } else {
    // A cancelled dialog still starts a run, over no files.
    startRun(chosen.confirmed ? std::move(chosen.paths) : std::vector<Text>());
  }
  focusReport();
}

void MainWindow::filesDropped(const Text& eventText) {
  // A drop during a run is refused: the running job is not disturbed.
  if (!worker_->running()) startRun(dropEventPaths(eventText, activeCharRule()));
  focusReport();
}

void MainWindow::stop() {
  worker_->stopWorker();
  for (int i = 0; i < 4; ++i) EnableWindow(control(kButtonFirst + i), TRUE);
  report_->append("\r\n");
  report_->flush();
  focusReport();
}

void MainWindow::clear() {
  report_->clear();
  SetWindowTextA(hwnd_, labels().appName.c_str());
  focusReport();
}

void MainWindow::copy() {
  const Text text = report_->text();
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    if (memory != nullptr) {
      if (void* p = GlobalLock(memory)) {
        memcpy(p, text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
      }
      if (SetClipboardData(CF_TEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
  }
  focusReport();
}

void MainWindow::save() {
  Text fileName = saveFileName_;
  if (seams_.chooseSaveFile(hwnd_, fileName)) {
    saveFileName_ = fileName;
    const Bytes bytes = textToBytes(report_->text());
    const SysError error = fileName.empty() ? 0 : writeWholeFile(fileName, bytes);
    if (error != 0) {
      seams_.messageBox(hwnd_,
                        fromUtf8("报告没有保存。无法写入文件：\r\n") + fileName + "\r\n\r\n" +
                            systemErrorText(error),
                        fromUtf8("保存"), MB_OK | MB_ICONERROR);
    }
  }
  focusReport();
}

void MainWindow::about() {
  seams_.messageBox(nullptr, aboutText(), fromUtf8("关于"),
                    MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  focusReport();
}

void MainWindow::update() {
  seams_.openWebPage(SW_HOMEPAGE);
}

}  // namespace sw
