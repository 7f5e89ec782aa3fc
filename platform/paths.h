#pragma once
// Questions about where a path really leads.

#include <string>

namespace txtenc::platform {

// The absolute path with every link, "." and ".." resolved; empty when the path
// names nothing.
std::string RealPath(const std::string& path);

// True when the real path `real` is `root` itself or lies below it (both as
// RealPath gives them; an empty one is never within anything).
bool IsWithin(const std::string& real, const std::string& root);

}  // namespace txtenc::platform
