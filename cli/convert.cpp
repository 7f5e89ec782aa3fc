#include "cli/convert.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "batch/run_batch.h"
#include "platform/message_queue.h"

namespace txtenc::cli {
namespace {

// The terminal as the run's window. The run works on its own thread; every append
// is handed to the main thread, which also takes the signals, so a stop and the
// appends take effect in one order: after Ctrl-C nothing more is printed.
class TerminalWindow : public RunWindow {
 public:
  TerminalWindow(const ConvertConfig& config, std::shared_ptr<platform::MessageQueue> mainQueue,
                 const std::atomic<bool>& stopped)
      : config_(config), mainQueue_(std::move(mainQueue)), stopped_(stopped) {}

  std::string ReadFolderText() override { return config_.folder; }
  bool IsUtf8Checked() override { return config_.toUtf8; }

  void AppendLog(const std::string& text) override {
    std::promise<void> done;
    std::future<void> handled = done.get_future();
    mainQueue_->Post(platform::Message{1, [this, &text, &done] {
                                         if (!stopped_.load()) {
                                           std::fputs(text.c_str(), stdout);
                                           std::fputc('\n', stdout);
                                           std::fflush(stdout);
                                         }
                                         done.set_value();
                                       }});
    handled.wait();
  }

 private:
  const ConvertConfig& config_;
  std::shared_ptr<platform::MessageQueue> mainQueue_;
  const std::atomic<bool>& stopped_;
};

}  // namespace

int RunConvert(const ConvertConfig& config) {
  // Signals are taken by the main loop only: block them in every thread. Without a
  // signal descriptor they stay as they are, so Ctrl-C still ends the process (a
  // file in hand then keeps its old bytes; only its temporary may remain).
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
  if (signalFd >= 0) pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  if (config.dryRun) std::fputs("txtenc: dry run: no file is written\n", stderr);
  const bool showProgress = ::isatty(STDERR_FILENO) == 1;

  std::shared_ptr<platform::MessageQueue> mainQueue = platform::CurrentThreadQueue();
  std::atomic<bool> stopped{false};
  std::atomic<bool> workerStop{false};
  std::atomic<bool> finished{false};
  auto workerQueue = std::make_shared<platform::MessageQueue>();
  TerminalWindow window(config, mainQueue, stopped);

  BatchOptions options;
  options.pauseBetweenFiles = false;
  options.dryRun = config.dryRun;
  if (showProgress) {
    options.progress = [&](std::size_t done, std::size_t total) {
      mainQueue->Post(platform::Message{2, [&stopped, done, total] {
                                          if (!stopped.load()) {
                                            std::fprintf(stderr, "\r%zu/%zu", done, total);
                                          }
                                        }});
    };
  }

  std::thread worker([&] {
    platform::AdoptThreadQueue(workerQueue);
    RunBatch(window, workerStop, options);
    mainQueue->Post(platform::Message{3, [&finished] { finished.store(true); }});
  });

  pollfd fds[2] = {{signalFd, POLLIN, 0}, {mainQueue->WakeDescriptor(), POLLIN, 0}};
  while (!finished.load()) {
    if (::poll(fds, 2, 100) < 0 && errno != EINTR) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));  // keep serving the run
    }
    if (signalFd >= 0 && (fds[0].revents & POLLIN)) {
      signalfd_siginfo info{};
      [[maybe_unused]] const ssize_t n = ::read(signalFd, &info, sizeof info);
      stopped.store(true);
      workerStop.store(true);
      workerQueue->PostQuit();
    }
    mainQueue->ConsumeWake();
    platform::Message message;
    while (mainQueue->Peek(&message, true)) platform::DispatchMessage(message);
  }
  worker.join();
  if (signalFd >= 0) ::close(signalFd);
  if (showProgress && !stopped.load()) std::fputc('\n', stderr);
  return stopped.load() ? 130 : 0;
}

}  // namespace txtenc::cli
