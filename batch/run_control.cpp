#include "batch/run_control.h"

#include <system_error>

namespace txtenc {

RunControl::RunControl(CaptionButton& button, std::function<void(const Worker&)> run,
                       std::function<void()> onFinished)
    : button_(button), run_(std::move(run)), onFinished_(std::move(onFinished)) {}

RunControl::~RunControl() {
  StopAll();
  for (const std::shared_ptr<Worker>& worker : workers_) {
    if (worker->thread.joinable()) worker->thread.join();
  }
}

void RunControl::ToggleRun() {
  ReapFinished();
  if (button_.Caption() == kStartCaption) {
    button_.SetCaption(kStopCaption);  // before the worker exists
    slot_ = StartWorker();
  } else {
    button_.SetCaption(kStartCaption);
    if (slot_) StopWorker(*slot_);  // the slot keeps the worker
  }
}

std::shared_ptr<Worker> RunControl::StartWorker() {
  auto worker = std::make_shared<Worker>();
  // A stopped run may still be finishing the file in hand; the new run starts only
  // after it, so two runs never work on the same tree at once.
  std::shared_ptr<Worker> previous = workers_.empty() ? nullptr : workers_.back();
  try {
    worker->thread = std::thread([this, worker, previous] {
      platform::AdoptThreadQueue(worker->queue);
      if (previous) previous->finished.wait(false);
      if (!worker->stop.load()) run_(*worker);
      worker->finished.store(true);
      worker->finished.notify_all();
      if (onFinished_) onFinished_();
    });
  } catch (const std::system_error&) {
    return nullptr;  // no thread, no run; the next click resets the caption
  }
  workers_.push_back(worker);
  return worker;
}

void RunControl::StopWorker(Worker& worker) {
  if (worker.finished.load()) return;
  worker.stop.store(true);
  worker.queue->PostQuit();  // wakes it from its pause between files
}

void RunControl::StopAll() {
  for (const std::shared_ptr<Worker>& worker : workers_) StopWorker(*worker);
}

bool RunControl::AnyRunning() const {
  for (const std::shared_ptr<Worker>& worker : workers_) {
    if (!worker->finished.load()) return true;
  }
  return false;
}

void RunControl::ReapFinished() {
  // Keep the last worker (a new one waits for it); join the others that ended.
  for (std::size_t i = 0; i + 1 < workers_.size();) {
    if (workers_[i]->finished.load()) {
      if (workers_[i]->thread.joinable()) workers_[i]->thread.join();
      workers_.erase(workers_.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

}  // namespace txtenc
