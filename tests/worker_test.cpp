#include "worker/worker.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/labels.h"
#include "tests/test_support.h"

namespace sw {
namespace {

using namespace std::chrono_literals;

// What the windows of several runs did, in one order, and a gate that can hold a run at a
// chosen operation.
struct Journal {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> entries;  // "run:op"
  Text report;
  int holdRun = -1;      // the run to hold ...
  size_t holdAtOp = 0;   // ... before this operation of its own
  bool holding = false;  // a run is held now
  bool released = false;
};

class JournalWindow : public WindowOps {
 public:
  JournalWindow(Journal& journal, int run, std::shared_ptr<const StopMark> stop)
      : journal_(journal), run_(run), stop_(std::move(stop)) {}
  void appendReport(const Text& text) override {
    if (step("append")) append(text);
  }
  void setButtonEnabled(Button, bool) override { step("enable"); }
  void setBarPosition(Bar, int32_t) override { step("bar"); }
  bool isChecked(OptionBox) override {
    step("ask");
    return true;
  }
  void setCaption(const Text&) override { step("caption"); }
  void setTimerPeriod(int32_t) override { step("timer"); }

 private:
  // Like the real window: a stopped run's operations are refused without effect.
  bool step(const char* op) {
    std::unique_lock<std::mutex> lock(journal_.mutex);
    if (run_ == journal_.holdRun && ops_ == journal_.holdAtOp) {
      journal_.holding = true;
      journal_.changed.notify_all();
      journal_.changed.wait(lock, [this] { return journal_.released; });
      journal_.holding = false;
    }
    ++ops_;
    if (stop_->stopped()) return false;
    journal_.entries.push_back(std::to_string(run_) + ":" + op);
    return true;
  }
  void append(const Text& text) {
    std::lock_guard<std::mutex> lock(journal_.mutex);
    journal_.report += text;
  }

  Journal& journal_;
  int run_;
  size_t ops_ = 0;
  std::shared_ptr<const StopMark> stop_;
};

class WorkerTest : public testing::Test {
 protected:
  WorkerTest()
      : worker(job, [this](std::shared_ptr<const StopMark> stop) {
          return std::make_unique<JournalWindow>(journal, runs++, std::move(stop));
        }) {}

  void waitUntilHeld() {
    std::unique_lock<std::mutex> lock(journal.mutex);
    ASSERT_TRUE(journal.changed.wait_for(lock, 10s, [this] { return journal.holding; }));
  }
  void release() {
    std::lock_guard<std::mutex> lock(journal.mutex);
    journal.released = true;
    journal.changed.notify_all();
  }

  test::TempDir dir;
  Journal journal;
  VerifyJob job;
  int runs = 0;
  WorkerControl worker;
};

TEST_F(WorkerTest, RunsTheJobOnAThreadOfItsOwn) {
  EXPECT_FALSE(worker.running());
  const Text path = dir.write("a", "123456789");
  ASSERT_TRUE(worker.startWorker({path, path}));
  ASSERT_TRUE(worker.waitForEnd(10s));
  EXPECT_FALSE(worker.running());
  EXPECT_EQ(job.verifiedTotal, 2);
  EXPECT_EQ(job.fileList, (std::vector<Text>{path, path}));
  EXPECT_NE(journal.report.find("CBF43926"), Text::npos);
  worker.stopWorker();  // after the end: nothing happens
  EXPECT_EQ(job.verifiedTotal, 2);
}

// Stop returns at once, even while the worker is held inside a window operation; from then on
// the run does nothing more, and a new run starts only after the stopped one has unwound.
TEST_F(WorkerTest, StopIsImmediateAndRunsNeverOverlap) {
  const Text path = dir.write("a", "123456789");
  journal.holdRun = 0;
  journal.holdAtOp = 8;  // inside the first entry
  ASSERT_TRUE(worker.startWorker({path, path, path}));
  waitUntilHeld();
  EXPECT_TRUE(worker.running());
  worker.stopWorker();
  EXPECT_FALSE(worker.running());
  ASSERT_TRUE(worker.startWorker({path}));
  EXPECT_FALSE(worker.waitForEnd(50ms)) << "the new run went ahead of the stopped one";
  release();
  ASSERT_TRUE(worker.waitForEnd(10s));

  size_t firstOfSecond = journal.entries.size();
  for (size_t i = 0; i < journal.entries.size(); ++i) {
    if (journal.entries[i][0] == '1' && firstOfSecond == journal.entries.size()) firstOfSecond = i;
    if (i > firstOfSecond) {
      EXPECT_EQ(journal.entries[i][0], '1') << "the stopped run acted after the new one began";
    }
  }
  EXPECT_EQ(firstOfSecond, 8u) << "the stopped run acted after its stop";
  EXPECT_EQ(job.verifiedTotal, 1) << "a stopped run is not counted";
  EXPECT_EQ(job.fileList, std::vector<Text>{path});
}

TEST_F(WorkerTest, GoingAwayStopsARunningWorker) {
  const Text path = dir.write("a", "x");
  journal.holdRun = 0;
  journal.holdAtOp = 3;
  std::thread releaser;
  {
    VerifyJob localJob;
    WorkerControl local(localJob, [this](std::shared_ptr<const StopMark> stop) {
      return std::make_unique<JournalWindow>(journal, 0, std::move(stop));
    });
    ASSERT_TRUE(local.startWorker({path}));
    waitUntilHeld();
    // The worker is let go only while the control is going away.
    releaser = std::thread([this] {
      std::this_thread::sleep_for(100ms);
      release();
    });
  }  // stops the run, then waits a short while for the worker to end
  releaser.join();
  EXPECT_EQ(journal.entries.size(), 3u);
}

}  // namespace
}  // namespace sw
