// Starting and stopping the worker thread that runs the job loop.
//
// Stopping is cooperative: stopWorker marks the current run stopped and returns at once; the
// window then refuses the run's operations and the worker unwinds at its next chunk or
// operation, releasing what it holds. No thread is ever killed. A new run's thread first waits
// for the previous worker to finish unwinding, so runs never overlap in the VerifyJob, while the
// caller (the window thread) never waits for a worker.
//
// All members are called from one thread (the window thread).
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/stop_mark.h"
#include "engine/verify_job.h"
#include "engine/window_ops.h"

namespace sw {

class WorkerControl {
 public:
  // Makes the window operations of one run; they must refuse everything once stop is set.
  using WindowFactory =
      std::function<std::unique_ptr<WindowOps>(std::shared_ptr<const StopMark> stop)>;

  WorkerControl(VerifyJob& job, WindowFactory windowFor);
  // Gives the last worker a short while to end, then leaves it (see waitForEnd).
  ~WorkerControl();
  WorkerControl(const WorkerControl&) = delete;
  WorkerControl& operator=(const WorkerControl&) = delete;

  // Starts a run over fileList on a thread of its own and returns at once; false when the
  // thread could not be created (no run then takes place).
  bool startWorker(std::vector<Text> fileList);

  // Marks the last run stopped; returns at once. Nothing happens when no run is going on.
  void stopWorker();

  // True while the last run started has neither finished nor been stopped.
  bool running() const;

  // Waits at most limit for the last worker to end; true when it has.
  bool waitForEnd(std::chrono::milliseconds limit);

 private:
  struct Run;
  VerifyJob& job_;
  WindowFactory windowFor_;
  std::shared_ptr<Run> last_;
};

}  // namespace sw
