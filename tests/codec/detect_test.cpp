#include "codec/detect.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/uchardet_glue.h"
#include "tests/support/fixtures.h"

namespace txtenc {
namespace {

using namespace std::string_view_literals;
using namespace txtenc::testing;

struct MarkCase {
  const char* what;
  std::string_view bytes;
  const char* name;  // null: no mark
  std::size_t length;
};

class SniffTest : public ::testing::TestWithParam<MarkCase> {};

TEST_P(SniffTest, NamesTheMarkAndItsLength) {
  const MarkCase& c = GetParam();
  std::size_t length = 99;
  const char* name = SniffByteOrderMark(c.bytes, &length);
  if (c.name == nullptr) {
    EXPECT_EQ(name, nullptr);
  } else {
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, c.name);
  }
  EXPECT_EQ(length, c.length);
}

INSTANTIATE_TEST_SUITE_P(
    Marks, SniffTest,
    ::testing::Values(MarkCase{"empty", ""sv, "GBK", 0},
                      MarkCase{"EFBBBF", "\xEF\xBB\xBF"sv, "UTF-8", 3},
                      MarkCase{"EFBBBFabc", "\xEF\xBB\xBF" "abc"sv, "UTF-8", 3},
                      MarkCase{"EFBB", "\xEF\xBB"sv, nullptr, 0},
                      MarkCase{"FFFE", "\xFF\xFE"sv, "UTF-16", 2},
                      MarkCase{"FFFEa\0", "\xFF\xFE" "a\0"sv, "UTF-16", 2},
                      MarkCase{"FFFE00", "\xFF\xFE\x00"sv, "UTF-16", 2},
                      MarkCase{"FEFF", "\xFE\xFF"sv, "UTF-16", 2},
                      MarkCase{"FEFF0000", "\xFE\xFF\x00\x00"sv, "UTF-16", 2},
                      MarkCase{"FFFE0000", "\xFF\xFE\x00\x00"sv, "UTF-32", 4},
                      MarkCase{"0000FEFF", "\x00\x00\xFE\xFF"sv, "UTF-32", 4},
                      MarkCase{"0000FE", "\x00\x00\xFE"sv, nullptr, 0},
                      MarkCase{"abc", "abc"sv, nullptr, 0}),
    CaseNamer());

TEST(DetectEncoding, AMarkDecidesAndReportsItsLength) {
  std::size_t length = 0;
  EXPECT_EQ(DetectEncoding("\xFF\xFE"sv, "X", &length), "UTF-16");
  EXPECT_EQ(length, 2u);
  EXPECT_EQ(DetectEncoding(Bom8(kShortGbk), "X", &length), "UTF-8");  // the mark wins
  EXPECT_EQ(length, 3u);
  EXPECT_EQ(DetectEncoding("\x00\x00\xFE\xFF"sv, "X", &length), "UTF-32");
  EXPECT_EQ(length, 4u);
  // Without a mark the length is 0.
  EXPECT_EQ(DetectEncoding(kProseGbk, "X", &length), "GB18030");
  EXPECT_EQ(length, 0u);
}

TEST(DetectEncoding, AnEmptyBufferIsGbkWhateverTheFallback) {
  std::size_t length = 7;
  EXPECT_EQ(DetectEncoding(""sv, nullptr, &length), "GBK");
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(DetectEncoding(""sv, "UTF-8"), "GBK");
}

struct ContentCase {
  const char* what;
  std::string_view bytes;
  const char* expected;
};

class DetectContentTest : public ::testing::TestWithParam<ContentCase> {};

TEST_P(DetectContentTest, NamesTheEncoding) {
  const ContentCase& c = GetParam();
  // A fallback that no rule returns: it must never show up for data the detector takes.
  const std::optional<std::string> name = DetectEncoding(c.bytes, "FALLBACK");
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(*name, c.expected) << c.what << ": " << Hex(c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, DetectContentTest,
    ::testing::Values(
        // Printable ASCII: equal confidences, the tie goes to GBK.
        ContentCase{"ascii", "hello world\n"sv, "GBK"},
        ContentCase{"ascii line", "The quick brown fox jumps over the lazy dog."sv, "GBK"},
        ContentCase{"one letter", "a"sv, "GBK"},
        // ESC, SO and SI are errors for the GB18030 state machine: not GB18030, so UTF-8.
        ContentCase{"ascii with ESC", "a\x1b" "b"sv, "UTF-8"},
        ContentCase{"ascii with SO", "a\x0e" "b"sv, "UTF-8"},
        ContentCase{"ascii with SI", "a\x0f" "b"sv, "UTF-8"},
        ContentCase{"gbk prose", kProseGbk, "GB18030"},
        ContentCase{"utf-8 prose", kProseUtf8, "UTF-8"},
        ContentCase{"latin-1 cafe", kLatin1Cafe, "UTF-8"},
        ContentCase{"hz", "~{<:Ky2;S{#,NpJ)l6HK!#~}"sv, "HZ-GB-2312"},
        // Short GBK that the detector does not name: the arbitration keeps GBK.
        ContentCase{"short gbk", kShortGbk, "GBK"},
        // A GB18030 four-byte sequence: the detector itself recognises GB18030.
        ContentCase{"gb18030 four-byte", "ab\x95\x32\x82\x36"sv, "GB18030"}),
    CaseNamer());

// A replacement for the detector that refuses every buffer, and one that settles on
// nothing; the real detector refuses data only when it runs out of memory.
detail::DetectorVerdict Refuse(std::string_view) { return {}; }
detail::DetectorVerdict SettleOnNothing(std::string_view) { return {true, ""}; }
detail::DetectorVerdict SayWindows1252(std::string_view) { return {true, "WINDOWS-1252"}; }
detail::DetectorVerdict SayUtf16Le(std::string_view) { return {true, "UTF-16LE"}; }

class DetectorSeamTest : public ::testing::Test {
 protected:
  void TearDown() override { detail::SetCharsetDetectorForTesting(nullptr); }
};

TEST_F(DetectorSeamTest, TheFallbackComesBackOnlyWhenTheDetectorRefuses) {
  detail::SetCharsetDetectorForTesting(&Refuse);
  EXPECT_EQ(DetectEncoding(kProseGbk, "FALLBACK"), "FALLBACK");
  EXPECT_EQ(DetectEncoding(kProseGbk, nullptr), std::nullopt);
  // Marks and the empty buffer are settled before the detector is asked.
  EXPECT_EQ(DetectEncoding(""sv, nullptr), "GBK");
  EXPECT_EQ(DetectEncoding(Bom8("x"), nullptr), "UTF-8");
}

TEST_F(DetectorSeamTest, NamesOtherThanUtfAndGbGoToTheArbitration) {
  detail::SetCharsetDetectorForTesting(&SettleOnNothing);
  EXPECT_EQ(DetectEncoding("plain"sv, "FALLBACK"), "GBK");
  EXPECT_EQ(DetectEncoding(kProseUtf8, "FALLBACK"), "UTF-8");
  detail::SetCharsetDetectorForTesting(&SayWindows1252);
  EXPECT_EQ(DetectEncoding(kLatin1Cafe, "FALLBACK"), "UTF-8");
  EXPECT_EQ(DetectEncoding(kShortGbk, "FALLBACK"), "GBK");
  // Names holding "UTF" pass unchanged.
  detail::SetCharsetDetectorForTesting(&SayUtf16Le);
  EXPECT_EQ(DetectEncoding("plain"sv, "FALLBACK"), "UTF-16LE");
}

TEST(Arbitration, MeasuresFollowTheProbers) {
  // Printable ASCII: no multi-byte character on either side.
  detail::ArbitrationMeasures ascii = detail::MeasureUtf8AndGb18030("hello"sv);
  EXPECT_FALSE(ascii.gb18030NotMe);
  EXPECT_FLOAT_EQ(ascii.utf8Confidence, 1.0f - 0.99f);
  EXPECT_FLOAT_EQ(ascii.gb18030Confidence, 0.01f);
  // Six UTF-8 multi-byte characters reach the top confidence.
  detail::ArbitrationMeasures utf8 = detail::MeasureUtf8AndGb18030(kShortUtf8);
  EXPECT_FLOAT_EQ(utf8.utf8Confidence, 0.99f);
  // An invalid GB18030 sequence (accented letter then a space) is "not me".
  EXPECT_TRUE(detail::MeasureUtf8AndGb18030(kLatin1Cafe).gb18030NotMe);
  // The its-me state is never an error: a valid four-byte sequence is fine.
  EXPECT_FALSE(detail::MeasureUtf8AndGb18030(kOutsideGbkGb18030).gb18030NotMe);
}

TEST(DetectEncoding, KeepsNoStateBetweenCalls) {
  // The same buffer gives the same name before and after very different buffers.
  const std::string first = *DetectEncoding(kShortGbk, "GBK");
  (void)DetectEncoding(kProseUtf8, "GBK");
  (void)DetectEncoding(kLatin1Cafe, "GBK");
  EXPECT_EQ(*DetectEncoding(kShortGbk, "GBK"), first);
}

}  // namespace
}  // namespace txtenc
