#pragma once
// Naming the encoding of a byte buffer: byte-order mark first, then uchardet's
// detector, then, for anything it does not name as a UTF or GB encoding, a
// UTF-8-versus-GBK arbitration. With the fallback "GBK" the result is always one of
// "UTF-8", "UTF-16", "UTF-32", "GBK", "GB18030" and "HZ-GB-2312".

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace txtenc {

// Looks at the start of `bytes` for a byte-order mark.
// Returns "GBK" for an empty buffer (length 0), "UTF-8" for EF BB BF (3), "UTF-16" for
// FE FF or for FF FE not followed by 00 00 (2), "UTF-32" for FF FE 00 00 or
// 00 00 FE FF (4), and null when there is no mark (0). `bomLength` may be null.
const char* SniffByteOrderMark(std::string_view bytes, std::size_t* bomLength);

// Returns the encoding name of `bytes`; `fallback` (which may be null, giving
// nullopt) only when the detector refuses the data. `bomLength`, when given,
// receives the mark's length when a mark decided the result and 0 otherwise.
// Every call uses its own detector and probers; nothing is kept between calls.
std::optional<std::string> DetectEncoding(std::string_view bytes, const char* fallback,
                                          std::size_t* bomLength = nullptr);

}  // namespace txtenc
