// The command-line tool, run as a user runs it.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace txtenc
