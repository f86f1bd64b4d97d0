// The real main window, driven in-process on the test's thread (under Wine with Xvfb here).
#include <ole2.h>
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <psapi.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

#include "engine/labels.h"
#include "platform/code_page.h"
#include "tests/test_support.h"
#include "ui/main_window.h"
#include "ui/report_box.h"

namespace sw {
namespace {

Text u(std::string_view utf8) {
  return fromUtf8(utf8);
}

class OleEnvironment : public testing::Environment {
 public:
  void SetUp() override { OleInitialize(nullptr); }
  void TearDown() override { OleUninitialize(); }
};
const auto* const kOle = testing::AddGlobalTestEnvironment(new OleEnvironment);

// Set when the pump meets WM_QUIT.
bool quitPosted = false;

// Runs the window thread's part: dispatches messages until done() or the time is up.
bool pumpUntil(const std::function<bool()>& done, int milliseconds = 20000) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) quitPosted = true;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void pumpFor(int milliseconds) {
  pumpUntil([] { return false; }, milliseconds);
}

struct ShownMessage {
  HWND owner;
  Text text, title;
  UINT style;
};

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    WindowSeams seams;
    seams.chooseFiles = [this](HWND) { return chosen; };
    seams.chooseSaveFile = [this](HWND, Text& fileName) {
      dialogStartedWith.push_back(fileName);
      if (saveAs.empty()) return false;
      fileName = saveAs;
      return true;
    };
    seams.messageBox = [this](HWND owner, const Text& text, const Text& title, UINT style) {
      messages.push_back({owner, text, title, style});
    };
    seams.openWebPage = [this](const char* address) { opened.push_back(address); };
    window = MainWindow::create(GetModuleHandleA(nullptr), seams, false);
    ASSERT_NE(window, nullptr);
    pumpFor(50);
  }

  void TearDown() override { window.reset(); }

  HWND control(int id) const { return window->control(id); }
  Text report() const { return window->reportText(); }
  Text caption() const {
    char text[512];
    return Text(text, static_cast<size_t>(GetWindowTextA(window->hwnd(), text, sizeof text)));
  }
  bool enabled(int id) const { return IsWindowEnabled(control(id)) != FALSE; }
  int barPosition(int bar) const {
    return static_cast<int>(SendMessageA(control(kBarFirst + bar - 1), PBM_GETPOS, 0, 0));
  }
  void click(int id) { SendMessageA(control(id), BM_CLICK, 0, 0); }

  // Starts a run over paths through Browse and waits for it to end.
  void runOver(std::vector<Text> paths) {
    chosen = ChosenFiles{true, false, std::move(paths)};
    click(kButtonFirst);
    ASSERT_TRUE(
        pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
    pumpFor(20);
  }

  // The block of the 9-byte file of digits, every box checked.
  Text digitsBlock(const Text& path) {
    return u("文件名：") + path.substr(path.rfind('\\') + 1) + "\r\n" + u("文件路径：") + path +
           "\r\n" + u("文件尺寸：9字节\r\n") + u("修改时间：2012年2月17日9时5分3秒\r\n") +
           u("MD5：25F9E794323B453885F5181F1B624D0B\r\n") +
           u("SHA1：F7C3BC1D808E04732ADF679965CCC34CA7AE3441\r\n") + u("CRC32：CBF43926\r\n") +
           "\r\n";
  }
  Text digitsFile(std::string_view name) {
    const Text path = dir.write(name, "123456789");
    test::setLocalWriteTime(path, 2012, 2, 17, 9, 5, 3);
    return path;
  }

  test::TempDir dir;
  std::unique_ptr<MainWindow> window;
  ChosenFiles chosen;
  Text saveAs;
  std::vector<Text> dialogStartedWith;
  std::vector<ShownMessage> messages;
  std::vector<std::string> opened;
};

