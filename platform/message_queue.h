#pragma once
// A per-thread message queue: other threads post, the owning thread peeks,
// translates and dispatches, and may wait for a message or a timer, whichever comes
// first. Dispatching a message runs its handler on the owning thread.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace txtenc::platform {

// The message that asks a thread to finish.
inline constexpr int kQuitMessage = 0x0012;

struct Message {
  int id = 0;
  std::function<void()> handler;  // run by DispatchMessage; may be empty
};

class MessageQueue {
 public:
  MessageQueue();
  ~MessageQueue();
  MessageQueue(const MessageQueue&) = delete;
  MessageQueue& operator=(const MessageQueue&) = delete;

  // Any thread.
  void Post(Message message);
  void PostQuit() { Post(Message{kQuitMessage, {}}); }

  // The owning thread. Never waits. With `remove` false the head stays in the queue
  // (`out` receives a copy).
  bool Peek(Message* out, bool remove);

  // The descriptor that becomes readable when a message is posted (-1 if none could
  // be made; waits then fall back to sleeping).
  int WakeDescriptor() const { return wakeFd_; }
  // Clears the wake-up state after a wait saw it.
  void ConsumeWake();

 private:
  std::mutex mutex_;
  std::deque<Message> messages_;
  int wakeFd_ = -1;
};

// The calling thread's queue, made on first use and kept for the thread's lifetime.
// The shared pointer lets other threads post to it.
std::shared_ptr<MessageQueue> CurrentThreadQueue();

// Kept for the shape of a message loop; there is nothing to translate here.
void TranslateMessage(const Message& message);
// Runs the message's handler, if it has one.
void DispatchMessage(const Message& message);

// A one-shot relative timer.
class WaitableTimer {
 public:
  // Null when the timer cannot be made.
  static std::unique_ptr<WaitableTimer> Create();
  ~WaitableTimer();
  WaitableTimer(const WaitableTimer&) = delete;
  WaitableTimer& operator=(const WaitableTimer&) = delete;
  bool Set(std::chrono::nanoseconds dueIn);
  int Descriptor() const { return fd_; }

 private:
  explicit WaitableTimer(int fd) : fd_(fd) {}
  int fd_;
};

enum class WakeReason { kTimer, kMessage, kFailed };

// Waits until the timer fires or a message is posted to `queue` after the last wait.
WakeReason MsgWaitForTimer(MessageQueue& queue, WaitableTimer& timer);

}  // namespace txtenc::platform

namespace txtenc::platform {

// Makes `queue` the calling thread's queue (before its first use), so that a thread
// starting another can hold the new thread's queue from the very beginning.
void AdoptThreadQueue(std::shared_ptr<MessageQueue> queue);

}  // namespace txtenc::platform
