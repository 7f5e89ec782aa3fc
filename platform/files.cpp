#include "platform/files.h"

#include "platform/paths.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <mutex>
#include <vector>

namespace txtenc::platform {
namespace {

// Files of 4 GiB and more are refused: the detector counts lengths in 32 bits.
constexpr std::int64_t kLargestReadable = 0xFFFFFFFFLL - 1;

std::mutex g_hookMutex;
std::function<bool(const std::string&)> g_beforeReplace;

FileIdentity IdentityOf(const struct stat& st) {
  FileIdentity id;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtimeSeconds = st.st_mtim.tv_sec;
  id.mtimeNanoseconds = st.st_mtim.tv_nsec;
  return id;
}

// Closes a descriptor on every path out of a scope.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and says whether the close succeeded (a failed close can mean lost data).
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadExactly(int fd, char* out, std::size_t count) {
  while (count > 0) {
    const ssize_t n = ::read(fd, out, count);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;  // the file shrank under us
    out += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

// Root passes every permission check, and a rename needs only the folder's: so the
// file's own mode bits decide whether it may be rewritten.
bool MayWrite(const std::string& path, const struct stat& st) {
  if (::geteuid() == 0) return (st.st_mode & 0222) != 0;
  return ::access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
}

// Copies every extended attribute (ACLs are among them), so that the new file grants
// nobody more than the old one did.
bool CopyExtendedAttributes(const std::string& from, int toFd) {
  ssize_t listSize = ::listxattr(from.c_str(), nullptr, 0);
  if (listSize < 0) return errno == ENOTSUP;
  if (listSize == 0) return true;
  std::vector<char> names(static_cast<std::size_t>(listSize));
  listSize = ::listxattr(from.c_str(), names.data(), names.size());
  if (listSize < 0) return false;
  for (std::size_t at = 0; at < static_cast<std::size_t>(listSize);) {
    const char* name = names.data() + at;
    const std::size_t nameLength = std::char_traits<char>::length(name);
    at += nameLength + 1;
    ssize_t valueSize = ::getxattr(from.c_str(), name, nullptr, 0);
    if (valueSize < 0) return false;
    std::vector<char> value(static_cast<std::size_t>(valueSize));
    valueSize = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (valueSize < 0) return false;
    if (::fsetxattr(toFd, name, value.data(), static_cast<std::size_t>(valueSize), 0) != 0) {
      return false;
    }
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
}

// The process's umask, read without changing it: setting it to query it would, for
// a moment, let files that other threads create get wider permissions.
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  return 077;  // unknown: the narrowest choice
}

bool RunBeforeReplaceHook(const std::string& tempPath) {
  std::function<bool(const std::string&)> hook;
  {
    std::lock_guard<std::mutex> lock(g_hookMutex);
    hook = g_beforeReplace;
  }
  return !hook || hook(tempPath);
}

}  // namespace

FileRead ReadRegularFile(const std::string& path) {
  FileRead result;
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) {
    result.status = (path.empty() || errno == ENOENT || errno == ENOTDIR) ? ReadStatus::kMissing
                                                                          : ReadStatus::kUnreadable;
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.status = ReadStatus::kNotRegular;
    return result;
  }
  // O_NONBLOCK: should the name be swapped for a FIFO after the check, the open
  // still returns at once, and the fstat below refuses it.
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) {
    result.status = errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kUnreadable;
    return result;
  }
  if (::fstat(fd.get(), &st) != 0) {
    result.status = ReadStatus::kUnreadable;
    return result;
  }
  if (!S_ISREG(st.st_mode)) {
    result.status = ReadStatus::kNotRegular;
    return result;
  }
  result.identity = IdentityOf(st);
  if (st.st_size == 0) {
    result.status = ReadStatus::kEmpty;
    return result;
  }
  if (st.st_size > kLargestReadable) {
    result.status = ReadStatus::kUnreadable;
    return result;
  }
  try {
    result.bytes.resize(static_cast<std::size_t>(st.st_size));
  } catch (const std::bad_alloc&) {
    result.status = ReadStatus::kUnreadable;
    return result;
  }
  if (!ReadExactly(fd.get(), result.bytes.data(), result.bytes.size())) {
    result.bytes.clear();
    result.status = ReadStatus::kUnreadable;
    return result;
  }
  result.status = ReadStatus::kOk;
  return result;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool ReplaceFileContents(const std::string& path, std::string_view bytes,
                         const FileIdentity* expected) {
  if (path.empty()) return false;
  struct stat linkStat {};
  bool creating = false;
  std::string target = path;
  if (::lstat(path.c_str(), &linkStat) != 0) {
    if (errno != ENOENT) return false;
    creating = true;
  } else if (S_ISLNK(linkStat.st_mode)) {
    // Replace what the link points to; the link itself stays a link.
    target = RealPath(path);
    if (target.empty()) return false;  // a dangling link: nothing to replace
  }

  struct stat before {};
  if (!creating) {
    if (::stat(target.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return false;
    if (!MayWrite(target, before)) return false;
    if (expected != nullptr && IdentityOf(before) != *expected) return false;
  } else if (expected != nullptr) {
    return false;  // the file that was read is gone
  }

  const std::string folder = FolderOf(target);
  std::string tempPath = (folder == "/" ? std::string() : folder) + "/.txtenc-XXXXXX";
  Fd temp(::mkostemp(tempPath.data(), O_CLOEXEC));
  if (temp.get() < 0) return false;
  bool renamed = false;
  struct RemoveUnlessRenamed {
    const std::string& p;
    const bool& done;
    ~RemoveUnlessRenamed() {
      if (!done) ::unlink(p.c_str());
    }
  } cleanup{tempPath, renamed};

  if (!WriteAll(temp.get(), bytes)) return false;
  if (creating) {
    if (::fchmod(temp.get(), 0666 & ~CurrentUmask()) != 0) return false;
  } else {
    // Owner first (a change of owner may clear set-id bits), then the attributes,
    // then the exact mode bits (which also settle the ACL mask).
    if ((before.st_uid != ::geteuid() || before.st_gid != ::getegid()) &&
        ::fchown(temp.get(), before.st_uid, before.st_gid) != 0) {
      return false;
    }
    if (!CopyExtendedAttributes(target, temp.get())) return false;
    if (::fchmod(temp.get(), before.st_mode & 07777) != 0) return false;
  }
  if (::fsync(temp.get()) != 0) return false;
  if (!temp.Close()) return false;
  if (!RunBeforeReplaceHook(tempPath)) return false;

  if (creating) {
    // Never overwrite a file that appeared meanwhile.
    if (::renameat2(AT_FDCWD, tempPath.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
      return false;
    }
  } else {
    struct stat now {};
    if (::stat(target.c_str(), &now) != 0 || IdentityOf(now) != IdentityOf(before)) return false;
    if (::rename(tempPath.c_str(), target.c_str()) != 0) return false;
  }
  renamed = true;
  SyncFolder(folder);
  return true;
}

void SetBeforeReplaceHookForTesting(std::function<bool(const std::string& tempPath)> hook) {
  std::lock_guard<std::mutex> lock(g_hookMutex);
  g_beforeReplace = std::move(hook);
}

}  // namespace txtenc::platform