TEST_F(WindowTest, StartState) {
  EXPECT_EQ(caption(), "Sumwarden");
  EXPECT_EQ(report(), "");
  EXPECT_EQ(GetFocus(), control(kReportBox));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(enabled(kButtonFirst + i)) << i;
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(IsDlgButtonChecked(window->hwnd(), kCheckBoxFirst + i), BST_CHECKED) << i;
  }
  EXPECT_EQ(barPosition(1), 0);
  EXPECT_EQ(barPosition(2), 0);
  EXPECT_EQ(window->timerPeriod(), 0u);

  // Fixed frame, no minimize or maximize box, outer size 500 x 335.
  const LONG style = GetWindowLongA(window->hwnd(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  RECT outer;
  GetWindowRect(window->hwnd(), &outer);
  EXPECT_EQ(outer.right - outer.left, kWindowWidth);
  EXPECT_EQ(outer.bottom - outer.top, kWindowHeight);

  // Every control where the description puts it, with its text.
  for (const ControlSpec& c : kControls) {
    const HWND h = control(c.id);
    ASSERT_NE(h, nullptr) << c.name;
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, window->hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.x) << c.name;
    EXPECT_EQ(r.top, c.y) << c.name;
    EXPECT_EQ(r.right - r.left, c.width) << c.name;
    EXPECT_EQ(r.bottom - r.top, c.height) << c.name;
    char text[64];
    GetWindowTextA(h, text, sizeof text);
    if (c.kind != ControlKind::kEdit && c.kind != ControlKind::kProgressBar) {
      EXPECT_EQ(Text(text), u(c.text)) << c.name;
    }
  }
  const LONG edit = GetWindowLongA(control(kReportBox), GWL_STYLE);
  EXPECT_TRUE(edit & ES_MULTILINE);
  EXPECT_TRUE(edit & WS_HSCROLL);
  EXPECT_TRUE(edit & WS_VSCROLL);
  EXPECT_FALSE(edit & ES_READONLY);
  EXPECT_FALSE(edit & ES_NOHIDESEL);
}

