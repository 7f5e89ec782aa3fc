#pragma once
// One button starts and stops a run. Its caption is the run state: "批量修改" starts
// a run on a new worker thread and shows "停止"; any other caption is set back to
// "批量修改" and stops the run started last. A run that ends by itself leaves "停止",
// so the next click only resets it. Everything here runs on the window's thread and
// returns at once.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_queue.h"

namespace txtenc {

inline constexpr const char* kStartCaption = "批量修改";
inline constexpr const char* kStopCaption = "停止";

// The start/stop button as the run control sees it.
class CaptionButton {
 public:
  virtual ~CaptionButton() = default;
  virtual std::string Caption() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
};

// One worker thread and its run's stop request.
struct Worker {
  std::atomic<bool> stop{false};
  std::atomic<bool> finished{false};
  std::shared_ptr<platform::MessageQueue> queue = std::make_shared<platform::MessageQueue>();
  std::thread thread;
};

class RunControl {
 public:
  // `run` is the body a worker runs (RunBatch with the window's operations); it gets
  // the worker's stop request. `onFinished`, if given, is called on the worker thread
  // as it ends (the window uses it to wake its own loop).
  RunControl(CaptionButton& button, std::function<void(const Worker&)> run,
             std::function<void()> onFinished = {});
  ~RunControl();  // stops every worker and waits for it: call WaitForWorkers first
  RunControl(const RunControl&) = delete;
  RunControl& operator=(const RunControl&) = delete;

  // The click handler.
  void ToggleRun();

  // The worker started last, or null.
  std::shared_ptr<Worker> CurrentWorker() const { return slot_; }
  // Asks every worker to stop; returns at once.
  void StopAll();
  // True while any worker started here has not ended.
  bool AnyRunning() const;

 private:
  std::shared_ptr<Worker> StartWorker();
  static void StopWorker(Worker& worker);
  void ReapFinished();

  CaptionButton& button_;
  std::function<void(const Worker&)> run_;
  std::function<void()> onFinished_;
  std::shared_ptr<Worker> slot_;
  std::vector<std::shared_ptr<Worker>> workers_;
};

}  // namespace txtenc
