#pragma once
// Conversion between named encodings. Never fails: where nothing can be converted
// the input comes back unchanged. Names resolve through the encoding name table.

#include <string>
#include <string_view>

namespace txtenc {

struct Converted {
  std::string bytes;
  // True when `bytes` holds exactly the input's characters: copied unchanged because
  // the names are equal or one is not listed, or converted with nothing skipped,
  // transliterated or left unconverted. False whenever anything was lost or the
  // converter could not be used at all.
  bool lossless = false;
};

// `input` from `from` to `to`. Lenient opens the target with "//TRANSLIT//IGNORE".
// Empty input gives empty output. Equal or unlisted names copy the input unchanged.
// If the pair cannot be opened, the source detected from the bytes is tried; failing
// that, and whenever the conversion yields nothing, the input comes back unchanged.
std::string ConvertEncoding(std::string_view input, const char* from, const char* to,
                            bool lenient);
Converted ConvertEncodingChecked(std::string_view input, const char* from, const char* to,
                                 bool lenient);

// Detects the encoding of `input` (no fallback), drops the byte-order mark that the
// detection reports (the bytes after a UTF-16/32 mark are read in the mark's byte
// order), and converts the rest to `to`. Without a detected name or a listed target,
// the bytes after the mark come back unchanged.
std::string ConvertDetectedEncoding(std::string_view input, const char* to, bool lenient);
Converted ConvertDetectedEncodingChecked(std::string_view input, const char* to, bool lenient);

}  // namespace txtenc
