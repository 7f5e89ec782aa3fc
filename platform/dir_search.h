#pragma once
// Enumerating one folder's entries that match a wildcard pattern, one at a time,
// in a stable order: names compared without ASCII case, then byte for byte.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace txtenc::platform {

enum class EntryKind {
  kFile,    // a regular file, or a link to one
  kFolder,  // a folder, or a link to one
  kOther,   // FIFO, socket, device, dangling link, or not reachable
};

struct FindData {
  std::string name;  // the bare name, as the file system spells it
  EntryKind kind = EntryKind::kOther;
  bool isLink = false;  // the entry itself is a symbolic link
};

// "*" matches any run of characters, "?" exactly one character (a whole UTF-8
// sequence); ASCII letters match without case. A pattern ending in ".*" also matches
// a name with nothing there, so "*.*" matches every name, as users expect of it.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// One enumeration at a time. FindFirst takes "folder/pattern"; a pattern that is
// empty (the text ends in "/") matches nothing. "." and ".." are delivered like any
// other entry that matches.
class DirSearch {
 public:
  // Starts a new enumeration (closing any open one); false when nothing matches or
  // the folder cannot be read.
  bool FindFirst(const std::string& searchPattern, FindData* data);
  // The next matching entry; false when there are no more.
  bool FindNext(FindData* data);
  void Close();
  bool IsOpen() const { return open_; }

 private:
  std::vector<FindData> entries_;
  std::size_t next_ = 0;
  bool open_ = false;
};

}  // namespace txtenc::platform
