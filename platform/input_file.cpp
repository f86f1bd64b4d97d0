#include <atomic>
#include <utility>

#include "platform/input_file.h"

namespace sw {
namespace {

std::atomic<FileFaultHook*> faultHook{nullptr};

}  // namespace

void installFileFaultHook(FileFaultHook* hook) {
  faultHook.store(hook);
}

SysError InputFile::open(const Text& path) {
  position_ = 0;
  FileFaultHook* hook = faultHook.load(std::memory_order_relaxed);
  if (hook != nullptr) {
    close();
    faultPath_ = path;
    if (const SysError fault = hook->openFault(path)) return fault;
  }
  return openFile(path);
}

InputFile::ReadResult InputFile::read(uint8_t* buffer, size_t n) {
  FileFaultHook* hook = faultHook.load(std::memory_order_relaxed);
  if (hook != nullptr && isOpen()) {
    if (const SysError fault = hook->readFault(faultPath_, position_)) {
      ReadResult r;
      r.error = fault;
      return r;
    }
  }
  ReadResult r = readFile(buffer, n);
  position_ += r.count;
  return r;
}

}  // namespace sw
