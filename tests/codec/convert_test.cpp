#include "codec/convert.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/iconv_glue.h"
#include "tests/support/fixtures.h"

namespace txtenc {
namespace {

using namespace std::string_view_literals;
using namespace txtenc::testing;

struct ConvertCase {
  const char* what;
  std::string_view input;
  const char* from;
  const char* to;
  bool lenient;
  std::string_view expected;
  bool lossless;
};

class ConvertTest : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTest, GivesTheSpecifiedBytesAndSaysWhetherAnythingWasLost) {
  const ConvertCase& c = GetParam();
  const Converted got = ConvertEncodingChecked(c.input, c.from, c.to, c.lenient);
  EXPECT_EQ(Hex(got.bytes), Hex(c.expected));
  EXPECT_EQ(got.lossless, c.lossless);
  EXPECT_EQ(ConvertEncoding(c.input, c.from, c.to, c.lenient), got.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ConvertTest,
    ::testing::Values(
        // Equal names (ignoring case) and unlisted names copy without the converter.
        ConvertCase{"gbk to gbk lower", kProseGbk, "GBK", "gbk", true, kProseGbk, true},
        ConvertCase{"gbk to ansi", "\xFF\xFE\x80"sv, "GBK", "ANSI", true, "\xFF\xFE\x80"sv, true},
        ConvertCase{"unlisted source", "\xFF\x01"sv, "UNICODE", "UTF-8", true, "\xFF\x01"sv, true},
        ConvertCase{"hz-gb-2312 is unlisted", "~{<:~}"sv, "HZ-GB-2312", "GBK", true, "~{<:~}"sv, true},
        ConvertCase{"empty in", ""sv, "GBK", "UTF-8", true, ""sv, true},
        ConvertCase{"empty in unlisted", ""sv, "X", "Y", false, ""sv, true},
        // The conversions the tool performs.
        ConvertCase{"gbk to utf-8", kShortGbk, "GBK", "UTF-8", true, kShortUtf8, true},
        ConvertCase{"utf-8 to gbk", kProseUtf8, "UTF-8", "GBK", true, kProseGbk, true},
        ConvertCase{"gb18030 to gbk", kShortGbk, "GB18030", "GBK", true, kShortGbk, true},
        ConvertCase{"utf-16le to gbk", kShortUtf16Le, "UTF-16LE", "GBK", true, kShortGbk, true},
        ConvertCase{"gb2312 is converted", "abc"sv, "GB2312", "GBK", true, "abc"sv, true},
        // Lenient: what the target cannot hold is transliterated or left out.
        ConvertCase{"outside gbk transliterated", "a\xF0\xA0\x80\x80" "b"sv, "UTF-8", "GBK", true,
                    "a?b"sv, false},
        ConvertCase{"invalid utf-8 skipped", "ab\xFF" "cd"sv, "UTF-8", "GBK", true, "abcd"sv, false},
        ConvertCase{"gb18030 four-byte in gbk", "x\x95\x32\x82\x36y"sv, "GBK", "UTF-8", true,
                    "x26y"sv, false},
        // Every character skipped: the input comes back unchanged, not empty.
        ConvertCase{"all skipped", "\xFF\xFE\xFF"sv, "UTF-8", "GBK", true, "\xFF\xFE\xFF"sv, false},
        // Not lenient: the converted prefix, then the rest untouched from the bad byte on.
        ConvertCase{"strict prefix and rest", "\xD6\xD0" "a\xFF\xD6\xD0"sv, "GBK", "UTF-8", false,
                    "\xE4\xB8\xAD" "a\xFF\xD6\xD0"sv, false},
        // An incomplete sequence at the end is kept as it was.
        ConvertCase{"incomplete tail", "ab\xE4\xB8"sv, "UTF-8", "GBK", true, "ab\xE4\xB8"sv, false}),
    CaseNamer());

TEST(ConvertEncoding, NamesTheCLibraryLacksTakeTheFallbackPath) {
  // HZ is in the table, but this C library cannot open it. The second attempt uses
  // the detected source (GBK for plain ASCII), so ASCII still converts.
  ASSERT_EQ(detail::RunIconv("UTF-8", "HZ", "x").outcome, detail::IconvOutcome::kCannotOpen)
      << "this C library opens HZ; the fallback path needs another missing name";
  const Converted ascii = ConvertEncodingChecked("plain text"sv, "HZ", "UTF-8", true);
  EXPECT_EQ(ascii.bytes, "plain text");
  // MacRoman bytes detected as GBK convert from GBK: the result differs from the input.
  const Converted chinese = ConvertEncodingChecked(kShortGbk, "MacRoman", "UTF-8", true);
  EXPECT_EQ(chinese.bytes, kShortUtf8);
  // When neither attempt can be opened (a target the C library lacks), the input
  // comes back unchanged and the result is not lossless.
  const Converted unchanged = ConvertEncodingChecked(kShortGbk, "GBK", "MacRoman", true);
  EXPECT_EQ(Hex(unchanged.bytes), Hex(kShortGbk));
  EXPECT_FALSE(unchanged.lossless);
}

TEST(ConvertEncoding, CrossesManyWindowsAndKeepsEveryByte) {
  // Far more than one 64 KiB window, with a multi-byte character on every boundary.
  std::string gbk;
  std::string utf8;
  while (gbk.size() < 300000) {
    gbk += "x";
    gbk += kShortGbk;
    utf8 += "x";
    utf8 += kShortUtf8;
  }
  const Converted forth = ConvertEncodingChecked(gbk, "GBK", "UTF-8", true);
  EXPECT_TRUE(forth.lossless);
  EXPECT_TRUE(forth.bytes == utf8);
  const Converted back = ConvertEncodingChecked(utf8, "UTF-8", "GBK", true);
  EXPECT_TRUE(back.lossless);
  EXPECT_TRUE(back.bytes == gbk);
  // A single invalid byte deep inside is skipped by the lenient policy and noticed.
  std::string broken = utf8;
  broken.insert(200001, "\xFF");
  const Converted skipped = ConvertEncodingChecked(broken, "UTF-8", "GBK", true);
  EXPECT_FALSE(skipped.lossless);
  EXPECT_TRUE(skipped.bytes == gbk);
}

TEST(ConvertEncoding, OneInputByteMayNeedMoreRoomThanItself) {
  // "a" to UTF-32 needs four output bytes from a one-byte window.
  EXPECT_EQ(Hex(ConvertEncoding("a"sv, "ASCII", "UTF-32BE", true)), "00 00 00 61");
}

struct DetectedCase {
  const char* what;
  std::string_view input;
  std::string_view expected;
};

class ConvertDetectedTest : public ::testing::TestWithParam<DetectedCase> {};

TEST_P(ConvertDetectedTest, DropsTheMarkAndConvertsToGbk) {
  const DetectedCase& c = GetParam();
  EXPECT_EQ(Hex(ConvertDetectedEncoding(c.input, "GBK", true)), Hex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ConvertDetectedTest,
    ::testing::Values(
        DetectedCase{"utf-8 with mark", "\xEF\xBB\xBF" "\xE4\xB8\xAD" "abc"sv, "\xD6\xD0" "abc"sv},
        DetectedCase{"utf-16le mark", "\xFF\xFE" "\x2d\x4e\x87\x65\x0c\xff\x60\x4f\x7d\x59\x01\xff"sv,
                     kShortGbk},
        DetectedCase{"utf-16be mark", "\xFE\xFF" "\x4e\x2d\x65\x87\xff\x0c\x4f\x60\x59\x7d\xff\x01"sv,
                     kShortGbk},
        DetectedCase{"utf-32le mark", std::string_view("\xFF\xFE\x00\x00" "\x2d\x4e\x00\x00", 8),
                     "\xd6\xd0"sv},
        DetectedCase{"utf-32be mark", std::string_view("\x00\x00\xFE\xFF" "\x00\x00\x4e\x2d", 8),
                     "\xd6\xd0"sv},
        DetectedCase{"mark alone", "\xFF\xFE"sv, ""sv},
        DetectedCase{"utf-8 prose", kProseUtf8, kProseGbk},
        DetectedCase{"gbk prose", kProseGbk, kProseGbk},
        DetectedCase{"hz passes unconverted", "~{<:Ky2;S{#,NpJ)l6HK!#~}"sv,
                     "~{<:Ky2;S{#,NpJ)l6HK!#~}"sv}),
    CaseNamer());

TEST(ConvertDetectedEncoding, BothUtf16ByteOrdersGiveTheSameText) {
  const std::string little = "\xFF\xFE" + std::string(kShortUtf16Le);
  const std::string big = "\xFE\xFF" + std::string(kShortUtf16Be);
  EXPECT_EQ(ConvertDetectedEncoding(little, "GBK", true), ConvertDetectedEncoding(big, "GBK", true));
  EXPECT_EQ(Hex(ConvertDetectedEncoding(big, "UTF-8", true)), Hex(kShortUtf8));
}

TEST(ConvertDetectedEncoding, AnUnlistedTargetLeavesTheBytesAfterTheMark) {
  EXPECT_EQ(ConvertDetectedEncoding(Bom8("\xE4\xB8\xAD"), "ANSI", true), "\xE4\xB8\xAD");
}

}  // namespace
}  // namespace txtenc
