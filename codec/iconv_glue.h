#pragma once
// The one place that calls iconv: open, the windowed conversion loop, close.

#include <string>
#include <string_view>

namespace txtenc::detail {

enum class IconvOutcome {
  kCannotOpen,  // iconv_open refused the pair
  kFailed,      // an allocation failed inside the loop; no output
  kConverted,   // the loop ran to its end; `output` holds its result
};

struct IconvResult {
  IconvOutcome outcome = IconvOutcome::kCannotOpen;
  std::string output;
  // Every call succeeded with no invalid, incomplete or irreversibly converted
  // (transliterated) character: the output holds exactly the input's characters.
  bool clean = false;
};

// Converts `input` from `from` to `to` (names as handed to iconv_open, `to` possibly
// with "//TRANSLIT//IGNORE"). The loop asks for output windows of at most 65,536 bytes
// more than needed; on an invalid or incomplete sequence it keeps what was produced
// and retries where iconv stopped, and when a call produces nothing it appends the
// rest of the input unchanged.
IconvResult RunIconv(const char* to, const char* from, std::string_view input);

}  // namespace txtenc::detail
