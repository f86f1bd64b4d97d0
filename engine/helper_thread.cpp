#include "engine/helper_thread.h"

namespace sw {

HelperThread::HelperThread() : thread_([this] { loop(); }) {}

HelperThread::~HelperThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void HelperThread::start(void (*task)(void*), void* context) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    task_ = task;
    context_ = context;
    pending_ = true;
  }
  changed_.notify_all();
}

void HelperThread::wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return !pending_; });
}

void HelperThread::loop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return pending_ || quit_; });
    if (quit_) return;
    lock.unlock();
    task_(context_);
    lock.lock();
    pending_ = false;
    changed_.notify_all();
  }
}

}  // namespace sw
