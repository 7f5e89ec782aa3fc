#pragma once
// The vocabulary of encoding names: a caller's name (any ASCII letter case, six
// aliases) resolves to the canonical name iconv is opened with, optionally with the
// conversion-policy suffixes. Resolving hands out constant texts and never allocates.

#include <cstddef>
#include <string_view>

namespace txtenc {

// "GBK": the encoding of all of the system's own texts, the pivot of every read and
// the source of every write. It is this name, not the locale, that the system goes by.
inline constexpr const char* DefaultEncodingName() { return "GBK"; }

// Resolves `name` against the table, comparing whole names without ASCII case.
// Returns the canonical name N, "N//TRANSLIT", "N//IGNORE" or "N//TRANSLIT//IGNORE"
// as the flags ask; returns `fallback` (which may be null) when `name` is null,
// empty or not listed. A name carrying a suffix or blanks is not listed.
const char* ResolveEncodingName(const char* name, const char* fallback, bool transliterate,
                                bool ignore);

// ASCII-only case folding comparison of two whole names.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// The number of entries in the name table (124), and entry i's canonical name,
// for tools and tests that walk the table.
std::size_t EncodingNameTableSize();
const char* EncodingNameTableEntry(std::size_t i);

}  // namespace txtenc
