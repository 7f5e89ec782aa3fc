#include "platform/paths.h"

#include <stdlib.h>

namespace txtenc::platform {

std::string RealPath(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return std::string();
  std::string result(real);
  ::free(real);
  return result;
}

bool IsWithin(const std::string& real, const std::string& root) {
  if (real.empty() || root.empty()) return false;
  if (root == "/") return real.front() == '/';
  return real.compare(0, root.size(), root) == 0 &&
         (real.size() == root.size() || real[root.size()] == '/');
}

}  // namespace txtenc::platform
