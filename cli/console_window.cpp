#include "cli/console_window.h"

#include <chrono>

#include "engine/progress.h"
#include "platform/code_page.h"

namespace sw {

ConsoleWindow::ConsoleWindow(const VerifyJob& job, const std::array<bool, 6>& options,
                             std::FILE* report, std::FILE* progress)
    : job_(job), options_(options), report_(report), progress_(progress) {
  if (progress_ != nullptr) timer_ = std::thread([this] { tick(); });
}

ConsoleWindow::~ConsoleWindow() {
  finish();
}

void ConsoleWindow::appendReport(const Text& text) {
  std::fwrite(text.data(), 1, text.size(), report_);
}

void ConsoleWindow::setBarPosition(Bar, int32_t) {}

bool ConsoleWindow::isChecked(OptionBox box) {
  return options_[static_cast<size_t>(box) - 1];
}

void ConsoleWindow::setTimerPeriod(int32_t milliseconds) {
  // A pass is about to read a large file: let the lines written so far show while it does.
  if (milliseconds > 0 && job_.fileSize >= kChunkSize) std::fflush(report_);
  if (progress_ == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  timerOn_ = milliseconds > 0;
  wake_.notify_all();
}

void ConsoleWindow::finish() {
  std::fflush(report_);
  if (!timer_.joinable()) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
    wake_.notify_all();
  }
  timer_.join();
  if (drawn_) {
    std::fputs("\r                                        \r", progress_);
    std::fflush(progress_);
  }
}

void ConsoleWindow::tick() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || timerOn_; });
    if (quit_) return;
    wake_.wait_for(lock, std::chrono::milliseconds(kProgressTimerPeriod), [this] { return quit_; });
    if (quit_) return;
    if (!timerOn_) continue;
    const BarPositions p = barPositions(job_.currentIndex.load(std::memory_order_relaxed),
                                        job_.fileCount.load(std::memory_order_relaxed),
                                        job_.filePercent.load(std::memory_order_relaxed));
    drawProgress(clampBarPosition(p.file), clampBarPosition(p.overall));
  }
}

void ConsoleWindow::drawProgress(int32_t filePosition, int32_t overallPosition) {
  static const Text kFile = fromUtf8("进度："), kOverall = fromUtf8("完成：");
  std::fprintf(progress_, "\r%s%3d%%  %s%3d%%  [%d/%d]", kFile.c_str(),
               static_cast<int>(filePosition), kOverall.c_str(), static_cast<int>(overallPosition),
               static_cast<int>(job_.currentIndex.load(std::memory_order_relaxed)),
               static_cast<int>(job_.fileCount.load(std::memory_order_relaxed)));
  std::fflush(progress_);
  drawn_ = true;
}

}  // namespace sw
