#pragma once
// Runs one of our executables with arguments and collects what it printed.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"

namespace txtenc::testing {

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// The folder that holds the built executables (set by the test registration).
inline std::string BinFolder() {
  const char* bin = std::getenv("TXTENC_BIN");
  return bin != nullptr ? bin : "build/bin";
}

inline std::string ShellQuote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline CommandResult RunTool(const std::string& tool, const std::vector<std::string>& args) {
  TempTree scratch;
  std::string command = ShellQuote(BinFolder() + "/" + tool);
  for (const std::string& a : args) command += " " + ShellQuote(a);
  command += " >" + ShellQuote(scratch.Path("out")) + " 2>" + ShellQuote(scratch.Path("err")) +
             " </dev/null";
  const int status = std::system(command.c_str());
  CommandResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadAll(scratch.Path("out"));
  result.err = ReadAll(scratch.Path("err"));
  return result;
}

}  // namespace txtenc::testing