TEST_F(WindowTest, RunsCaptionAndClear) {
  const Text a = digitsFile("a.txt");
  const Text b = digitsFile(u("中文.txt"));
  runOver({a, b});
  EXPECT_EQ(report(), digitsBlock(a) + digitsBlock(b));
  EXPECT_EQ(caption(), u("Sumwarden - 已校验2个文件"));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(enabled(kButtonFirst + i)) << i;
  EXPECT_EQ(barPosition(1), 100);
  EXPECT_EQ(barPosition(2), 100);
  EXPECT_EQ(window->timerPeriod(), 0u);
  EXPECT_EQ(GetFocus(), control(kReportBox));

  click(kButtonFirst + 1);  // Clear
  EXPECT_EQ(report(), "");
  EXPECT_EQ(caption(), "Sumwarden");
  runOver({a});
  EXPECT_EQ(caption(), u("Sumwarden - 已校验3个文件"));

  // A cancelled dialog runs over no files and still rewrites the caption.
  chosen = ChosenFiles{};
  click(kButtonFirst + 1);
  click(kButtonFirst);
  ASSERT_TRUE(pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
  pumpFor(20);
  EXPECT_EQ(caption(), u("Sumwarden - 已校验3个文件"));
  EXPECT_EQ(report(), "");
}

TEST_F(WindowTest, BrowseRefusesASelectionTooLargeWithAMessage) {
  chosen = ChosenFiles{false, true, {}};
  click(kButtonFirst);
  pumpFor(50);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(caption(), "Sumwarden");
  EXPECT_EQ(GetFocus(), control(kReportBox));
}

// Typed text stays, and the user's selection and caret are where they were after appends.
TEST_F(WindowTest, AppendsKeepTheUsersTextAndSelection) {
  const HWND box = control(kReportBox);
  SetWindowTextA(box, "typed by hand\r\n");
  SendMessageA(box, EM_SETSEL, 2, 6);
  runOver({digitsFile("a.txt")});
  EXPECT_EQ(report(), "typed by hand\r\n" + digitsBlock(dir.text("a.txt")));
  DWORD start = 0, end = 0;
  SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 6u);
  EXPECT_EQ(SendMessageA(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(WindowTest, StopInTheMiddleOfALargeFile) {
  const Text small = digitsFile("a.txt");
  runOver({small});
  const Text before = report();
  const Text big = dir.write("big.bin", std::string(120u << 20, 'x'));
  chosen = ChosenFiles{true, false, {big, small}};
  click(kButtonFirst);
  // Stop once the first chunks of the big file have been read.
  VerifyJob& job = window->job();
  ASSERT_TRUE(pumpUntil([&] {
    return job.fileCount.load() == 2 && job.currentIndex.load() == 1 && job.filePercent.load() > 0;
  }));
  EXPECT_FALSE(enabled(kButtonFirst));
  click(kButtonFirst + 4);  // Stop
  // The buttons are enabled at once, before the worker has unwound.
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(enabled(kButtonFirst + i)) << i;
  const Text cut = before + u("文件名：big.bin\r\n") + u("文件路径：") + big + "\r\n" +
                   u("文件尺寸：125829120字节(120M)\r\n");
  const Text afterStop = report();
  ASSERT_EQ(afterStop.substr(0, cut.size()), cut);
  EXPECT_EQ(afterStop.substr(afterStop.size() - 4), "\r\n\r\n") << "the time line, then Stop's";
  EXPECT_EQ(caption(), u("Sumwarden - 已校验1个文件"));
  ASSERT_TRUE(pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
  pumpFor(100);
  EXPECT_EQ(report(), afterStop) << "nothing is appended after Stop";
  EXPECT_EQ(caption(), u("Sumwarden - 已校验1个文件"));

  click(kButtonFirst + 4);  // Stop while idle appends a line end each time
  EXPECT_EQ(report(), afterStop + "\r\n");
}

// A minimal data object offering one format, as a drag source would.
class FakeDataObject final : public IDataObject {
 public:
  FakeDataObject(CLIPFORMAT format, HGLOBAL data) : format_(format), data_(data) {}
  ~FakeDataObject() { GlobalFree(data_); }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
    const SIZE_T size = GlobalSize(data_);
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(copy), GlobalLock(data_), size);
    GlobalUnlock(copy);
    GlobalUnlock(data_);
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    return format->cfFormat == format_ && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  CLIPFORMAT format_;
  HGLOBAL data_;
};

// A shell file list (DROPFILES followed by ANSI paths, each ended by a NUL, and one more NUL).
HGLOBAL fileList(const std::vector<Text>& paths) {
  std::string names;
  for (const Text& p : paths) names += p + '\0';
  names += '\0';
  const HGLOBAL memory =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
  GlobalUnlock(memory);
  return memory;
}

TEST_F(WindowTest, DropsStartARunAndAreRefusedDuringOne) {
  IDropTarget* target = window->dropTarget();
  ASSERT_NE(target, nullptr);
  // The target is the one registered for the window.
  EXPECT_EQ(RegisterDragDrop(window->hwnd(), target), DRAGDROP_E_ALREADYREGISTERED);

  const Text a = digitsFile("a.txt");
  const Text folder = dir.folder(u("文件夹"));
  FakeDataObject files(CF_HDROP, fileList({a, folder}));
  const POINTL point{10, 10};
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  ASSERT_EQ(target->DragEnter(&files, MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_MOVE;  // a source that would move is never told to
  target->DragOver(MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(target->Drop(&files, MK_LBUTTON, point, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  ASSERT_TRUE(pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
  pumpFor(20);
  const Text r = report();
  EXPECT_EQ(r.substr(0, digitsBlock(a).size()), digitsBlock(a));
  EXPECT_NE(r.find(u("文件名：文件夹\r\n")), Text::npos);
  EXPECT_EQ(caption(), u("Sumwarden - 已校验2个文件"));
  EXPECT_EQ(GetFocus(), control(kReportBox));

  // Dragged text is not taken.
  const char kText[] = "some text";
  const HGLOBAL textMemory = GlobalAlloc(GMEM_MOVEABLE, sizeof kText);
  memcpy(GlobalLock(textMemory), kText, sizeof kText);
  GlobalUnlock(textMemory);
  FakeDataObject text(CF_TEXT, textMemory);
  effect = DROPEFFECT_COPY;
  target->DragEnter(&text, MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  target->Drop(&text, MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  pumpFor(50);
  EXPECT_EQ(report(), r);

  // During a run a drop is refused and the run goes on undisturbed.
  const Text big = dir.write("big.bin", std::string(60u << 20, 'y'));
  chosen = ChosenFiles{true, false, {big}};
  click(kButtonFirst);
  ASSERT_TRUE(window->worker().running());
  FakeDataObject other(CF_HDROP, fileList({a}));
  effect = DROPEFFECT_COPY;
  target->DragEnter(&other, MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  target->Drop(&other, MK_LBUTTON, point, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_TRUE(pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
  pumpFor(20);
  EXPECT_EQ(caption(), u("Sumwarden - 已校验3个文件"));
  const Text after = report().substr(r.size());
  EXPECT_EQ(after.find(u("文件名：a.txt")), Text::npos) << "the refused drop ran";
  EXPECT_NE(after.find(u("文件名：big.bin")), Text::npos);
}

// A shell file list of wide paths, as Explorer gives it.
HGLOBAL wideFileList(const std::vector<std::wstring>& paths) {
  std::wstring names;
  for (const std::wstring& p : paths) names += p + L'\0';
  names += L'\0';
  const size_t bytes = names.size() * sizeof(wchar_t);
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), bytes);
  GlobalUnlock(memory);
  return memory;
}

// A dropped file whose name the code page cannot hold is read through its short path, which the
// report shows; it is never reported missing.
TEST_F(WindowTest, ADroppedNameTheCodePageCannotHold) {
  const std::wstring folder(dir.path().wstring());
  const std::wstring path = folder + L"\\\u0E20\u0E32\u0E29\u0E32.txt";
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  WriteFile(h, "123456789", 9, &n, nullptr);
  CloseHandle(h);

  FakeDataObject files(CF_HDROP, wideFileList({path}));
  DWORD effect = DROPEFFECT_COPY;
  window->dropTarget()->DragEnter(&files, MK_LBUTTON, POINTL{5, 5}, &effect);
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(window->dropTarget()->Drop(&files, MK_LBUTTON, POINTL{5, 5}, &effect), S_OK);
  ASSERT_TRUE(pumpUntil([&] { return window->worker().waitForEnd(std::chrono::milliseconds(0)); }));
  const Text r = report();
  EXPECT_EQ(r.find(u("文件不存在")), Text::npos) << toUtf8(r);
  EXPECT_EQ(r.find('?'), Text::npos) << toUtf8(r);
  EXPECT_NE(r.find(u("CRC32：CBF43926")), Text::npos) << toUtf8(r);
  EXPECT_NE(r.find(u("文件尺寸：9字节")), Text::npos) << toUtf8(r);
}

TEST_F(WindowTest, CopyPlacesTheReportOnTheClipboard) {
  const auto clipboard = [] {
    Text text = "(nothing)";
    if (OpenClipboard(nullptr)) {
      if (HANDLE h = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(h));
        GlobalUnlock(h);
      }
      CloseClipboard();
    }
    return text;
  };
  click(kButtonFirst + 2);
  EXPECT_EQ(clipboard(), "");
  runOver({digitsFile("a.txt")});
  SetFocus(control(kButtonFirst + 2));
  click(kButtonFirst + 2);
  EXPECT_EQ(clipboard(), report());
  EXPECT_EQ(GetFocus(), control(kReportBox));
}

TEST_F(WindowTest, SaveWritesTheReportBytes) {
  runOver({digitsFile("a.txt")});
  const Text target = dir.write(u("报告.txt"), std::string(5000, 'o'));  // longer than the report
  saveAs = target;
  click(kButtonFirst + 3);
  ASSERT_EQ(dialogStartedWith.size(), 1u);
  EXPECT_EQ(dialogStartedWith[0], u("校验信息"));
  std::string bytes = test::readFile(target);
  EXPECT_EQ(bytes, report()) << "replaced, not merged";
  EXPECT_EQ(bytes.substr(0, 8), "\xCE\xC4\xBC\xFE\xC3\xFB\xA3\xBA");  // 文件名： in GBK
  EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n\r\n");
  EXPECT_TRUE(messages.empty());

  // The next dialog starts from the path chosen; a cancel writes nothing.
  saveAs.clear();
  click(kButtonFirst + 1);  // Clear
  click(kButtonFirst + 3);
  ASSERT_EQ(dialogStartedWith.size(), 2u);
  EXPECT_EQ(dialogStartedWith[1], target);
  EXPECT_EQ(test::readFile(target), bytes);
  EXPECT_EQ(window->saveFileName(), target);

  // An empty report gives an empty file.
  saveAs = target;
  click(kButtonFirst + 3);
  EXPECT_EQ(test::readFile(target), "");
  EXPECT_EQ(GetFocus(), control(kReportBox));
}

TEST_F(WindowTest, SaveThatCannotWriteSaysSo) {
  SetWindowTextA(control(kReportBox), "keep me");
  saveAs = dir.text("no-such-folder") + "\\r.txt";
  click(kButtonFirst + 3);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].text.find(saveAs), Text::npos);
  EXPECT_EQ(messages[0].title, u("保存"));
  EXPECT_EQ(report(), "keep me");

  // A file another program holds open without sharing.
  const Text held = dir.write("held.txt", "old");
  const HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  saveAs = held;
  click(kButtonFirst + 3);
  CloseHandle(h);
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[1].text.find(held), Text::npos);
  EXPECT_EQ(report(), "keep me");
  EXPECT_EQ(test::readFile(held), "old");
}

// Stop at random moments of many runs: no line after a Stop, the buttons enabled at once, and
// no handles or memory left behind by the stopped runs.
TEST_F(WindowTest, StopUnderStress) {
  const Text small = digitsFile("a.txt");
  const Text big = dir.write("big.bin", std::string(24u << 20, 'z'));
  const std::vector<Text> paths = {small, big, small, small, big};
  std::mt19937 random(20261211);
  const auto handles = [] {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
  };
  const auto memory = [] {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters.PrivateUsage;
  };
  DWORD handlesBefore = 0;
  SIZE_T memoryBefore = 0;
  for (int cycle = 0; cycle < 200; ++cycle) {
    if (cycle == 20) {
      handlesBefore = handles();
      memoryBefore = memory();
    }
    chosen = ChosenFiles{true, false, paths};
    click(kButtonFirst);
    const int wait = std::uniform_int_distribution<int>(0, 60)(random);
    if (wait > 0) pumpFor(wait);
    click(kButtonFirst + 4);  // Stop
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(enabled(kButtonFirst + i)) << "cycle " << cycle;
    const Text atStop = report();
    const Text caption0 = caption();
    ASSERT_TRUE(pumpUntil([&] {
      return window->worker().waitForEnd(std::chrono::milliseconds(0));
    })) << "cycle "
        << cycle;
    pumpFor(5);
    ASSERT_EQ(report(), atStop) << "a line was appended after Stop, cycle " << cycle;
    ASSERT_EQ(caption(), caption0) << "cycle " << cycle;
    if (cycle % 25 == 24) click(kButtonFirst + 1);  // Clear now and then
  }
  if (handlesBefore != 0) {
    EXPECT_LE(handles(), handlesBefore + 8);
  }
  EXPECT_LE(memory(), memoryBefore + (16u << 20));
}

// Closing the window in the middle of a large file ends the message loop at once, and the
// worker unwinds at its next block instead of reading the file to its end.
TEST_F(WindowTest, ClosingDuringALargeFileEndsPromptly) {
  window.reset();
  WindowSeams seams;
  seams.chooseFiles = [this](HWND) { return chosen; };
  std::unique_ptr<MainWindow> own = MainWindow::create(GetModuleHandleA(nullptr), seams, true);
  ASSERT_NE(own, nullptr);
  const Text big = dir.write("big.bin", std::string(200u << 20, 'q'));
  chosen = ChosenFiles{true, false, {big}};
  SendMessageA(own->control(kButtonFirst), BM_CLICK, 0, 0);
  VerifyJob& job = own->job();
  ASSERT_TRUE(pumpUntil([&] { return job.filePercent.load() > 0; }));
  PostMessageA(own->hwnd(), WM_CLOSE, 0, 0);
  quitPosted = false;
  ASSERT_TRUE(pumpUntil([&] { return quitPosted; }));
  EXPECT_EQ(own->hwnd(), nullptr);
  EXPECT_TRUE(own->waitForWorker(MainWindow::kWorkerEndWait));
  EXPECT_LT(job.filePercent.load(), 100) << "the file was read to its end";
  EXPECT_EQ(job.verifiedTotal, 0);
}

// A Copy that cannot open the clipboard (another program holds it) leaves everything as it
// was.
TEST_F(WindowTest, CopyThatFailsLeavesTheReportAlone) {
  runOver({digitsFile("a.txt")});
  const Text before = report();
  std::mutex mutex;
  std::condition_variable changed;
  bool held = false, release = false;
  std::thread holder([&] {
    const HWND other =
        CreateWindowA("STATIC", "holder", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    OpenClipboard(other);
    EmptyClipboard();
    std::unique_lock<std::mutex> lock(mutex);
    held = true;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
    CloseClipboard();
    DestroyWindow(other);
  });
  {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return held; });
  }
  click(kButtonFirst + 2);  // Copy
  EXPECT_EQ(report(), before);
  EXPECT_EQ(GetFocus(), control(kReportBox));
  {
    std::lock_guard<std::mutex> lock(mutex);
    release = true;
    changed.notify_all();
  }
  holder.join();
  EXPECT_EQ(IsClipboardFormatAvailable(CF_TEXT), FALSE) << "the held clipboard was written";
}

TEST_F(WindowTest, OptionBoxClickGivesTheFocusBack) {
  const int box = kCheckBoxFirst + 2;
  SetFocus(control(box));
  click(box);
  EXPECT_EQ(IsDlgButtonChecked(window->hwnd(), box), BST_UNCHECKED);
  EXPECT_EQ(GetFocus(), control(kReportBox));
  click(box);
  EXPECT_EQ(IsDlgButtonChecked(window->hwnd(), box), BST_CHECKED);
}

TEST_F(WindowTest, AboutAndUpdate) {
  click(kAboutButton);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].owner, nullptr);
  EXPECT_EQ(messages[0].title, u("关于"));
  EXPECT_EQ(messages[0].style & (MB_TASKMODAL | MB_ICONINFORMATION),
            static_cast<UINT>(MB_TASKMODAL | MB_ICONINFORMATION));
  EXPECT_NE(messages[0].text.find("Sumwarden 1."), Text::npos);
  EXPECT_EQ(GetFocus(), control(kReportBox));

  SetFocus(control(kButtonFirst));
  window->update();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0].rfind("http", 0), 0u);
  EXPECT_EQ(GetFocus(), control(kButtonFirst)) << "Update leaves the focus where it was";
}

}  // namespace
}  // namespace sw
