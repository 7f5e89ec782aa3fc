#include "platform/message_queue.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>

namespace txtenc::platform {

MessageQueue::MessageQueue() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

MessageQueue::~MessageQueue() {
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void MessageQueue::Post(Message message) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(std::move(message));
  }
  if (wakeFd_ >= 0) {
    const std::uint64_t one = 1;
    // A full counter still wakes the reader; nothing to do on failure.
    [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
  }
}

bool MessageQueue::Peek(Message* out, bool remove) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (messages_.empty()) return false;
  if (remove) {
    *out = std::move(messages_.front());
    messages_.pop_front();
  } else {
    *out = messages_.front();
  }
  return true;
}

void MessageQueue::ConsumeWake() {
  if (wakeFd_ < 0) return;
  std::uint64_t count = 0;
  [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
}

namespace {

std::shared_ptr<MessageQueue>& ThreadQueueSlot() {
  thread_local std::shared_ptr<MessageQueue> queue;
  return queue;
}

}  // namespace

std::shared_ptr<MessageQueue> CurrentThreadQueue() {
  std::shared_ptr<MessageQueue>& slot = ThreadQueueSlot();
  if (!slot) slot = std::make_shared<MessageQueue>();
  return slot;
}

void AdoptThreadQueue(std::shared_ptr<MessageQueue> queue) { ThreadQueueSlot() = std::move(queue); }

void TranslateMessage(const Message&) {}

void DispatchMessage(const Message& message) {
  if (message.handler) message.handler();
}

std::unique_ptr<WaitableTimer> WaitableTimer::Create() {
  const int fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  if (fd < 0) return nullptr;
  return std::unique_ptr<WaitableTimer>(new WaitableTimer(fd));
}

WaitableTimer::~WaitableTimer() { ::close(fd_); }

bool WaitableTimer::Set(std::chrono::nanoseconds dueIn) {
  // A due time of zero would disarm the timer: make it fire at once instead.
  const long long ns = dueIn.count() > 0 ? dueIn.count() : 1;
  itimerspec due{};
  due.it_value.tv_sec = static_cast<time_t>(ns / 1000000000LL);
  due.it_value.tv_nsec = static_cast<long>(ns % 1000000000LL);
  return ::timerfd_settime(fd_, 0, &due, nullptr) == 0;
}

WakeReason MsgWaitForTimer(MessageQueue& queue, WaitableTimer& timer) {
  if (queue.WakeDescriptor() < 0) return WakeReason::kFailed;
  pollfd fds[2] = {{timer.Descriptor(), POLLIN, 0}, {queue.WakeDescriptor(), POLLIN, 0}};
  for (;;) {
    const int n = ::poll(fds, 2, -1);
    if (n < 0) {
      if (errno == EINTR) continue;
      return WakeReason::kFailed;
    }
    if (fds[0].revents & POLLIN) {
      std::uint64_t expirations = 0;
      [[maybe_unused]] const ssize_t r = ::read(timer.Descriptor(), &expirations, sizeof expirations);
      return WakeReason::kTimer;
    }
    if (fds[1].revents & POLLIN) {
      queue.ConsumeWake();
      return WakeReason::kMessage;
    }
    if ((fds[0].revents | fds[1].revents) & (POLLERR | POLLNVAL)) return WakeReason::kFailed;
  }
}

}  // namespace txtenc::platform
