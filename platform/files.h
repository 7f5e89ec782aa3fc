#pragma once
// File access for the codec: reading a regular file whole, and replacing a file's
// contents all or nothing. Paths are the platform's narrow file names, unchanged.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace txtenc::platform {

// What identifies the file a reader saw, so that a later replacement can tell whether
// somebody else changed or swapped it in between.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = -1;
  std::int64_t mtimeSeconds = 0;
  std::int64_t mtimeNanoseconds = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

enum class ReadStatus {
  kOk,          // bytes hold the whole file (at least one byte)
  kEmpty,       // a regular file of length 0
  kMissing,     // nothing by that name (any more)
  kNotRegular,  // a folder, FIFO, socket or device: never opened
  kUnreadable,  // exists but cannot be opened or read in full, or is 4 GiB or more
};

struct FileRead {
  ReadStatus status = ReadStatus::kMissing;
  std::string bytes;
  FileIdentity identity;  // of the file that was read (kOk and kEmpty)
};

// Reads a regular file whole. Opens nothing but regular files, never blocks on a FIFO.
[[nodiscard]] FileRead ReadRegularFile(const std::string& path);

// True when the path names an existing file or folder (links followed).
[[nodiscard]] bool PathExists(const std::string& path);

// Gives the file at `path` exactly `bytes` as its new contents, all or nothing:
// the bytes go to a new temporary file in the same folder (mode 0600, a name that
// never ends in ".txt"), which receives the file's permission bits, owner, group and
// extended attributes (ACLs included), is flushed to disk and renamed over the file;
// then the folder is flushed. A symbolic link stays a link: its target is replaced.
// Returns false, leaving the old file byte for byte and no temporary file behind,
// when: the file is not a regular file; its mode bits grant no write permission (even
// to root); its owner or attributes cannot be carried over; `expected` is given and
// the file is no longer that one (or it changed while being replaced); or any write,
// flush or rename fails. A path that names nothing is created (mode 0666 less the
// umask) only if nothing appears there meanwhile; its folder must exist.
[[nodiscard]] bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                                       const FileIdentity* expected = nullptr);

// Test seam: called after the temporary file is complete and just before the rename,
// with the temporary's path; returning false makes the replacement fail there.
void SetBeforeReplaceHookForTesting(std::function<bool(const std::string& tempPath)> hook);

}  // namespace txtenc::platform
