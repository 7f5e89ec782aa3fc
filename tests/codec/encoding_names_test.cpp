#include "codec/encoding_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace txtenc {
namespace {

struct ResolveCase {
  const char* name;
  bool transliterate;
  bool ignore;
  const char* expected;  // null: the fallback comes back
};

class ResolveTest : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveTest, ResolvesToTheTableTextOrTheFallback) {
  const ResolveCase& c = GetParam();
  const char* fallback = "FALLBACK";
  const char* got = ResolveEncodingName(c.name, fallback, c.transliterate, c.ignore);
  if (c.expected == nullptr) {
    EXPECT_EQ(got, fallback) << (c.name ? c.name : "(null)");
  } else {
    ASSERT_NE(got, nullptr);
    EXPECT_STREQ(got, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ResolveTest,
    ::testing::Values(
        ResolveCase{"utf8", false, false, "UTF-8"},
        ResolveCase{"UTF8", false, false, "UTF-8"},
        ResolveCase{"Utf-8", false, false, "UTF-8"},
        ResolveCase{"Utf-16", true, true, "UTF-16//TRANSLIT//IGNORE"},
        ResolveCase{"gb2312", false, false, "GB2312"},
        ResolveCase{"UCS16", false, false, "UTF-16"},
        ResolveCase{"ucs32", false, true, "UTF-32//IGNORE"},
        ResolveCase{"ucs2", true, false, "UCS-2//TRANSLIT"},
        ResolveCase{"UCS4", false, false, "UCS-4"},
        ResolveCase{"utf7", false, false, "UTF-7"},
        ResolveCase{"georgian-academy", false, false, "Georgian-Academy"},
        ResolveCase{"shift_jisx0213", false, false, "Shift_JISX0213"},
        ResolveCase{"big5-hkscs:2004", false, false, "BIG5-HKSCS:2004"},
        ResolveCase{"gbk", true, true, "GBK//TRANSLIT//IGNORE"},
        ResolveCase{"cp936", false, false, "CP936"},
        ResolveCase{"ANSI", false, false, nullptr},
        ResolveCase{"UNICODE", false, false, nullptr},
        ResolveCase{"", false, false, nullptr},
        ResolveCase{nullptr, true, true, nullptr},
        ResolveCase{"UTF-8//IGNORE", false, false, nullptr},
        ResolveCase{" UTF-8", false, false, nullptr},
        ResolveCase{"UTF-8 ", false, false, nullptr},
        ResolveCase{"UTF16", false, false, nullptr},  // only UCS16 is an alias
        ResolveCase{"UTF-", false, false, nullptr},
        ResolveCase{"UTF-88", false, false, nullptr}));

TEST(EncodingNameTable, Has124DistinctEntriesEachWithFourConstantForms) {
  ASSERT_EQ(EncodingNameTableSize(), 124u);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < EncodingNameTableSize(); ++i) {
    const char* name = EncodingNameTableEntry(i);
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
    // Every entry resolves to itself, and the same call hands out the same text.
    EXPECT_EQ(ResolveEncodingName(name, nullptr, false, false), name);
    const std::string both = std::string(name) + "//TRANSLIT//IGNORE";
    EXPECT_EQ(ResolveEncodingName(name, nullptr, true, true), both);
    EXPECT_EQ(ResolveEncodingName(name, nullptr, true, true),
              ResolveEncodingName(name, nullptr, true, true));
  }
  EXPECT_EQ(EncodingNameTableEntry(124), nullptr);
}

TEST(EncodingNameTable, KeepsTheGbNamesApart) {
  // GBK, GB2312, GB18030 and CP936 are separate entries: none counts as another.
  const char* gbk = ResolveEncodingName("GBK", nullptr, false, false);
  for (const char* other : {"GB2312", "GB18030", "CP936", "EUC-CN"}) {
    EXPECT_NE(ResolveEncodingName(other, nullptr, false, false), gbk) << other;
  }
  EXPECT_STREQ(DefaultEncodingName(), "GBK");
}

TEST(EqualsIgnoringAsciiCase, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Utf-8", "uTF-8"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("UTF-8", "UTF-8 "));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("UTF_8", "UTF-8"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\x89", "\xC3\xA9"));  // É is not é here
}

}  // namespace
}  // namespace txtenc
