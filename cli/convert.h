#pragma once
// txtenc convert: the same run as the window's, with standard output as its log.

#include <string>

namespace txtenc::cli {

struct ConvertConfig {
  std::string folder;
  bool toUtf8 = true;
  bool dryRun = false;
};

// Runs the batch; returns 0 when it completed, 130 when SIGINT or SIGTERM stopped it.
int RunConvert(const ConvertConfig& config);

}  // namespace txtenc::cli
