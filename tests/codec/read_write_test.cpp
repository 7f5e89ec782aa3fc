#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>

#include "codec/convert.h"
#include "codec/read_file.h"
#include "codec/write_file.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"

namespace txtenc {
namespace {

using namespace std::string_view_literals;
using namespace txtenc::testing;

// ---- Reading --------------------------------------------------------------------

struct ReadCase {
  const char* what;
  std::string_view bytes;
  ReadOutcome outcome;
  const char* name;
  std::string_view text;
  bool cutAtNul;
  bool lossless;
};

class ReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadTest, ReportsTextNameAndWhatWasLost) {
  const ReadCase& c = GetParam();
  TempTree tree;
  const std::string path = tree.Write("f.txt", c.bytes);
  const TextFile file = ReadTextFile(path);
  EXPECT_EQ(file.outcome, c.outcome);
  EXPECT_EQ(file.encodingName, c.name);
  EXPECT_EQ(Hex(file.text), Hex(c.text));
  EXPECT_EQ(file.cutAtNul, c.cutAtNul);
  EXPECT_EQ(file.lossless, c.lossless);
  // The plain reader reports the same text and name.
  std::string name = "previous name";
  EXPECT_EQ(ReadStringFile(path, &name), file.text);
  EXPECT_EQ(name, c.name);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadTest,
    ::testing::Values(
        ReadCase{"empty", ""sv, ReadOutcome::kEmpty, "GBK", ""sv, false, true},
        ReadCase{"ascii", "hello\r\n"sv, ReadOutcome::kText, "GBK", "hello\r\n"sv, false, true},
        ReadCase{"utf-8 with mark", "\xEF\xBB\xBF\xE4\xB8\xAD"sv, ReadOutcome::kText, "UTF-8",
                 "\xD6\xD0"sv, false, true},
        ReadCase{"utf-16 mark alone", "\xFF\xFE"sv, ReadOutcome::kText, "UTF-16", ""sv, false, true},
        ReadCase{"utf-16be", "\xFE\xFF\x4e\x2d\x65\x87\xff\x0c\x4f\x60\x59\x7d\xff\x01"sv,
                 ReadOutcome::kText, "UTF-16", kShortGbk, false, true},
        ReadCase{"gbk prose", kProseGbk, ReadOutcome::kText, "GB18030", kProseGbk, false, true},
        ReadCase{"utf-8 prose", kProseUtf8, ReadOutcome::kText, "UTF-8", kProseGbk, false, true},
        ReadCase{"nul inside", "abc\0def"sv, ReadOutcome::kText, "GBK", "abc"sv, true, true},
        ReadCase{"nul first", "\0abc"sv, ReadOutcome::kText, "GBK", ""sv, true, true},
        ReadCase{"character outside gbk", "\xEF\xBB\xBF" "a\xF0\xA0\x80\x80" "b"sv, ReadOutcome::kText,
                 "UTF-8", "a?b"sv, false, false},
        ReadCase{"invalid utf-8 after mark", "\xEF\xBB\xBF" "a\xFF" "b"sv, ReadOutcome::kText,
                 "UTF-8", "ab"sv, false, false}),
    CaseNamer());

TEST(ReadStringFile, PathsWithNothingToReadGiveNoTextAndGbk) {
  TempTree tree;
  tree.MakeFolder("folder.txt");
  const struct {
    std::string path;
    ReadOutcome outcome;
  } cases[] = {{"", ReadOutcome::kMissing},
               {tree.Path("missing.txt"), ReadOutcome::kMissing},
               {tree.Path("folder.txt"), ReadOutcome::kUnreadable},
               {tree.Path("missing-folder/x.txt"), ReadOutcome::kMissing}};
  for (const auto& c : cases) {
    std::string name = "UTF-8";
    EXPECT_EQ(ReadStringFile(c.path, &name), "") << c.path;
    EXPECT_EQ(name, "GBK") << c.path;
    EXPECT_EQ(ReadTextFile(c.path).outcome, c.outcome) << c.path;
  }
  EXPECT_EQ(ReadStringFile(tree.Path("missing.txt")), "");  // no name asked for
  EXPECT_EQ(ReadFileBytes(tree.Path("folder.txt")), "");
  EXPECT_TRUE(PathExists(tree.Path("folder.txt")));
  EXPECT_FALSE(PathExists(tree.Path("missing.txt")));
}

TEST(ReadStringFile, NeverOpensOrBlocksOnAFifo) {
  TempTree tree;
  const std::string fifo = tree.Fifo("pipe.txt");
  // Opening a FIFO for reading would wait for a writer; run it where a hang shows.
  auto read = std::async(std::launch::async, [&] { return ReadTextFile(fifo); });
  ASSERT_EQ(read.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  const TextFile file = read.get();
  EXPECT_EQ(file.outcome, ReadOutcome::kUnreadable);
  EXPECT_EQ(file.encodingName, "GBK");
  EXPECT_FALSE(WriteStringFile(fifo, "abc", "UTF-8"));
}

// Runs `check` in a child process as an unprivileged user, for the cases that root's
// rights would hide. Returns the child's verdict.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && check();
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(ReadStringFile, AFileThatCannotBeOpenedIsUnreadableNotEmpty) {
  TempTree tree;
  const std::string path = tree.Write("secret.txt", "data");
  ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
  if (::geteuid() != 0) {
    EXPECT_EQ(ReadTextFile(path).outcome, ReadOutcome::kUnreadable);
    return;
  }
  ASSERT_EQ(::chmod(tree.root().c_str(), 0777), 0);
  EXPECT_TRUE(AsUnprivilegedUser([&] {
    std::string name = "unset";
    return ReadTextFile(path).outcome == ReadOutcome::kUnreadable &&
           ReadStringFile(path, &name).empty() && name == "GBK";
  }));
}

// ---- Encoding for a file --------------------------------------------------------

struct EncodeCase {
  const char* what;
  std::string_view content;
  const char* target;
  std::string expected;  // owned: some cases build it
  bool lossless;
  EncodeCase(const char* w, std::string_view c, const char* t, std::string_view e, bool l)
      : what(w), content(c), target(t), expected(e), lossless(l) {}
};

class EncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, GivesTheBytesToStore) {
  const EncodeCase& c = GetParam();
  const EncodedFile got = EncodeForFileChecked(c.content, "GBK", c.target);
  EXPECT_EQ(Hex(got.bytes), Hex(c.expected));
  EXPECT_EQ(got.lossless, c.lossless);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, EncodeTest,
    ::testing::Values(
        EncodeCase{"empty to utf-8", ""sv, "UTF-8", "\xEF\xBB\xBF"sv, true},
        EncodeCase{"empty to gbk", ""sv, "GBK", ""sv, true},
        EncodeCase{"empty no target", ""sv, "", ""sv, true},
        EncodeCase{"abc utf8", "abc"sv, "utf8", "\xEF\xBB\xBF" "abc", true},
        EncodeCase{"abc UTF8", "abc"sv, "UTF8", "\xEF\xBB\xBF" "abc"sv, true},
        EncodeCase{"abc Utf-8", "abc"sv, "Utf-8", "\xEF\xBB\xBF" "abc"sv, true},
        EncodeCase{"gbk to GBK", kShortGbk, "GBK", kShortGbk, true},
        EncodeCase{"gbk to gbk", kShortGbk, "gbk", kShortGbk, true},
        EncodeCase{"gbk to CP936 converted no mark", kShortGbk, "CP936", kShortGbk, true},
        EncodeCase{"gbk to GB18030 converted no mark", kShortGbk, "GB18030", kShortGbk, true},
        EncodeCase{"gbk to utf-8", kShortGbk, "UTF-8", Bom8(kShortUtf8), true},
        EncodeCase{"utf-16le no mark", kShortGbk, "UTF-16LE", kShortUtf16Le, true},
        EncodeCase{"utf-16 big-endian behind its mark", kShortGbk, "UTF-16",
                   "\xFE\xFF" + std::string(kShortUtf16Be), true},
        EncodeCase{"utf16 like utf-16", kShortGbk, "utf16", "\xFE\xFF" + std::string(kShortUtf16Be),
                   true},
        EncodeCase{"utf-32 big-endian behind its mark", kShortGbk, "UTF-32",
                   std::string("\x00\x00\xFE\xFF", 4) + std::string(kShortUtf32Be), true},
        EncodeCase{"UTF32 like utf-32", kShortGbk, "UTF32",
                   std::string("\x00\x00\xFE\xFF", 4) + std::string(kShortUtf32Be), true},
        EncodeCase{"unlisted utf-8//ignore", kShortGbk, "UTF-8//IGNORE", kShortGbk, true},
        EncodeCase{"unlisted ansi", kShortGbk, "ANSI", kShortGbk, true},
        // A GB18030 four-byte sequence in a "GBK" text cannot become UTF-8 whole.
        EncodeCase{"gb18030 sequence in gbk text", "a\x95\x32\x82\x36"sv, "UTF-8",
                   "\xEF\xBB\xBF" "a26"sv, false}),
    CaseNamer());

TEST(EncodeForFile, WideTargetsReadBackAsTheSameText) {
  for (const char* target : {"UTF-16", "UTF16", "UTF-32", "UTF32"}) {
    const std::string bytes = EncodeForFile(kProseGbk, "GBK", target);
    EXPECT_EQ(ConvertDetectedEncoding(bytes, "GBK", true), kProseGbk) << target;
  }
}

// ---- Writing --------------------------------------------------------------------

class WriteTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetBeforeReplaceHookForTesting(nullptr); }
  TempTree tree;
};

