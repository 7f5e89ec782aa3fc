// txtenc: the command-line face of the converter. main() turns argv into a
// command and its settings; the core never sees argv. Exit codes: 0 done, 1 output
// failed, 2 usage error, 130 stopped by a signal.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/convert.h"
#include "codec/encoding_names.h"
#include "codec/read_file.h"

namespace {

enum ExitCode : int { kExitOk = 0, kExitOutput = 1, kExitUsage = 2 };

constexpr const char* kUsage =
    "usage: txtenc convert --to utf-8|gbk [--dry-run] FOLDER\n"
    "       txtenc detect FILE...\n"
    "       txtenc --help | --version\n"
    "\n"
    "  convert   rewrite every *.txt under FOLDER, at any depth, in the target\n"
    "            encoding (UTF-8 with a byte-order mark, or GBK); one log entry per\n"
    "            file on standard output, then the completion line\n"
    "  --dry-run decide and log as a real run would, but write nothing\n"
    "  detect    print each file's detected encoding, a tab, and the path\n";

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
  return std::fflush(stdout) == 0 ? kExitOk : kExitOutput;
}

int Convert(const std::vector<std::string>& args) {
  txtenc::cli::ConvertConfig config;
  std::string target;
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--to") {
      if (i + 1 >= args.size()) return UsageError("--to needs utf-8 or gbk");
      target = args[++i];
    } else if (a.rfind("--to=", 0) == 0) {
      target = a.substr(5);
    } else if (a == "--dry-run") {
      config.dryRun = true;
    } else if (a == "--") {
      folders.insert(folders.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return UsageError("unknown option '" + a + "'");
    } else {
      folders.push_back(a);
    }
  }
  if (target.empty()) return UsageError("convert needs --to utf-8 or --to gbk");
  if (txtenc::EqualsIgnoringAsciiCase(target, "utf-8") ||
      txtenc::EqualsIgnoringAsciiCase(target, "utf8")) {
    config.toUtf8 = true;
  } else if (txtenc::EqualsIgnoringAsciiCase(target, "gbk")) {
    config.toUtf8 = false;
  } else {
    return UsageError("unknown target '" + target + "': use utf-8 or gbk");
  }
  if (folders.empty()) return UsageError("convert needs a FOLDER");
  if (folders.size() > 1) return UsageError("convert takes one FOLDER");
  config.folder = folders.front();
  if (config.folder.empty()) return UsageError("the FOLDER is empty");
  struct stat st {};
  if (::stat(config.folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    return UsageError("no such folder: " + config.folder);
  }
  return txtenc::cli::RunConvert(config);
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
  if (command == "convert") return Convert(rest);
  return UsageError("unknown command '" + std::string(command) + "'");
}
