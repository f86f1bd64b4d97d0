// A thread that runs one task at a time for the worker: the worker hands it a task, does its
// own share meanwhile, then waits for the task to be done. One per run, reused for every file.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace sw {

class HelperThread {
 public:
  // Throws std::system_error when the thread cannot be created.
  HelperThread();
  ~HelperThread();
  HelperThread(const HelperThread&) = delete;
  HelperThread& operator=(const HelperThread&) = delete;

  // Hands a task to the thread; the previous one must have been waited for. The task is called
  // with context on the helper thread.
  void start(void (*task)(void*), void* context);
  // Waits until the task handed over last is done.
  void wait();

 private:
  void loop();

  std::mutex mutex_;
  std::condition_variable changed_;
  void (*task_)(void*) = nullptr;
  void* context_ = nullptr;
  bool pending_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace sw
