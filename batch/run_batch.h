#pragma once
// One conversion run over a folder tree: list every "*.txt" at any depth, then for
// each file read and detect, compare the detected name with the target byte for
// byte, rewrite when they differ and it is safe, append one log entry, pause.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "batch/run_window.h"

namespace txtenc {

// The log's own texts.
namespace log_text {
inline constexpr const char* kDone = "修改完毕";
inline constexpr const char* kChooseFolder = "请先选择文件目录";
inline constexpr const char* kNoSuchFolder = "文件目录不存在：";
}  // namespace log_text

struct BatchOptions {
  // The 10 ms pause between files keeps a window responsive; a terminal needs none.
  bool pauseBetweenFiles = true;
  // Decide and log exactly as a real run would, but write nothing.
  bool dryRun = false;
  // Called after each file's entry with the files done and the total.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

// Runs one batch on the calling thread. `stop` is the run's stop request: it is
// checked before every read and every write and after every pause, so once it is
// set no further file is touched; the file in hand is either completely rewritten
// or left as it was.
void RunBatch(RunWindow& window, const std::atomic<bool>& stop, const BatchOptions& options = {});

// The log entry texts, exactly as a run appends them.
std::string ChangedEntry(const std::string& detected, const std::string& target,
                         const std::string& path);
std::string UnchangedEntry(const std::string& detected, const std::string& target,
                           const std::string& path);

// Handles the messages waiting in the calling thread's queue, returning when it is
// empty or a quit message is next (which stays in the queue). Never waits.
void ProcessEvents();

// Waits `amount` units (unit 0: milliseconds, 1: seconds, 2: minutes, 3: hours)
// while handling the calling thread's messages. Returns early when a quit message
// is next in the queue. When no timer can be had or the wait fails, sleeps out the
// rest of the time instead. Returns true.
bool WaitProcessingEvents(std::int64_t amount, std::int32_t unit);

}  // namespace txtenc
