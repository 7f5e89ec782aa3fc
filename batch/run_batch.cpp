#include "batch/run_batch.h"

#include <sys/stat.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "codec/encoding_names.h"
#include "codec/read_file.h"
#include "codec/write_file.h"
#include "discovery/search_files.h"
#include "platform/message_queue.h"
#include "platform/paths.h"

namespace txtenc {
namespace {

constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kGbk = "GBK";

std::string NotChangedEntry(const std::string& reason, const std::string& path) {
  return "未修改编码【" + reason + "】：" + path;
}

std::string NotChangedEntry(const std::string& detected, const std::string& target,
                            const std::string& why, const std::string& path) {
  return "未修改编码【" + detected + " >> " + target + "】（" + why + "）：" + path;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Decides one file and, unless told not to, rewrites it; returns its log entry, or
// nothing when the stop came before the write.
std::optional<std::string> HandleFile(const std::string& path, const std::string& folderReal,
                                      const std::string& target, const std::atomic<bool>& stop,
                                      bool dryRun) {
  // A link may point anywhere; the run never writes outside the chosen folder.
  if (IsLink(path) && !platform::IsWithin(platform::RealPath(path), folderReal)) {
    return NotChangedEntry("链接指向文件目录之外", path);
  }
  const TextFile file = ReadTextFile(path);
  if (file.outcome == ReadOutcome::kMissing || file.outcome == ReadOutcome::kUnreadable) {
    return NotChangedEntry("文件无法读取", path);
  }
  const std::string& detected = file.encodingName;
  if (detected == target) return UnchangedEntry(detected, target, path);
  if (file.cutAtNul) return NotChangedEntry(detected, target, "内容含有空字符", path);
  const EncodedFile encoded = EncodeForFileChecked(file.text, DefaultEncodingName(), target.c_str());
  if (!file.lossless || !encoded.lossless) {
    return NotChangedEntry(detected, target, "转换会丢失字符", path);
  }
  if (!dryRun) {
    if (stop.load()) return std::nullopt;
    if (!WriteFileBytes(path, encoded.bytes, &file.identity)) {
      return NotChangedEntry(detected, target, "写入失败", path);
    }
  }
  return ChangedEntry(detected, target, path);
}

bool QuitIsNext() {
  platform::Message head;
  return platform::CurrentThreadQueue()->Peek(&head, false) && head.id == platform::kQuitMessage;
}

}  // namespace

std::string ChangedEntry(const std::string& detected, const std::string& target,
                         const std::string& path) {
  return "已修改编码【" + detected + " >> " + target + "】：" + path;
}

std::string UnchangedEntry(const std::string& detected, const std::string& target,
                           const std::string& path) {
  return "无需修改编码【" + detected + " = " + target + "】：" + path;
}

void RunBatch(RunWindow& window, const std::atomic<bool>& stop, const BatchOptions& options) {
  const std::string folder = window.ReadFolderText();
  if (folder.empty()) {
    // An empty folder text must not mean the root of the file system.
    window.AppendLog(log_text::kChooseFolder);
    return;
  }
  if (!IsFolder(folder)) {
    window.AppendLog(log_text::kNoSuchFolder + folder);
    return;
  }
  const std::string folderReal = platform::RealPath(folder);
  TextList list;
  const std::int32_t count = SearchFiles(folder, "*.txt", list, true, true, &stop);
  if (stop.load()) return;
  const std::string target = window.IsUtf8Checked() ? kUtf8 : kGbk;

  for (std::int32_t i = 0; i < count; ++i) {
    if (stop.load()) return;
    const std::string path = list[static_cast<std::size_t>(i)];
    std::optional<std::string> entry;
    try {
      entry = HandleFile(path, folderReal, target, stop, options.dryRun);
    } catch (const std::bad_alloc&) {
      entry = NotChangedEntry("文件无法读取", path);
    }
    if (!entry || stop.load()) return;
    window.AppendLog(*entry);
    if (options.progress) options.progress(static_cast<std::size_t>(i) + 1, list.size());
    if (options.pauseBetweenFiles) {
      WaitProcessingEvents(10, 0);
      ProcessEvents();
    }
  }
  if (stop.load()) return;
  window.AppendLog(log_text::kDone);
}

void ProcessEvents() {
  platform::MessageQueue& queue = *platform::CurrentThreadQueue();
  platform::Message message;
  while (queue.Peek(&message, false)) {
    if (message.id == platform::kQuitMessage) return;
    if (!queue.Peek(&message, true)) return;
    platform::TranslateMessage(message);
    platform::DispatchMessage(message);
  }
}

bool WaitProcessingEvents(std::int64_t amount, std::int32_t unit) {
  static constexpr double kFactors[] = {1.0, 1000.0, 60000.0, 3600000.0};
  const double factor = (unit >= 0 && unit <= 3) ? kFactors[unit] : 1.0;
  const double milliseconds = static_cast<double>(amount > 0 ? amount : 0) * factor;
  const auto length = std::chrono::nanoseconds(static_cast<std::int64_t>(milliseconds * 1e6));
  const auto deadline = std::chrono::steady_clock::now() + length;

  platform::MessageQueue& queue = *platform::CurrentThreadQueue();
  std::unique_ptr<platform::WaitableTimer> timer = platform::WaitableTimer::Create();
  if (!timer || !timer->Set(length)) {
    std::this_thread::sleep_until(deadline);
    return true;
  }
  for (;;) {
    const platform::WakeReason reason = platform::MsgWaitForTimer(queue, *timer);
    if (reason == platform::WakeReason::kTimer) break;
    if (reason == platform::WakeReason::kFailed) {
      std::this_thread::sleep_until(deadline);  // never wait for ever
      break;
    }
    ProcessEvents();
    if (QuitIsNext()) break;
  }
  return true;
}

}  // namespace txtenc
