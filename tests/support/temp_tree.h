#pragma once
// A temporary folder tree for file-system tests, removed when the test ends.
// Files are made from (relative path, bytes) pairs; folders on the way are created.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace txtenc::testing {

class TempTree {
 public:
  TempTree() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "txtenc-test-XXXXXX").string();
    if (::mkdtemp(tmpl.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    root_ = tmpl;
  }
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;
  ~TempTree() {
    std::error_code ec;
    // Give back write permission that a test took away, so that removal succeeds.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_symlink(ec) && it->is_directory(ec)) ::chmod(it->path().c_str(), 0700);
    }
    std::filesystem::remove_all(root_, ec);
  }

  const std::string& root() const { return root_; }
  std::string Path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

  std::string Write(std::string_view relative, std::string_view bytes) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << path;
    return path;
  }

  std::string MakeFolder(std::string_view relative) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(path);
    return path;
  }

  std::string Link(std::string_view relative, const std::string& target) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
    return path;
  }

  std::string Fifo(std::string_view relative) const {
    const std::string path = Path(relative);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
    return path;
  }

  // Every entry name under the root whose name starts with `prefix`, at any depth.
  std::vector<std::string> Find(std::string_view prefix) const {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (name.rfind(prefix, 0) == 0) found.push_back(it->path().string());
    }
    return found;
  }

 private:
  std::string root_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

}  // namespace txtenc::testing
