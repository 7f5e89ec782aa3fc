#include "discovery/search_files.h"

#include <sys/stat.h>

#include <limits>
#include <utility>

#include "platform/dir_search.h"
#include "platform/message_queue.h"
#include "platform/paths.h"

namespace txtenc {
namespace {

struct FolderId {
  std::uint64_t device;
  std::uint64_t inode;
  bool operator==(const FolderId&) const = default;
};

struct Walk {
  std::vector<std::string> items;
  bool fullPaths = false;
  bool recurse = false;
  const std::atomic<bool>* stop = nullptr;
  std::string startReal;          // the real path of the folder the search started from
  std::vector<FolderId> onPath;   // the folders from the start down to the current one
};

bool Stopped(const Walk& walk) { return walk.stop != nullptr && walk.stop->load(); }

bool IdOf(const std::string& path, FolderId* id) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  *id = FolderId{st.st_dev, st.st_ino};
  return true;
}

void SearchLevel(const std::string& folder, std::vector<std::string>& list, Walk& walk) {
  std::string working = folder;
  if (working.empty() || working.back() != '/') working += '/';

  platform::DirSearch search;
  platform::FindData data;
  for (const std::string& item : walk.items) {
    for (bool more = search.FindFirst(working + item, &data); more; more = search.FindNext(&data)) {
      if (Stopped(walk)) return;
      if (data.kind != platform::EntryKind::kFile) continue;
      list.push_back(walk.fullPaths ? working + data.name : data.name);
      PumpPendingMessages();
    }
    search.Close();
  }
  if (!walk.recurse) return;

  for (bool more = search.FindFirst(working + "*.*", &data); more; more = search.FindNext(&data)) {
    if (Stopped(walk)) return;
    if (data.kind != platform::EntryKind::kFolder || data.name == "." || data.name == "..") continue;
    const std::string child = working + data.name;
    FolderId id{};
    if (!IdOf(child, &id)) continue;
    bool loops = false;
    for (const FolderId& seen : walk.onPath) loops = loops || seen == id;
    if (loops) continue;  // reached again through a link: its tree is being listed already
    if (data.isLink && !platform::IsWithin(platform::RealPath(child), walk.startReal)) continue;
    walk.onPath.push_back(id);
    SearchLevel(child, list, walk);
    walk.onPath.pop_back();
    PumpPendingMessages();
  }
}

std::int32_t CountOf(const std::vector<std::string>& list) {
  constexpr std::size_t kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
  return static_cast<std::int32_t>(list.size() < kMax ? list.size() : kMax);
}

}  // namespace

std::vector<std::string> SplitPatterns(const std::string& patterns) {
  std::vector<std::string> items;
  std::string current;
  for (char c : patterns) {
    if (c == '|') {
      items.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) items.push_back(std::move(current));
  return items;
}

std::int32_t SearchFiles(const std::string& folder, const std::string& patterns, TextList& list,
                         bool fullPaths, bool recurse, const std::atomic<bool>* stop) {
  if (!recurse) list.clear();
  if (folder.empty()) return CountOf(list);
  Walk walk;
  walk.items = SplitPatterns(patterns);
  walk.fullPaths = fullPaths;
  walk.recurse = recurse;
  walk.stop = stop;
  walk.startReal = platform::RealPath(folder);
  FolderId start{};
  if (walk.startReal.empty() || !IdOf(folder, &start)) return CountOf(list);
  walk.onPath.push_back(start);
  SearchLevel(folder, list, walk);
  return CountOf(list);
}

void PumpPendingMessages() {
  platform::MessageQueue& queue = *platform::CurrentThreadQueue();
  platform::Message message;
  while (queue.Peek(&message, true)) {
    platform::TranslateMessage(message);
    platform::DispatchMessage(message);
  }
}

}  // namespace txtenc
