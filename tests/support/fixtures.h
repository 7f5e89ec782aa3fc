#pragma once
// Texts kept in several encodings. Each non-UTF-8 form comes from an independent
// converter, with the command in a comment.

#include <string>
#include <string_view>

namespace txtenc::testing {

using namespace std::string_view_literals;

// Simplified Chinese prose, as UTF-8 (the source file's own encoding).
inline constexpr std::string_view kProseUtf8 =
    "我们今天去公园散步，天气很好，阳光明媚。小朋友们在草地上玩耍，老人们在树下下棋聊天。";

// printf '%s' "$PROSE" | iconv -f UTF-8 -t GBK | xxd -p
inline constexpr std::string_view kProseGbk =
    "\xce\xd2\xc3\xc7\xbd\xf1\xcc\xec\xc8\xa5\xb9\xab\xd4\xb0\xc9\xa2\xb2\xbd\xa3\xac\xcc\xec"
    "\xc6\xf8\xba\xdc\xba\xc3\xa3\xac\xd1\xf4\xb9\xe2\xc3\xf7\xc3\xc4\xa1\xa3\xd0\xa1\xc5\xf3"
    "\xd3\xd1\xc3\xc7\xd4\xda\xb2\xdd\xb5\xd8\xc9\xcf\xcd\xe6\xcb\xa3\xa3\xac\xc0\xcf\xc8\xcb"
    "\xc3\xc7\xd4\xda\xca\xf7\xcf\xc2\xcf\xc2\xc6\xe5\xc1\xc4\xcc\xec\xa1\xa3"sv;

// printf '中文，你好！' | iconv -f UTF-8 -t GBK | xxd -p
inline constexpr std::string_view kShortGbk = "\xd6\xd0\xce\xc4\xa3\xac\xc4\xe3\xba\xc3\xa3\xa1"sv;
inline constexpr std::string_view kShortUtf8 = "中文，你好！";

// "café au lait" in Latin-1: printf 'caf\xe9 au lait'
inline constexpr std::string_view kLatin1Cafe = "caf\xe9 au lait"sv;

// A character outside GBK (U+20000, 𠀀), as UTF-8 and as its GB18030 four-byte form:
// printf '\U00020000' | iconv -f UTF-8 -t GB18030 | xxd -p   -> 95328236
inline constexpr std::string_view kOutsideGbkUtf8 = "\xF0\xA0\x80\x80"sv;
inline constexpr std::string_view kOutsideGbkGb18030 = "\x95\x32\x82\x36"sv;

inline std::string Bom8(std::string_view body) { return "\xEF\xBB\xBF" + std::string(body); }

// printf '中文，你好！' | iconv -f UTF-8 -t UTF-16LE | xxd -p   (and -BE, UTF-32LE, -BE)
inline constexpr std::string_view kShortUtf16Le =
    "\x2d\x4e\x87\x65\x0c\xff\x60\x4f\x7d\x59\x01\xff"sv;
inline constexpr std::string_view kShortUtf16Be =
    "\x4e\x2d\x65\x87\xff\x0c\x4f\x60\x59\x7d\xff\x01"sv;
inline constexpr std::string_view kShortUtf32Le =
    "\x2d\x4e\x00\x00\x87\x65\x00\x00\x0c\xff\x00\x00\x60\x4f\x00\x00\x7d\x59\x00\x00"
    "\x01\xff\x00\x00"sv;
inline constexpr std::string_view kShortUtf32Be =
    "\x00\x00\x4e\x2d\x00\x00\x65\x87\x00\x00\xff\x0c\x00\x00\x4f\x60\x00\x00\x59\x7d"
    "\x00\x00\xff\x01"sv;

// Printable hex of bytes, for failure messages that show what differs.
inline std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace txtenc::testing

namespace txtenc::testing {

// A GoogleTest parameter name from a case's description: letters and digits kept,
// everything else an underscore, the index in front so that names stay unique.
template <typename Info>
std::string CaseName(const Info& info) {
  std::string name = std::to_string(info.index) + "_";
  for (char c : std::string_view(info.param.what)) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    name += alnum ? c : '_';
  }
  return name;
}

// The same as a callable, for INSTANTIATE_TEST_SUITE_P.
struct CaseNamer {
  template <typename Info>
  std::string operator()(const Info& info) const {
    return CaseName(info);
  }
};

}  // namespace txtenc::testing
