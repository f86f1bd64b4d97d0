#include "engine/verify_job.h"

#include "engine/file_facts.h"
#include "engine/hashing_pass.h"
#include "engine/labels.h"
#include "platform/paths.h"

namespace sw {

bool RunWindow::append(const Text& text) {
  appendToReport(window_, text);
  return !stopped();
}

bool RunWindow::enable(Button button, bool enabled) {
  window_.setButtonEnabled(button, enabled);
  return !stopped();
}

bool RunWindow::setBar(Bar bar, int32_t position) {
  window_.setBarPosition(bar, position);
  return !stopped();
}

bool RunWindow::setCaption(const Text& caption) {
  window_.setCaption(caption);
  return !stopped();
}

bool RunWindow::setTimer(int32_t milliseconds) {
  window_.setTimerPeriod(milliseconds);
  return !stopped();
}

bool RunWindow::ask(OptionBox box, bool* checked) {
  *checked = window_.isChecked(box);
  return !stopped();
}

void appendToReport(WindowOps& window, const Text& text) {
  window.appendReport(text);
}

Text fileNameOf(const Text& path) {
  const int32_t p = findLast(path, pathSeparator());
  const double rest =
      static_cast<double>(textLength(path)) - static_cast<double>(textLength(leftText(path, p)));
  return rightText(path, truncateToInteger(rest));
}

Text sizeFigure(int64_t size) {
  constexpr int64_t kMiB = 1048576, kGiB = 1073741824;
  if (size < kMiB) return "\r\n";
  if (size < kGiB) {
    return "(" + realToText(roundReal(static_cast<double>(size) / kMiB, 2)) + "M)\r\n";
  }
  return "(" + realToText(roundReal(static_cast<double>(size) / kGiB, 2)) + "G)\r\n";
}

namespace {

constexpr Button kRunButtons[] = {Button::kBrowse, Button::kClear, Button::kCopy, Button::kSave};

// The digest line of one box: its label and text, or "无法读取" when the entry's content could
// not be read to its end. Written only when the box is checked now.
bool appendDigestLine(const VerifyJob& job, RunWindow& window, OptionBox box, const Text& label,
                      const Text& digest) {
  bool checked = false;
  if (!window.ask(box, &checked)) return false;
  if (!checked) return true;
  return window.append(label + (job.readComplete ? digest : labels().unreadable) + "\r\n");
}

// Appends the block of entry k (1-based). False once the run has been stopped.
bool reportEntry(VerifyJob& job, RunWindow& window, int32_t k, VersionFields& fields,
                 HashResources& resources) {
  const Labels& l = labels();
  job.currentIndex.store(k, std::memory_order_relaxed);
  job.filePercent.store(0, std::memory_order_relaxed);
  const Text& path = job.fileList[static_cast<size_t>(k - 1)];

  if (!window.append(l.name + fileNameOf(path) + "\r\n")) return false;
  if (!window.append(l.path + path + "\r\n")) return false;

  const PathFacts facts = lookUpFacts(path);
  const std::optional<int64_t>& size = facts.size;
  job.fileSize = size.value_or(0);
  if (size) {
    if (!window.append(l.size + integerToText(*size) + l.bytes)) return false;
    if (!window.append(sizeFigure(*size))) return false;
  } else {
    if (!window.append(l.size + l.missing)) return false;
    if (!window.append("\r\n")) return false;
  }

  bool checked = false;
  if (!window.ask(OptionBox::kTime, &checked)) return false;
  if (checked) {
    const std::optional<DateTimeValue>& time = facts.lastWrite;
    if (!window.append(l.time + (time ? dateTimeToText(*time) : l.missing) + "\r\n")) {
      return false;
    }
  }

  job.md5Text.clear();
  job.sha1Text.clear();
  job.crcText.clear();
  job.chunkSize = kChunkSize;
  if (!hashCurrentFile(job, window, resources)) return false;
  if (!job.readComplete) ++job.unreadableEntries;

  if (readVersionFields(path, fields, job.readComplete ? &job.fileHead : nullptr)) {
    if (!window.ask(OptionBox::kVersion, &checked)) return false;
    if (checked) {
      if (!window.append(l.description + fields.FileDescription + "\r\n")) return false;
      if (!window.append(l.language + fields.Language + "\r\n")) return false;
      if (!window.append(l.version + fields.FileVersion + "\r\n")) return false;
    }
  }

  if (!window.ask(OptionBox::kUpperCase, &checked)) return false;
  if (checked) {
    job.md5Text = asciiUpper(job.md5Text);
    job.sha1Text = asciiUpper(job.sha1Text);
    job.crcText = asciiUpper(job.crcText);
  }
  if (!appendDigestLine(job, window, OptionBox::kMd5, l.md5, job.md5Text)) return false;
  if (!appendDigestLine(job, window, OptionBox::kSha1, l.sha1, job.sha1Text)) return false;
  if (!appendDigestLine(job, window, OptionBox::kCrc32, l.crc32, job.crcText)) return false;
  return window.append("\r\n");
}

}  // namespace

void runVerifyJob(VerifyJob& job, WindowOps& windowOps, const StopMark& stop) {
  RunWindow window(windowOps, stop);
  VersionFields fields;
  HashResources resources;

  for (Button b : kRunButtons) {
    if (!window.enable(b, false)) return;
  }
  if (!window.setBar(Bar::kFile, 0) || !window.setBar(Bar::kOverall, 0)) return;
  const int32_t n = static_cast<int32_t>(job.fileList.size());
  job.fileCount.store(n, std::memory_order_relaxed);
  job.unreadableEntries = 0;

  for (int32_t k = 1; k <= n; ++k) {
    if (!reportEntry(job, window, k, fields, resources)) return;
  }
  job.currentIndex.store(n + 1, std::memory_order_relaxed);

  // The total counts only once the caption that shows it has been set: a run stopped before
  // that adds nothing.
  const int32_t total =
      static_cast<int32_t>(truncateToInteger(static_cast<double>(job.verifiedTotal) +
                                             job.currentIndex.load(std::memory_order_relaxed) - 1));
  if (!window.setCaption(captionAfterRuns(total))) return;
  job.verifiedTotal = total;
  for (Button b : kRunButtons) {
    if (!window.enable(b, true)) return;
  }
  window.setBar(Bar::kOverall, 100);
}

}  // namespace sw
