// txtenc: the command-line face of the converter. main() turns argv into a command;
// the core never sees argv. Exit codes: 0 done, 2 usage error.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "codec/read_file.h"

namespace {

enum ExitCode : int { kExitOk = 0, kExitUsage = 2 };

constexpr const char* kUsage =
    "usage: txtenc detect FILE...\n"
    "       txtenc --help | --version\n"
    "\n"
    "  detect FILE...   print each file's detected encoding, a tab, and the path\n";

int UsageError(const std::string& message) {
  std::fprintf(stderr, "txtenc: %s (see txtenc --help)\n", message.c_str());
  return kExitUsage;
}

int Detect(const std::vector<std::string>& files) {
  if (files.empty()) return UsageError("detect needs at least one FILE");
  for (const std::string& path : files) {
    std::string name;
    (void)txtenc::ReadStringFile(path, &name);
    std::printf("%s\t%s\n", name.c_str(), path.c_str());
  }
  return std::fflush(stdout) == 0 ? kExitOk : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return UsageError("missing command");
  const std::string_view command = args.front();
  if (command == "--help" || command == "-h") {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }
  if (command == "--version") {
    std::printf("txtenc %s\n", TXTENC_VERSION);
    return kExitOk;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "detect") return Detect(rest);
  return UsageError("unknown command '" + std::string(command) + "'");
}
