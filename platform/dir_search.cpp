#include "platform/dir_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

namespace txtenc::platform {
namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Length of the UTF-8 character starting at `s[0]` (1 for ASCII and stray bytes).
std::size_t CharLength(std::string_view s) {
  const auto lead = static_cast<unsigned char>(s[0]);
  std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  n = std::min(n, s.size());
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return i;
  }
  return n;
}

bool Match(std::string_view p, std::string_view n) {
  while (!p.empty()) {
    if (p == ".*" && n.empty()) return true;
    if (p[0] == '*') {
      p.remove_prefix(1);
      // Try every split point that starts a character.
      for (std::size_t i = 0;;) {
        if (Match(p, n.substr(i))) return true;
        if (i >= n.size()) return false;
        i += CharLength(n.substr(i));
      }
    }
    if (n.empty()) return false;
    if (p[0] == '?') {
      p.remove_prefix(1);
      n.remove_prefix(CharLength(n));
      continue;
    }
    if (FoldAscii(p[0]) != FoldAscii(n[0])) return false;
    p.remove_prefix(1);
    n.remove_prefix(1);
  }
  return n.empty();
}

bool NameOrder(const FindData& a, const FindData& b) {
  const std::string_view x = a.name;
  const std::string_view y = b.name;
  const auto folded = std::mismatch(x.begin(), x.end(), y.begin(), y.end(),
                                    [](char c, char d) { return FoldAscii(c) == FoldAscii(d); });
  if (folded.first != x.end() && folded.second != y.end()) {
    return static_cast<unsigned char>(FoldAscii(*folded.first)) <
           static_cast<unsigned char>(FoldAscii(*folded.second));
  }
  if (x.size() != y.size()) return x.size() < y.size();
  return x < y;  // the same but for case: byte order keeps it stable
}

EntryKind KindOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(st.st_mode)) return EntryKind::kFolder;
  return EntryKind::kOther;
}

}  // namespace

bool MatchesWildcard(std::string_view pattern, std::string_view name) { return Match(pattern, name); }

bool DirSearch::FindFirst(const std::string& searchPattern, FindData* data) {
  Close();
  const std::size_t slash = searchPattern.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : searchPattern.substr(0, slash + 1);
  const std::string pattern = slash == std::string::npos ? searchPattern : searchPattern.substr(slash + 1);
  if (pattern.empty()) return false;

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return false;
  const int dirFd = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    FindData found;
    found.name = entry->d_name;
    if (!MatchesWildcard(pattern, found.name)) continue;
    // The entry's type usually comes with its name; only links and file systems
    // that do not say need a look at the inode.
    if (entry->d_type == DT_REG) {
      found.kind = EntryKind::kFile;
    } else if (entry->d_type == DT_DIR) {
      found.kind = EntryKind::kFolder;
    } else if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) {
      found.kind = EntryKind::kOther;
    } else {
      struct stat st {};
      if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) {
        found.isLink = true;
        found.kind = ::fstatat(dirFd, entry->d_name, &st, 0) == 0 ? KindOf(st) : EntryKind::kOther;
      } else {
        found.kind = KindOf(st);
      }
    }
    entries_.push_back(std::move(found));
  }
  ::closedir(dir);
  std::sort(entries_.begin(), entries_.end(), NameOrder);
  open_ = true;
  return FindNext(data);
}

bool DirSearch::FindNext(FindData* data) {
  if (!open_ || next_ >= entries_.size()) return false;
  *data = entries_[next_++];
  return true;
}

void DirSearch::Close() {
  entries_.clear();
  next_ = 0;
  open_ = false;
}

}  // namespace txtenc::platform
