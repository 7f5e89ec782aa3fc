// Our stand-ins for the operating system's services.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/dir_search.h"
#include "platform/message_queue.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"

namespace txtenc::platform {
namespace {

struct WildcardCase {
  const char* what;
  const char* pattern;
  const char* name;
  bool matches;
};

class WildcardTest : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(WildcardTest, Matches) {
  EXPECT_EQ(MatchesWildcard(GetParam().pattern, GetParam().name), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WildcardTest,
    ::testing::Values(WildcardCase{"plain", "*.txt", "a.txt", true},
                      WildcardCase{"capitals", "*.txt", "NOTES.TXT", true},
                      WildcardCase{"mixed case pattern", "*.TxT", "notes.txt", true},
                      WildcardCase{"longer extension", "*.txt", "a.txta", false},
                      WildcardCase{"backup", "*.txt", "a.txt.bak", false},
                      WildcardCase{"only the extension", "*.txt", ".txt", true},
                      WildcardCase{"star star", "*.*", "noextension", true},
                      WildcardCase{"star star dot", "*.*", ".", true},
                      WildcardCase{"star star dots", "*.*", "..", true},
                      WildcardCase{"dot star without dot", "a.*", "a", true},
                      WildcardCase{"question", "?.txt", "a.txt", true},
                      WildcardCase{"question two", "?.txt", "ab.txt", false},
                      WildcardCase{"question chinese", "?.txt", "中.txt", true},
                      WildcardCase{"chinese literal", "笔记*", "笔记本.txt", true},
                      WildcardCase{"non ascii is not folded", "\xC3\xA9.txt", "\xC3\x89.txt", false},
                      WildcardCase{"empty pattern", "", "a", false},
                      WildcardCase{"star alone", "*", "", true}),
    txtenc::testing::CaseNamer());

TEST(DirSearch, DeliversMatchesInCaseFoldedOrderWithTheirKinds) {
  txtenc::testing::TempTree tree;
  tree.Write("b.txt", "");
  tree.Write("B.txt", "");
  tree.Write("a.TXT", "");
  tree.Write("c.txt/inner", "");
  tree.Fifo("p.txt");
  tree.Link("l.txt", "b.txt");
  DirSearch search;
  FindData data;
  std::vector<std::string> names;
  std::vector<EntryKind> kinds;
  for (bool more = search.FindFirst(tree.root() + "/*.txt", &data); more;
       more = search.FindNext(&data)) {
    names.push_back(data.name);
    kinds.push_back(data.kind);
    EXPECT_EQ(data.isLink, data.name == "l.txt");
  }
  EXPECT_EQ(names, (std::vector<std::string>{"a.TXT", "B.txt", "b.txt", "c.txt", "l.txt", "p.txt"}));
  EXPECT_EQ(kinds, (std::vector<EntryKind>{EntryKind::kFile, EntryKind::kFile, EntryKind::kFile,
                                           EntryKind::kFolder, EntryKind::kFile, EntryKind::kOther}));
  EXPECT_FALSE(search.FindFirst(tree.root() + "/", &data));  // no pattern
  EXPECT_FALSE(search.FindFirst(tree.root() + "/missing/*", &data));
}

TEST(MessageQueue, PeekLeavesOrTakesTheHeadAndDispatchRunsIt) {
  MessageQueue queue;
  int ran = 0;
  queue.Post(Message{7, [&] { ++ran; }});
  Message m;
  ASSERT_TRUE(queue.Peek(&m, false));
  EXPECT_EQ(m.id, 7);
  ASSERT_TRUE(queue.Peek(&m, true));
  DispatchMessage(m);
  EXPECT_EQ(ran, 1);
  EXPECT_FALSE(queue.Peek(&m, true));
}

TEST(MsgWaitForTimer, WakesForTheTimerOrForAMessagePostedByAnotherThread) {
  auto queue = CurrentThreadQueue();
  auto timer = WaitableTimer::Create();
  ASSERT_NE(timer, nullptr);
  ASSERT_TRUE(timer->Set(std::chrono::milliseconds(5)));
  EXPECT_EQ(MsgWaitForTimer(*queue, *timer), WakeReason::kTimer);

  ASSERT_TRUE(timer->Set(std::chrono::hours(1)));
  std::thread poster([q = queue] { q->PostQuit(); });
  EXPECT_EQ(MsgWaitForTimer(*queue, *timer), WakeReason::kMessage);
  poster.join();
  Message m;
  ASSERT_TRUE(queue->Peek(&m, true));
  EXPECT_EQ(m.id, kQuitMessage);
}

}  // namespace
}  // namespace txtenc::platform
