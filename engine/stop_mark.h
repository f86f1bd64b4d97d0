// The mark that stops one run. Set by the window thread (Stop, or the window being destroyed),
// read by the run's worker at each chunk and after each window operation, and by the window
// thread before it carries out one of the run's operations.
#pragma once

#include <atomic>

namespace sw {

class StopMark {
 public:
  void stop() { stopped_.store(true, std::memory_order_release); }
  bool stopped() const { return stopped_.load(std::memory_order_acquire); }

 private:
  std::atomic<bool> stopped_{false};
};

}  // namespace sw
