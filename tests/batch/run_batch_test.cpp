#include "batch/run_batch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "codec/read_file.h"
#include "platform/message_queue.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"

namespace txtenc {
namespace {

using namespace std::string_view_literals;
using namespace txtenc::testing;
using Entries = std::vector<std::string>;

// A window that records what the run asks of it.
class FakeWindow : public RunWindow {
 public:
  std::string folder;
  bool utf8 = true;
  int folderReads = 0;
  int optionReads = 0;
  Entries log;
  std::function<void()> onOptionRead;                   // runs when the target is read
  std::function<void(const std::string&)> onAppend;    // runs after each append

  std::string ReadFolderText() override {
    ++folderReads;
    return folder;
  }
  bool IsUtf8Checked() override {
    ++optionReads;
    if (onOptionRead) onOptionRead();
    return utf8;
  }
  void AppendLog(const std::string& text) override {
    log.push_back(text);
    if (onAppend) onAppend(text);
  }
};

Entries RunQuick(FakeWindow& window, BatchOptions options = {}) {
  options.pauseBetweenFiles = false;
  std::atomic<bool> stop{false};
  RunBatch(window, stop, options);
  return window.log;
}

struct Snapshot {
  std::string bytes;
  ino_t inode;
  struct timespec mtime;
};

Snapshot Take(const std::string& path) {
  const struct stat st = StatOf(path);
  return Snapshot{ReadAll(path), st.st_ino, st.st_mtim};
}

void ExpectUntouched(const Snapshot& before, const std::string& path) {
  const Snapshot after = Take(path);
  EXPECT_EQ(Hex(after.bytes), Hex(before.bytes)) << path;
  EXPECT_EQ(after.inode, before.inode) << path;
  EXPECT_EQ(after.mtime.tv_sec, before.mtime.tv_sec) << path;
  EXPECT_EQ(after.mtime.tv_nsec, before.mtime.tv_nsec) << path;
}

// ---- Whole runs -----------------------------------------------------------------

// ASCII, GBK prose, an empty file, marked UTF-8, and UTF-16 in both byte orders.
void WriteMixedTree(const TempTree& tree) {
  tree.Write("a.txt", "plain ascii\n");
  tree.Write("b.txt", kProseGbk);
  tree.Write("c.txt", "");
  tree.Write("d.txt", Bom8(kShortUtf8));
  tree.Write("e.txt", "\xFF\xFE" + std::string(kShortUtf16Le));
  tree.Write("f.txt", "\xFE\xFF" + std::string(kShortUtf16Be));
}

TEST(RunBatch, ToUtf8LogsEveryFileInListOrderAndRewritesWhatDiffers) {
  TempTree tree;
  const std::string dir = tree.root() + "/";
  WriteMixedTree(tree);
  tree.Write("g.log", kProseGbk);
  tree.Write("sub/h.txt", kProseUtf8);
  const Snapshot utf8Before = Take(tree.Path("sub/h.txt"));
  const Snapshot markedBefore = Take(tree.Path("d.txt"));
  const Snapshot logBefore = Take(tree.Path("g.log"));

  FakeWindow window;
  window.folder = tree.root();
  EXPECT_EQ(RunQuick(window), (Entries{
                             "已修改编码【GBK >> UTF-8】：" + dir + "a.txt",
                             "已修改编码【GB18030 >> UTF-8】：" + dir + "b.txt",
                             "已修改编码【GBK >> UTF-8】：" + dir + "c.txt",
                             "无需修改编码【UTF-8 = UTF-8】：" + dir + "d.txt",
                             "已修改编码【UTF-16 >> UTF-8】：" + dir + "e.txt",
                             "已修改编码【UTF-16 >> UTF-8】：" + dir + "f.txt",
                             "无需修改编码【UTF-8 = UTF-8】：" + dir + "sub/h.txt",
                             "修改完毕",
                         }));
  EXPECT_EQ(ReadAll(tree.Path("a.txt")), Bom8("plain ascii\n"));
  EXPECT_EQ(Hex(ReadAll(tree.Path("b.txt"))), Hex(Bom8(kProseUtf8)));
  EXPECT_EQ(Hex(ReadAll(tree.Path("c.txt"))), "EF BB BF");
  EXPECT_EQ(Hex(ReadAll(tree.Path("e.txt"))), Hex(Bom8(kShortUtf8)));
  EXPECT_EQ(Hex(ReadAll(tree.Path("f.txt"))), Hex(Bom8(kShortUtf8)));
  ExpectUntouched(utf8Before, tree.Path("sub/h.txt"));
  ExpectUntouched(markedBefore, tree.Path("d.txt"));
  ExpectUntouched(logBefore, tree.Path("g.log"));
  EXPECT_EQ(window.folderReads, 1);
  EXPECT_EQ(window.optionReads, 1);

  // A second run finds everything in UTF-8 and touches nothing.
  const Snapshot asciiNow = Take(tree.Path("a.txt"));
  FakeWindow again;
  again.folder = tree.root();
  const Entries second = RunQuick(again);
  ASSERT_EQ(second.size(), 8u);
  for (std::size_t i = 0; i + 1 < second.size(); ++i) {
    EXPECT_EQ(second[i].rfind("无需修改编码【UTF-8 = UTF-8】：", 0), 0u) << second[i];
  }
  ExpectUntouched(asciiNow, tree.Path("a.txt"));
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST(RunBatch, ToGbkRewritesEverythingThatIsNotExactlyGbk) {
  TempTree tree;
  const std::string dir = tree.root() + "/";
  WriteMixedTree(tree);
  const Snapshot asciiBefore = Take(tree.Path("a.txt"));
  const Snapshot emptyBefore = Take(tree.Path("c.txt"));

  FakeWindow window;
  window.folder = tree.root() + "/";  // with a trailing separator: no doubled one
  window.utf8 = false;
  EXPECT_EQ(RunQuick(window), (Entries{
                             "无需修改编码【GBK = GBK】：" + dir + "a.txt",
                             "已修改编码【GB18030 >> GBK】：" + dir + "b.txt",
                             "无需修改编码【GBK = GBK】：" + dir + "c.txt",
                             "已修改编码【UTF-8 >> GBK】：" + dir + "d.txt",
                             "已修改编码【UTF-16 >> GBK】：" + dir + "e.txt",
                             "已修改编码【UTF-16 >> GBK】：" + dir + "f.txt",
                             "修改完毕",
                         }));
  ExpectUntouched(asciiBefore, tree.Path("a.txt"));
  ExpectUntouched(emptyBefore, tree.Path("c.txt"));
  EXPECT_EQ(Hex(ReadAll(tree.Path("b.txt"))), Hex(kProseGbk));
  EXPECT_EQ(Hex(ReadAll(tree.Path("d.txt"))), Hex(kShortGbk));
  EXPECT_EQ(Hex(ReadAll(tree.Path("e.txt"))), Hex(kShortGbk));
  EXPECT_EQ(Hex(ReadAll(tree.Path("f.txt"))), Hex(kShortGbk));
}

// ---- Files left alone, each with its reason -------------------------------------

TEST(RunBatch, FilesThatCannotBeRewrittenSafelyAreLeftAloneAndSaySo) {
  TempTree tree;
  const std::string dir = tree.root() + "/";
  tree.Write("a-nul.txt", "\xEF\xBB\xBFtext\0more"sv);
  tree.Write("b-lossy.txt", "a\xF0\xA0\x80\x80" "b"sv);  // UTF-8 with a character GBK lacks
  tree.Write("c-readonly.txt", kProseUtf8);
  ASSERT_EQ(::chmod(tree.Path("c-readonly.txt").c_str(), 0444), 0);
  tree.Write("d-vanishes.txt", kProseUtf8);
  tree.Write("e-becomes-fifo.txt", kProseUtf8);
  tree.Write("in/g-real.txt", kProseUtf8);
  tree.Link("in/h-link-in.txt", "g-real.txt");
  std::vector<std::pair<std::string, Snapshot>> untouched;
  for (const char* name : {"a-nul.txt", "b-lossy.txt", "c-readonly.txt"}) {
    untouched.emplace_back(tree.Path(name), Take(tree.Path(name)));
  }

  FakeWindow window;
  window.folder = tree.root();
  window.utf8 = false;
  // After the listing: one file disappears, another is swapped for a FIFO.
  window.onOptionRead = [&] {
    ASSERT_EQ(::unlink(tree.Path("d-vanishes.txt").c_str()), 0);
    ASSERT_EQ(::unlink(tree.Path("e-becomes-fifo.txt").c_str()), 0);
    tree.Fifo("e-becomes-fifo.txt");
  };
  EXPECT_EQ(RunQuick(window), (Entries{
                             "未修改编码【UTF-8 >> GBK】（内容含有空字符）：" + dir + "a-nul.txt",
                             "未修改编码【UTF-8 >> GBK】（转换会丢失字符）：" + dir + "b-lossy.txt",
                             "未修改编码【UTF-8 >> GBK】（写入失败）：" + dir + "c-readonly.txt",
                             "未修改编码【文件无法读取】：" + dir + "d-vanishes.txt",
                             "未修改编码【文件无法读取】：" + dir + "e-becomes-fifo.txt",
                             "已修改编码【UTF-8 >> GBK】：" + dir + "in/g-real.txt",
                             // the link inside the folder is followed; its target is now GBK
                             "已修改编码【GB18030 >> GBK】：" + dir + "in/h-link-in.txt",
                             "修改完毕",
                         }));
  for (const auto& [path, before] : untouched) ExpectUntouched(before, path);
  EXPECT_FALSE(PathExists(tree.Path("d-vanishes.txt")));  // never created anew
  EXPECT_TRUE(S_ISFIFO(StatOf(tree.Path("e-becomes-fifo.txt")).st_mode));
  EXPECT_TRUE(S_ISLNK(StatOf(tree.Path("in/h-link-in.txt")).st_mode));
  EXPECT_EQ(Hex(ReadAll(tree.Path("in/g-real.txt"))), Hex(kProseGbk));
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
}

TEST(RunBatch, ALinkLeadingOutOfTheFolderIsNeverWritten) {
  TempTree tree;
  const Snapshot outsideBefore = Take(tree.Write("outside/target.txt", kProseUtf8));
  tree.Link("chosen/link.txt", tree.Path("outside/target.txt"));
  FakeWindow window;
  window.folder = tree.Path("chosen");
  window.utf8 = false;
  EXPECT_EQ(RunQuick(window), (Entries{"未修改编码【链接指向文件目录之外】：" + tree.Path("chosen") +
                                      "/link.txt",
                                  "修改完毕"}));
  ExpectUntouched(outsideBefore, tree.Path("outside/target.txt"));
  EXPECT_TRUE(S_ISLNK(StatOf(tree.Path("chosen/link.txt")).st_mode));
}

TEST(RunBatch, LossyAndCutFilesKeepEveryByte) {
  TempTree tree;
  // A GB18030 four-byte character cannot pass through the GBK text.
  const std::string gb = tree.Write("gb.txt", "ab\x95\x32\x82\x36"sv);
  const std::string nul = tree.Write("nul.txt", "\xFF\xFE" "a\0\0\0b\0"sv);  // U+0000 inside
  const Snapshot gbBefore = Take(gb);
  const Snapshot nulBefore = Take(nul);
  FakeWindow window;
  window.folder = tree.root();
  const Entries log = RunQuick(window);
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0], "未修改编码【GB18030 >> UTF-8】（转换会丢失字符）：" + gb);
  EXPECT_EQ(log[1], "未修改编码【UTF-16 >> UTF-8】（内容含有空字符）：" + nul);
  ExpectUntouched(gbBefore, gb);
  ExpectUntouched(nulBefore, nul);
}

TEST(RunBatch, TheTargetIsReadOnceAfterTheListing) {
  TempTree tree;
  tree.Write("a.txt", "a");
  FakeWindow window;
  window.folder = tree.root();
  // A file made when the target is read must not be in the list, and the target
  // chosen at that moment must hold for the whole run.
  window.onOptionRead = [&] { tree.Write("b.txt", "b"); };
  window.utf8 = false;
  window.onAppend = [&](const std::string&) { window.utf8 = true; };
  EXPECT_EQ(RunQuick(window), (Entries{"无需修改编码【GBK = GBK】：" + tree.root() + "/a.txt", "修改完毕"}));
  EXPECT_EQ(window.optionReads, 1);
}

TEST(RunBatch, FolderTextsThatNameNoFolderSearchNothing) {
  TempTree tree;
  const std::string file = tree.Write("plain.txt", "x");
  struct {
    std::string folder;
    Entries expected;
  } cases[] = {
      {"", {"请先选择文件目录"}},
      {tree.Path("missing"), {"文件目录不存在：" + tree.Path("missing")}},
      {file, {"文件目录不存在：" + file}},
      {tree.MakeFolder("empty"), {"修改完毕"}},
  };
  for (const auto& c : cases) {
    FakeWindow window;
    window.folder = c.folder;
    EXPECT_EQ(RunQuick(window), c.expected) << c.folder;
    EXPECT_EQ(window.optionReads, c.expected.back() == "修改完毕" ? 1 : 0);
  }
}

TEST(RunBatch, ADryRunDecidesAndLogsAlikeButWritesNothing) {
  TempTree tree;
  tree.Write("a.txt", kProseGbk);
  tree.Write("b.txt", "");
  tree.Write("c.txt", kProseUtf8);
  const Snapshot a = Take(tree.Path("a.txt"));
  const Snapshot b = Take(tree.Path("b.txt"));
  const Snapshot c = Take(tree.Path("c.txt"));
  FakeWindow dry;
  dry.folder = tree.root();
  BatchOptions options;
  options.dryRun = true;
  const Entries dryLog = RunQuick(dry, options);
  ExpectUntouched(a, tree.Path("a.txt"));
  ExpectUntouched(b, tree.Path("b.txt"));
  ExpectUntouched(c, tree.Path("c.txt"));
  EXPECT_TRUE(tree.Find(".txtenc-").empty());
  FakeWindow real;
  real.folder = tree.root();
  EXPECT_EQ(RunQuick(real), dryLog);
}

TEST(RunBatch, AStopEndsTheRunWithEveryFileWhole) {
  TempTree tree;
  for (int i = 0; i < 30; ++i) {
    tree.Write("f" + std::to_string(100 + i) + ".txt", kProseGbk);
  }
  FakeWindow window;
  window.folder = tree.root();
  std::atomic<bool> stop{false};
  window.onAppend = [&](const std::string&) {
    if (window.log.size() == 10) stop = true;
  };
  BatchOptions options;
  options.pauseBetweenFiles = false;
  RunBatch(window, stop, options);
  ASSERT_EQ(window.log.size(), 10u);  // nothing after the stop, no completion line
  for (int i = 0; i < 30; ++i) {
    const std::string bytes = ReadAll(tree.Path("f" + std::to_string(100 + i) + ".txt"));
    EXPECT_EQ(Hex(bytes), Hex(i < 10 ? Bom8(kProseUtf8) : std::string(kProseGbk))) << i;
  }
}

// ---- The pause between files ----------------------------------------------------

TEST(WaitProcessingEvents, ServesMessagesWhileWaitingAndEndsEarlyForAQuit) {
  auto queue = platform::CurrentThreadQueue();
  int handled = 0;
  queue->Post(platform::Message{5, [&] { ++handled; }});
  EXPECT_TRUE(WaitProcessingEvents(10, 0));
  EXPECT_EQ(handled, 1);

  // An hour-long wait ends once a quit message arrives, which stays in the queue.
  auto waited = std::async(std::launch::async, [] {
    auto own = platform::CurrentThreadQueue();
    std::thread([own] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      own->PostQuit();
    }).detach();
    WaitProcessingEvents(1, 3);
    platform::Message head;
    return own->Peek(&head, false) && head.id == platform::kQuitMessage;
  });
  ASSERT_EQ(waited.wait_for(std::chrono::seconds(30)), std::future_status::ready);
  EXPECT_TRUE(waited.get());
}

TEST(ProcessEvents, StopsAtAQuitAndLeavesItInTheQueue) {
  auto queue = std::make_shared<platform::MessageQueue>();
  auto result = std::async(std::launch::async, [queue] {
    platform::AdoptThreadQueue(queue);
    std::vector<int> ran;
    queue->Post(platform::Message{1, [&] { ran.push_back(1); }});
    queue->PostQuit();
    queue->Post(platform::Message{2, [&] { ran.push_back(2); }});
    ProcessEvents();
    platform::Message head;
    const bool quitFirst = queue->Peek(&head, false) && head.id == platform::kQuitMessage;
    return std::make_pair(ran, quitFirst);
  });
  const auto [ran, quitFirst] = result.get();
  EXPECT_EQ(ran, std::vector<int>{1});
  EXPECT_TRUE(quitFirst);
}

}  // namespace
}  // namespace txtenc
