#include "batch/run_control.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "batch/run_batch.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"

namespace txtenc {
namespace {

using namespace txtenc::testing;

// Stands in for the window's thread: the caption, the log and the click are all
// behind one lock, so a click and an append take effect in one order, and an
// append from a stopped run is dropped, as the window does.
class FakeWindowSide : public CaptionButton {
 public:
  std::string Caption() override { return caption_; }
  void SetCaption(const std::string& caption) override { caption_ = caption; }

  void Click(RunControl& control) {
    std::lock_guard<std::mutex> lock(mutex_);
    control.ToggleRun();
    clickedAt_ = log_.size();
  }
  void Append(const Worker& worker, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!worker.stop.load()) log_.push_back(text);
    changed_.notify_all();
  }
  std::vector<std::string> Log() {
    std::lock_guard<std::mutex> lock(mutex_);
    return log_;
  }
  std::size_t ClickedAt() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clickedAt_;
  }
  void WaitForEntries(std::size_t n) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(60), [&] { return log_.size() >= n; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string caption_ = kStartCaption;
  std::vector<std::string> log_;
  std::size_t clickedAt_ = 0;
};

class WorkerWindow : public RunWindow {
 public:
  WorkerWindow(FakeWindowSide& side, const Worker& worker, std::string folder)
      : side_(side), worker_(worker), folder_(std::move(folder)) {}
  std::string ReadFolderText() override { return folder_; }
  bool IsUtf8Checked() override { return true; }
  void AppendLog(const std::string& text) override { side_.Append(worker_, text); }

 private:
  FakeWindowSide& side_;
  const Worker& worker_;
  std::string folder_;
};

void WaitUntilIdle(RunControl& control) {
  for (int i = 0; i < 6000 && control.AnyRunning(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_FALSE(control.AnyRunning());
}

TEST(RunControl, ARunThatEndsByItselfKeepsStopAndTheNextClickOnlyResets) {
  TempTree tree;
  tree.Write("a.txt", "a");
  FakeWindowSide side;
  int runs = 0;
  RunControl control(side, [&](const Worker& worker) {
    ++runs;
    WorkerWindow window(side, worker, tree.root());
    RunBatch(window, worker.stop);
  });
  side.Click(control);
  EXPECT_EQ(side.Caption(), kStopCaption);
  WaitUntilIdle(control);
  EXPECT_EQ(side.Caption(), kStopCaption);
  EXPECT_EQ(side.Log().back(), "修改完毕");

  side.Click(control);  // resets only
  EXPECT_EQ(side.Caption(), kStartCaption);
  WaitUntilIdle(control);
  EXPECT_EQ(runs, 1);

  side.Click(control);  // a new run, appending after the first
  WaitUntilIdle(control);
  EXPECT_EQ(runs, 2);
  const auto log = side.Log();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3], "修改完毕");
}

TEST(RunControl, AStopAppendsNothingMoreAndLeavesEveryFileWhole) {
  TempTree tree;
  constexpr int kFiles = 200;
  for (int i = 0; i < kFiles; ++i) tree.Write("f" + std::to_string(1000 + i) + ".txt", kProseGbk);
  FakeWindowSide side;
  RunControl control(side, [&](const Worker& worker) {
    WorkerWindow window(side, worker, tree.root());
    RunBatch(window, worker.stop);  // with the 10 ms pause, as the window runs it
  });
  side.Click(control);
  side.WaitForEntries(5);
  side.Click(control);
  EXPECT_EQ(side.Caption(), kStartCaption);
  WaitUntilIdle(control);

  const auto log = side.Log();
  EXPECT_EQ(log.size(), side.ClickedAt());  // nothing appended after the click
  ASSERT_LT(log.size(), static_cast<std::size_t>(kFiles));
  std::size_t converted = 0;
  for (int i = 0; i < kFiles; ++i) {
    const std::string bytes = ReadAll(tree.Path("f" + std::to_string(1000 + i) + ".txt"));
    const bool whole = bytes == Bom8(kProseUtf8) || bytes == kProseGbk;
    EXPECT_TRUE(whole) << i;
    converted += bytes == Bom8(kProseUtf8);
  }
  // Every logged file was rewritten; at most the file in hand at the click on top.
  EXPECT_GE(converted, log.size());
  EXPECT_LE(converted, log.size() + 1);
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST(RunControl, TwoQuickClicksLeaveNoCompletionLine) {
  TempTree tree;
  for (int i = 0; i < 50; ++i) tree.Write("f" + std::to_string(i) + ".txt", "x");
  FakeWindowSide side;
  RunControl control(side, [&](const Worker& worker) {
    WorkerWindow window(side, worker, tree.root());
    RunBatch(window, worker.stop);
  });
  side.Click(control);
  side.Click(control);
  WaitUntilIdle(control);
  for (const std::string& entry : side.Log()) EXPECT_NE(entry, "修改完毕");
  EXPECT_EQ(side.Caption(), kStartCaption);
}

}  // namespace
}  // namespace txtenc
