#include "discovery/search_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/message_queue.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"

namespace txtenc {
namespace {

using txtenc::testing::TempTree;
using Names = std::vector<std::string>;

// Paths below the tree's root, for readable expectations.
Names Relative(const TempTree& tree, const TextList& list) {
  Names out;
  for (const std::string& p : list) {
    out.push_back(p.rfind(tree.root() + "/", 0) == 0 ? p.substr(tree.root().size() + 1) : p);
  }
  return out;
}

Names Search(const TempTree& tree, const std::string& patterns, const std::string& sub = "") {
  TextList list;
  const std::int32_t count =
      SearchFiles(sub.empty() ? tree.root() : tree.Path(sub), patterns, list, true, true);
  EXPECT_EQ(count, static_cast<std::int32_t>(list.size()));
  return Relative(tree, list);
}

// A tree with the shapes users have: nested folders, capitals, hidden entries, a
// folder named like a text file, spaces and Chinese names, other file types.
void MakeSampleTree(const TempTree& tree) {
  tree.Write("b.txt", "b");
  tree.Write("A.TXT", "a");
  tree.Write("c.log", "c");
  tree.Write("notes.txt.bak", "x");
  tree.Write(".hidden.txt", "h");
  tree.Write("sub/inner.txt", "i");
  tree.Write("sub/deeper/deep.txt", "d");
  tree.Write("sub/z.log", "z");
  tree.Write("x.txt/inside.txt", "f");  // a folder whose name ends in .txt
  tree.Write(".hidden dir/secret.txt", "s");
  tree.Write("中文 目录/笔记.txt", "n");
  tree.MakeFolder("empty");
}

struct SearchCase {
  const char* what;
  const char* patterns;
  Names expected;
};

class SearchTreeTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(SearchTreeTest, ListsInDepthFirstStableOrder) {
  TempTree tree;
  MakeSampleTree(tree);
  EXPECT_EQ(Search(tree, GetParam().patterns), GetParam().expected);
}

const Names kAllTxt = {".hidden.txt",  "A.TXT",           "b.txt",
                       ".hidden dir/secret.txt", "sub/inner.txt", "sub/deeper/deep.txt",
                       "x.txt/inside.txt", "中文 目录/笔记.txt"};

INSTANTIATE_TEST_SUITE_P(
    Patterns, SearchTreeTest,
    ::testing::Values(
        SearchCase{"txt", "*.txt", kAllTxt},
        SearchCase{"leading separator", "|*.txt", kAllTxt},
        SearchCase{"trailing separator", "*.txt|", kAllTxt},
        SearchCase{"two trailing separators", "*.txt||", kAllTxt},
        SearchCase{"txt then log",
                   "*.txt|*.log",
                   {".hidden.txt", "A.TXT", "b.txt", "c.log", ".hidden dir/secret.txt",
                    "sub/inner.txt", "sub/z.log", "sub/deeper/deep.txt", "x.txt/inside.txt",
                    "中文 目录/笔记.txt"}},
        SearchCase{"doubled separator inside",
                   "*.log||*.log",
                   {"c.log", "c.log", "sub/z.log", "sub/z.log"}},
        SearchCase{"a file matching two patterns is listed twice",
                   "*.txt|b*",
                   {".hidden.txt", "A.TXT", "b.txt", "b.txt", ".hidden dir/secret.txt",
                    "sub/inner.txt", "sub/deeper/deep.txt", "x.txt/inside.txt",
                    "中文 目录/笔记.txt"}},
        SearchCase{"question mark is one character", "?.txt", {"A.TXT", "b.txt"}},
        SearchCase{"question mark takes a chinese character", "??.txt", {"中文 目录/笔记.txt"}},
        SearchCase{"no match", "*.doc", {}},
        SearchCase{"empty pattern text", "", {}},
        SearchCase{"a utf-8 character before the separator",
                   "*记|*.log|笔记.txt",
                   {"c.log", "sub/z.log", "中文 目录/笔记.txt"}}),
    txtenc::testing::CaseNamer());

TEST(SearchFiles, ATrailingSeparatorChangesNothing) {
  TempTree tree;
  MakeSampleTree(tree);
  TextList without;
  TextList with;
  SearchFiles(tree.root(), "*.txt", without, true, true);
  SearchFiles(tree.root() + "/", "*.txt", with, true, true);
  EXPECT_EQ(without, with);
  // The working folder gets one separator, never two.
  for (const std::string& p : with) EXPECT_EQ(p.find("//"), std::string::npos) << p;
}

TEST(SearchFiles, MissingEmptyAndDotOnlyFoldersListNothing) {
  TempTree tree;
  tree.MakeFolder("only-dots");
  TextList list;
  EXPECT_EQ(SearchFiles(tree.Path("missing"), "*.txt", list, true, true), 0);
  EXPECT_EQ(SearchFiles(tree.Path("only-dots"), "*.txt", list, true, true), 0);
  EXPECT_TRUE(list.empty());
  // A file named as the folder is no folder.
  tree.Write("plain.txt", "p");
  EXPECT_EQ(SearchFiles(tree.Path("plain.txt"), "*.txt", list, true, true), 0);
}

TEST(SearchFiles, AnEmptyFolderTextNeverMeansTheRoot) {
  TextList list = {"kept"};
  EXPECT_EQ(SearchFiles("", "*", list, true, true), 1);
  EXPECT_EQ(list, TextList{"kept"});
  EXPECT_EQ(SearchFiles("", "*", list, true, false), 0);  // not recursing empties it first
}

TEST(SearchFiles, FlagsChooseBareNamesAndOneLevel) {
  TempTree tree;
  MakeSampleTree(tree);
  TextList list = {"old entry"};
  EXPECT_EQ(SearchFiles(tree.root(), "*.txt", list, false, false), 3);
  EXPECT_EQ(list, (TextList{".hidden.txt", "A.TXT", "b.txt"}));
  // Recursing appends to what the list holds.
  TextList appended = {"old entry"};
  SearchFiles(tree.Path("sub"), "*.txt", appended, false, true);
  EXPECT_EQ(appended, (TextList{"old entry", "inner.txt", "deep.txt"}));
}

TEST(SearchFiles, LinkLoopsEndAndLinksLeavingTheFolderAreNotFollowed) {
  TempTree tree;
  tree.Write("root/a.txt", "a");
  tree.Write("root/sub/b.txt", "b");
  tree.Link("root/sub/loop", "..");             // back to an ancestor
  tree.Link("root/sub/self", ".");              // to itself
  tree.Write("outside/o.txt", "o");
  tree.Link("root/out", tree.Path("outside"));  // a folder outside the start
  tree.Link("root/up", "/");                    // the whole file system
  tree.Link("root/o-link.txt", tree.Path("outside/o.txt"));  // a file outside: listed
  tree.Link("root/inside", "sub");              // a folder inside: followed
  tree.Link("root/dangling.txt", "nothing.txt");
  EXPECT_EQ(Search(tree, "*.txt", "root"),
            (Names{"root/a.txt", "root/o-link.txt", "root/inside/b.txt", "root/sub/b.txt"}));
}

TEST(SearchFiles, FifosAreNeverListed) {
  TempTree tree;
  tree.Fifo("pipe.txt");
  tree.Write("real.txt", "r");
  EXPECT_EQ(Search(tree, "*.txt"), Names{"real.txt"});
}

TEST(SearchFiles, ServesTheThreadsMessagesAndStopsWhenAsked) {
  TempTree tree;
  for (int i = 0; i < 20; ++i) tree.Write("f" + std::to_string(i) + ".txt", "x");
  std::atomic<bool> stop{false};
  int handled = 0;
  auto queue = platform::CurrentThreadQueue();
  queue->Post(platform::Message{1, [&] { ++handled; }});
  queue->PostQuit();  // removed like any other message
  queue->Post(platform::Message{2, [&] {
                                  ++handled;
                                  stop = true;
                                }});
  TextList list;
  SearchFiles(tree.root(), "*.txt", list, true, true, &stop);
  EXPECT_EQ(handled, 2);
  platform::Message left;
  EXPECT_FALSE(queue->Peek(&left, false));
  // The stop took effect after the first file, whose pump ran the handler.
  EXPECT_EQ(list.size(), 1u);
}

TEST(SplitPatterns, KeepsEmptyItemsExceptAfterTheLastSeparator) {
  EXPECT_EQ(SplitPatterns(""), Names{});
  EXPECT_EQ(SplitPatterns("|"), Names{""});
  EXPECT_EQ(SplitPatterns("a||b|"), (Names{"a", "", "b"}));
  EXPECT_EQ(SplitPatterns("|a"), (Names{"", "a"}));
  // A three-byte character right before "|": the separator is not swallowed.
  EXPECT_EQ(SplitPatterns("*中|*.log"), (Names{"*中", "*.log"}));
}

}  // namespace
}  // namespace txtenc