TEST_F(WriteTest, ReplacesTheWholeFileAndKeepsNoOldTail) {
  const std::string path = tree.Write("a.txt", std::string(1000, 'x'));
  ASSERT_TRUE(WriteStringFile(path, "abc", "UTF-8"));
  EXPECT_EQ(ReadAll(path), "\xEF\xBB\xBF" "abc");
  ASSERT_TRUE(WriteStringFile(path, kShortGbk, "GBK"));
  EXPECT_EQ(ReadAll(path), kShortGbk);
  // Content ends at its first NUL.
  ASSERT_TRUE(WriteStringFile(path, "ab\0cd"sv, "GBK"));
  EXPECT_EQ(ReadAll(path), "ab");
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST_F(WriteTest, CreatesAMissingFileButNothingInAMissingFolder) {
  const std::string fresh = tree.Path("new.txt");
  const mode_t mask = ::umask(027);  // a mask other than the usual one
  const bool created = WriteStringFile(fresh, "abc", "GBK");
  ::umask(mask);
  ASSERT_TRUE(created);
  EXPECT_EQ(ReadAll(fresh), "abc");
  EXPECT_EQ(StatOf(fresh).st_mode & 07777, 0640u);  // 0666 less the umask
  const std::string nowhere = tree.Path("no-such-folder/a.txt");
  EXPECT_FALSE(WriteStringFile(nowhere, "abc", "UTF-8"));
  EXPECT_FALSE(PathExists(tree.Path("no-such-folder")));
}

TEST_F(WriteTest, AReadOnlyFileIsNotReplacedEvenByRoot) {
  const std::string path = tree.Write("ro.txt", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(WriteStringFile(path, "new", "UTF-8"));
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST_F(WriteTest, KeepsPermissionBitsOwnerAndInode) {
  const std::string path = tree.Write("p.txt", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
  }
  ASSERT_TRUE(WriteStringFile(path, "new", "GBK"));
  const struct stat after = StatOf(path);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  if (::geteuid() == 0) {
    EXPECT_EQ(after.st_uid, 4321u);
    EXPECT_EQ(after.st_gid, 4322u);
  }
  EXPECT_EQ(ReadAll(path), "new");
}

TEST_F(WriteTest, AFileWhoseOwnerCannotBeKeptIsNotReplaced) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand the file to another user";
  // A file of root's that anybody may write: an ordinary user could rewrite its
  // bytes, but a replacement would belong to that user, so it is refused.
  const std::string path = tree.Write("shared.txt", "old");
  ASSERT_EQ(::chmod(path.c_str(), 0666), 0);
  ASSERT_EQ(::chmod(tree.root().c_str(), 0777), 0);
  EXPECT_TRUE(AsUnprivilegedUser([&] { return !WriteStringFile(path, "new", "UTF-8"); }));
  EXPECT_EQ(ReadAll(path), "old");
  EXPECT_EQ(StatOf(path).st_uid, 0u);
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
  // The same user's own file in the same folder is replaced.
  const std::string own = tree.Write("own.txt", "old");
  ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
  EXPECT_TRUE(AsUnprivilegedUser([&] { return WriteStringFile(own, "new", "GBK"); }));
  EXPECT_EQ(ReadAll(own), "new");
}

TEST_F(WriteTest, CarriesExtendedAttributesOver) {
  const std::string path = tree.Write("x.txt", "old");
  if (::setxattr(path.c_str(), "user.txtenc-test", "v1", 2, 0) != 0) {
    GTEST_SKIP() << "this file system takes no user attributes";
  }
  ASSERT_TRUE(WriteStringFile(path, "new", "UTF-8"));
  char value[8] = {};
  ASSERT_EQ(::getxattr(path.c_str(), "user.txtenc-test", value, sizeof value), 2);
  EXPECT_EQ(std::string(value, 2), "v1");
}

TEST_F(WriteTest, ALinkStaysALinkAndItsTargetIsReplaced) {
  const std::string target = tree.Write("real/data.txt", "old");
  const std::string link = tree.Link("link.txt", "real/data.txt");
  ASSERT_TRUE(WriteStringFile(link, "abc", "UTF-8"));
  EXPECT_TRUE(S_ISLNK(StatOf(link).st_mode));
  EXPECT_EQ(ReadAll(target), "\xEF\xBB\xBF" "abc");
  // A dangling link is never turned into a file.
  const std::string dangling = tree.Link("dangling.txt", "nowhere.txt");
  EXPECT_FALSE(WriteStringFile(dangling, "abc", "UTF-8"));
  EXPECT_TRUE(S_ISLNK(StatOf(dangling).st_mode));
  EXPECT_FALSE(PathExists(tree.Path("nowhere.txt")));
}

TEST_F(WriteTest, AFailureAfterTheTemporaryIsWrittenKeepsTheOriginal) {
  const std::string original = std::string(kProseGbk) + "\n";
  const std::string path = tree.Write("keep.txt", original);
  const struct stat before = StatOf(path);
  std::string seenTemp;
  platform::SetBeforeReplaceHookForTesting([&](const std::string& temp) {
    seenTemp = temp;
    // The temporary is complete at this point: the new bytes, the file's mode.
    EXPECT_EQ(ReadAll(temp), Bom8(kProseUtf8) + "\n");
    return false;
  });
  EXPECT_FALSE(WriteStringFile(path, original, "UTF-8"));
  ASSERT_FALSE(seenTemp.empty());
  // Same folder, never a name a later run would list.
  EXPECT_EQ(seenTemp.substr(0, seenTemp.rfind('/')), tree.root());
  EXPECT_NE(seenTemp.substr(seenTemp.size() - 4), ".txt");
  EXPECT_FALSE(PathExists(seenTemp));
  EXPECT_EQ(ReadAll(path), original);
  EXPECT_EQ(StatOf(path).st_ino, before.st_ino);
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST_F(WriteTest, AFileChangedSinceItWasReadIsNotReplaced) {
  const std::string path = tree.Write("c.txt", "first");
  const TextFile read = ReadTextFile(path);
  // Someone else rewrites it (another size) before the write.
  tree.Write("c.txt", "second version");
  EXPECT_FALSE(WriteFileBytes(path, "mine", &read.identity));
  EXPECT_EQ(ReadAll(path), "second version");
  // Unchanged since the read: replaced.
  const TextFile again = ReadTextFile(path);
  EXPECT_TRUE(WriteFileBytes(path, "mine", &again.identity));
  EXPECT_EQ(ReadAll(path), "mine");
  // Changed during the replacement itself (between the temporary and the rename).
  const TextFile third = ReadTextFile(path);
  platform::SetBeforeReplaceHookForTesting([&](const std::string&) {
    tree.Write("c.txt", "changed meanwhile");
    return true;
  });
  EXPECT_FALSE(WriteFileBytes(path, "mine again", &third.identity));
  EXPECT_EQ(ReadAll(path), "changed meanwhile");
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

}  // namespace
}  // namespace txtenc
