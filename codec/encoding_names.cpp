#include "codec/encoding_names.h"

#include <array>

namespace txtenc {
namespace {

struct NameEntry {
  const char* names[4];  // N, N//TRANSLIT, N//IGNORE, N//TRANSLIT//IGNORE
  const char* alias;     // a second spelling that finds this entry, or null
};

#define TXTENC_ENTRY(N) {{N, N "//TRANSLIT", N "//IGNORE", N "//TRANSLIT//IGNORE"}, nullptr}
#define TXTENC_ENTRY_ALIAS(N, A) {{N, N "//TRANSLIT", N "//IGNORE", N "//TRANSLIT//IGNORE"}, A}

constexpr std::array<NameEntry, 124> kTable{{
    TXTENC_ENTRY("ARMSCII-8"), TXTENC_ENTRY("ASCII"), TXTENC_ENTRY("ATARIST"),
    TXTENC_ENTRY("BIG5"), TXTENC_ENTRY("BIG5-2003"), TXTENC_ENTRY("BIG5-HKSCS"),
    TXTENC_ENTRY("BIG5-HKSCS:1999"), TXTENC_ENTRY("BIG5-HKSCS:2001"),
    TXTENC_ENTRY("BIG5-HKSCS:2004"), TXTENC_ENTRY("C99"), TXTENC_ENTRY("CP1125"),
    TXTENC_ENTRY("CP1131"), TXTENC_ENTRY("CP1133"), TXTENC_ENTRY("CP1250"),
    TXTENC_ENTRY("CP1251"), TXTENC_ENTRY("CP1252"), TXTENC_ENTRY("CP1253"),
    TXTENC_ENTRY("CP1254"), TXTENC_ENTRY("CP1255"), TXTENC_ENTRY("CP1256"),
    TXTENC_ENTRY("CP1257"), TXTENC_ENTRY("CP1258"), TXTENC_ENTRY("CP437"),
    TXTENC_ENTRY("CP737"), TXTENC_ENTRY("CP775"), TXTENC_ENTRY("CP850"),
    TXTENC_ENTRY("CP852"), TXTENC_ENTRY("CP853"), TXTENC_ENTRY("CP855"),
    TXTENC_ENTRY("CP857"), TXTENC_ENTRY("CP858"), TXTENC_ENTRY("CP860"),
    TXTENC_ENTRY("CP861"), TXTENC_ENTRY("CP862"), TXTENC_ENTRY("CP863"),
    TXTENC_ENTRY("CP864"), TXTENC_ENTRY("CP865"), TXTENC_ENTRY("CP866"),
    TXTENC_ENTRY("CP869"), TXTENC_ENTRY("CP874"), TXTENC_ENTRY("CP932"),
    TXTENC_ENTRY("CP936"), TXTENC_ENTRY("CP949"), TXTENC_ENTRY("CP950"),
    TXTENC_ENTRY("EUC-CN"), TXTENC_ENTRY("EUC-JISX0213"), TXTENC_ENTRY("EUC-JP"),
    TXTENC_ENTRY("EUC-KR"), TXTENC_ENTRY("EUC-TW"), TXTENC_ENTRY("GB18030"),
    TXTENC_ENTRY("GB2312"), TXTENC_ENTRY("GBK"), TXTENC_ENTRY("Georgian-Academy"),
    TXTENC_ENTRY("Georgian-PS"), TXTENC_ENTRY("HP-ROMAN8"), TXTENC_ENTRY("HZ"),
    TXTENC_ENTRY("ISO-2022-CN"), TXTENC_ENTRY("ISO-2022-CN-EXT"), TXTENC_ENTRY("ISO-2022-JP"),
    TXTENC_ENTRY("ISO-2022-JP-1"), TXTENC_ENTRY("ISO-2022-JP-2"), TXTENC_ENTRY("ISO-2022-JP-3"),
    TXTENC_ENTRY("ISO-2022-KR"), TXTENC_ENTRY("ISO-8859-1"), TXTENC_ENTRY("ISO-8859-10"),
    TXTENC_ENTRY("ISO-8859-11"), TXTENC_ENTRY("ISO-8859-13"), TXTENC_ENTRY("ISO-8859-14"),
    TXTENC_ENTRY("ISO-8859-15"), TXTENC_ENTRY("ISO-8859-16"), TXTENC_ENTRY("ISO-8859-2"),
    TXTENC_ENTRY("ISO-8859-3"), TXTENC_ENTRY("ISO-8859-4"), TXTENC_ENTRY("ISO-8859-5"),
    TXTENC_ENTRY("ISO-8859-6"), TXTENC_ENTRY("ISO-8859-7"), TXTENC_ENTRY("ISO-8859-8"),
    TXTENC_ENTRY("ISO-8859-9"), TXTENC_ENTRY("JAVA"), TXTENC_ENTRY("JOHAB"),
    TXTENC_ENTRY("KOI8-R"), TXTENC_ENTRY("KOI8-RU"), TXTENC_ENTRY("KOI8-T"),
    TXTENC_ENTRY("KOI8-U"), TXTENC_ENTRY("MacArabic"), TXTENC_ENTRY("MacCentralEurope"),
    TXTENC_ENTRY("MacCroatian"), TXTENC_ENTRY("MacCyrillic"), TXTENC_ENTRY("MacGreek"),
    TXTENC_ENTRY("MacHebrew"), TXTENC_ENTRY("MacIceland"), TXTENC_ENTRY("MacRoman"),
    TXTENC_ENTRY("MacRomania"), TXTENC_ENTRY("MacThai"), TXTENC_ENTRY("MacTurkish"),
    TXTENC_ENTRY("MacUkraine"), TXTENC_ENTRY("Macintosh"), TXTENC_ENTRY("MuleLao-1"),
    TXTENC_ENTRY("NEXTSTEP"), TXTENC_ENTRY("PT154"), TXTENC_ENTRY("RISCOS-LATIN1"),
    TXTENC_ENTRY("RK1048"), TXTENC_ENTRY("SHIFT_JIS"), TXTENC_ENTRY("Shift_JISX0213"),
    TXTENC_ENTRY("TCVN"), TXTENC_ENTRY("TDS565"), TXTENC_ENTRY("TIS-620"),
    TXTENC_ENTRY_ALIAS("UCS-2", "UCS2"), TXTENC_ENTRY("UCS-2-INTERNAL"), TXTENC_ENTRY("UCS-2BE"),
    TXTENC_ENTRY("UCS-2LE"), TXTENC_ENTRY_ALIAS("UCS-4", "UCS4"), TXTENC_ENTRY("UCS-4-INTERNAL"),
    TXTENC_ENTRY("UCS-4BE"), TXTENC_ENTRY("UCS-4LE"), TXTENC_ENTRY_ALIAS("UTF-16", "UCS16"),
    TXTENC_ENTRY("UTF-16BE"), TXTENC_ENTRY("UTF-16LE"), TXTENC_ENTRY_ALIAS("UTF-32", "UCS32"),
    TXTENC_ENTRY("UTF-32BE"), TXTENC_ENTRY("UTF-32LE"), TXTENC_ENTRY_ALIAS("UTF-7", "UTF7"),
    TXTENC_ENTRY_ALIAS("UTF-8", "UTF8"), TXTENC_ENTRY("VISCII"),
}};

#undef TXTENC_ENTRY
#undef TXTENC_ENTRY_ALIAS

constexpr char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

const char* ResolveEncodingName(const char* name, const char* fallback, bool transliterate,
                                bool ignore) {
  if (name == nullptr || *name == '\0') return fallback;
  const std::string_view wanted(name);
  const int form = (transliterate ? 1 : 0) + (ignore ? 2 : 0);
  for (const NameEntry& entry : kTable) {
    if (EqualsIgnoringAsciiCase(wanted, entry.names[0]) ||
        (entry.alias != nullptr && EqualsIgnoringAsciiCase(wanted, entry.alias))) {
      return entry.names[form];
    }
  }
  return fallback;
}

std::size_t EncodingNameTableSize() { return kTable.size(); }

const char* EncodingNameTableEntry(std::size_t i) {
  return i < kTable.size() ? kTable[i].names[0] : nullptr;
}

}  // namespace txtenc
