// The command-line tool, run as a user runs it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "tests/support/fixtures.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_tree.h"

namespace txtenc {
namespace {

using namespace txtenc::testing;
using namespace std::string_view_literals;

TEST(CliDetect, PrintsOneLinePerFileInTheGivenOrder) {
  TempTree tree;
  const std::string ascii = tree.Write("ascii.txt", "hello world\n");
  const std::string prose = tree.Write("中文/gbk.txt", kProseGbk);
  const std::string utf8 = tree.Write("u.txt", kProseUtf8);
  const std::string marked = tree.Write("m.txt", "\xFF\xFE" "a\0"sv);
  const std::string empty = tree.Write("e.txt", "");
  const std::string latin = tree.Write("l.txt", kLatin1Cafe);
  const std::string missing = tree.Path("missing.txt");
  const std::string folder = tree.MakeFolder("dir.txt");
  const CommandResult r =
      RunTool("txtenc", {"detect", ascii, prose, utf8, marked, empty, latin, missing, folder});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "GBK\t" + ascii + "\n" + "GB18030\t" + prose + "\n" + "UTF-8\t" + utf8 + "\n" +
                       "UTF-16\t" + marked + "\n" + "GBK\t" + empty + "\n" + "UTF-8\t" + latin +
                       "\n" + "GBK\t" + missing + "\n" + "GBK\t" + folder + "\n");
}

TEST(CliUsage, HelpVersionAndUsageErrors) {
  const CommandResult help = RunTool("txtenc", {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("usage: txtenc"), std::string::npos);
  const CommandResult version = RunTool("txtenc", {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("txtenc ", 0), 0u);
  struct {
    std::vector<std::string> args;
  } errors[] = {{{}}, {{"detect"}}, {{"frobnicate"}}};
  for (const auto& e : errors) {
    const CommandResult r = RunTool("txtenc", e.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    // One line on standard error.
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

TEST(CliConvert, PrintsOneEntryPerLineThenTheCompletionLine) {
  TempTree tree;
  tree.Write("a.txt", kProseGbk);
  tree.Write("b.txt", Bom8(kShortUtf8));
  tree.Write("sub/c.txt", "");
  const std::string folder = tree.root();  // given without a trailing "/"
  const CommandResult r = RunTool("txtenc", {"convert", "--to", "utf-8", folder});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "已修改编码【GB18030 >> UTF-8】：" + folder + "/a.txt\n" +
                       "无需修改编码【UTF-8 = UTF-8】：" + folder + "/b.txt\n" +
                       "已修改编码【GBK >> UTF-8】：" + folder + "/sub/c.txt\n" + "修改完毕\n");
  EXPECT_EQ(r.err, "");  // no progress when standard error is not a terminal
  EXPECT_EQ(Hex(ReadAll(tree.Path("a.txt"))), Hex(Bom8(kProseUtf8)));
  EXPECT_EQ(Hex(ReadAll(tree.Path("sub/c.txt"))), "EF BB BF");

  const CommandResult back = RunTool("txtenc", {"convert", "--to=GBK", folder + "/"});
  EXPECT_EQ(back.exitCode, 0) << back.err;
  EXPECT_EQ(back.out, "已修改编码【UTF-8 >> GBK】：" + folder + "/a.txt\n" +
                          "已修改编码【UTF-8 >> GBK】：" + folder + "/b.txt\n" +
                          "已修改编码【UTF-8 >> GBK】：" + folder + "/sub/c.txt\n" + "修改完毕\n");
  EXPECT_EQ(Hex(ReadAll(tree.Path("a.txt"))), Hex(kProseGbk));
  EXPECT_EQ(ReadAll(tree.Path("sub/c.txt")), "");
}

TEST(CliConvert, ADryRunPrintsWhatARealRunWouldAndWritesNothing) {
  TempTree tree;
  tree.Write("a.txt", kProseGbk);
  tree.Write("b.txt", "ascii");
  const CommandResult dry = RunTool("txtenc", {"convert", "--dry-run", "--to", "utf-8", tree.root()});
  EXPECT_EQ(dry.exitCode, 0);
  EXPECT_NE(dry.err.find("dry run"), std::string::npos);
  EXPECT_EQ(Hex(ReadAll(tree.Path("a.txt"))), Hex(kProseGbk));
  EXPECT_EQ(ReadAll(tree.Path("b.txt")), "ascii");
  const CommandResult real = RunTool("txtenc", {"convert", "--to", "utf-8", tree.root()});
  EXPECT_EQ(real.out, dry.out);
  EXPECT_EQ(real.err, "");
}

TEST(CliConvert, UsageErrorsExitTwoWithOneLine) {
  TempTree tree;
  const std::string file = tree.Write("f.txt", "x");
  const std::vector<std::vector<std::string>> cases = {
      {"convert"},
      {"convert", tree.root()},
      {"convert", "--to", "utf-16", tree.root()},
      {"convert", "--to", "gbk"},
      {"convert", "--to", "gbk", ""},
      {"convert", "--to", "gbk", tree.Path("missing")},
      {"convert", "--to", "gbk", file},
      {"convert", "--to", "gbk", tree.root(), tree.root()},
      {"convert", "--to", "gbk", "--bogus", tree.root()},
      {"convert", "--to"},
  };
  for (const auto& args : cases) {
    const CommandResult r = RunTool("txtenc", args);
    EXPECT_EQ(r.exitCode, 2) << args.size();
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(ReadAll(file), "x");
}

// Starts the tool with standard output on a pipe that the test reads at its own pace.
struct Child {
  pid_t pid = -1;
  FILE* out = nullptr;
};

Child Spawn(const std::vector<std::string>& args) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  Child child;
  child.pid = ::fork();
  if (child.pid == 0) {
    ::dup2(fds[1], STDOUT_FILENO);
    ::close(fds[0]);
    ::close(fds[1]);
    std::vector<char*> argv;
    const std::string tool = BinFolder() + "/txtenc";
    argv.push_back(const_cast<char*>(tool.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(fds[1]);
  child.out = ::fdopen(fds[0], "r");
  return child;
}

TEST(CliConvert, SigintStopsLikeTheStopButton) {
  TempTree tree;
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) tree.Write("f" + std::to_string(10000 + i) + ".txt", kProseGbk);
  // Standard output is a pipe read only after the signal: the tool fills it and
  // waits, so the signal surely comes in the middle of the run.
  Child child = Spawn({"convert", "--to", "utf-8", tree.root()});
  char first[512];
  ASSERT_NE(std::fgets(first, sizeof first, child.out), nullptr);
  ASSERT_EQ(::kill(child.pid, SIGINT), 0);
  std::string rest;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, child.out)) > 0) rest.append(buffer, n);
  std::fclose(child.out);
  int status = 0;
  ASSERT_EQ(::waitpid(child.pid, &status, 0), child.pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 130);

  const std::string all = first + rest;
  EXPECT_EQ(all.find("修改完毕"), std::string::npos);
  const auto lines = static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n'));
  EXPECT_LT(lines, static_cast<std::size_t>(kFiles));
  std::size_t converted = 0;
  for (int i = 0; i < kFiles; ++i) {
    const std::string bytes = ReadAll(tree.Path("f" + std::to_string(10000 + i) + ".txt"));
    const bool done = bytes == Bom8(kProseUtf8);
    EXPECT_TRUE(done || bytes == kProseGbk) << i;
    converted += done;
  }
  // Each printed entry's file was rewritten; the file in hand may be done too.
  EXPECT_GE(converted, lines);
  EXPECT_LE(converted, lines + 1);
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

}  // namespace
}  // namespace txtenc
