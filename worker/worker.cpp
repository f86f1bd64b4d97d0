#include "worker/worker.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <system_error>

namespace sw {

struct WorkerControl::Run {
  std::shared_ptr<StopMark> stop = std::make_shared<StopMark>();
  std::thread thread;
  // Read by the window thread without a lock (running()); the mutex only pairs the condition
  // variable with it for waitForEnd().
  std::atomic<bool> finished{false};
  std::mutex mutex;
  std::condition_variable ended;

  void markFinished() {
    std::lock_guard<std::mutex> lock(mutex);
    finished.store(true);
    ended.notify_all();
  }
  bool isFinished() const { return finished.load(); }
};

WorkerControl::WorkerControl(VerifyJob& job, WindowFactory windowFor)
    : job_(job), windowFor_(std::move(windowFor)) {}

WorkerControl::~WorkerControl() {
  if (!last_) return;
  stopWorker();
  if (waitForEnd(std::chrono::milliseconds(2000))) {
    last_->thread.join();
  } else {
    // A worker that does not end in time is left to the process's end; it holds nothing that
    // outlives it but the run it shares with us.
    last_->thread.detach();
  }
}

bool WorkerControl::startWorker(std::vector<Text> fileList) {
  auto run = std::make_shared<Run>();
  std::unique_ptr<WindowOps> window = windowFor_(run->stop);
  std::shared_ptr<Run> previous = last_;
  VerifyJob* job = &job_;
  auto body = [run, previous, job, list = std::move(fileList),
               window = std::shared_ptr<WindowOps>(std::move(window))]() mutable {
    // The previous worker, stopped or finished, is at most one chunk or operation from its end.
    if (previous) previous->thread.join();
    previous.reset();
    job->fileList = std::move(list);
    runVerifyJob(*job, *window, *run->stop);
    window.reset();
    run->markFinished();
  };
  try {
    run->thread = std::thread(std::move(body));
  } catch (const std::system_error&) {
    return false;  // the previous run stays the last one, to be joined later
  }
  last_ = std::move(run);
  return true;
}

void WorkerControl::stopWorker() {
  if (last_) last_->stop->stop();
}

bool WorkerControl::running() const {
  return last_ && !last_->stop->stopped() && !last_->isFinished();
}

bool WorkerControl::waitForEnd(std::chrono::milliseconds limit) {
  if (!last_) return true;
  std::unique_lock<std::mutex> lock(last_->mutex);
  return last_->ended.wait_for(lock, limit, [this] { return last_->isFinished(); });
}

}  // namespace sw
