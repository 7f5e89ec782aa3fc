#include "codec/convert.h"

#include <cstddef>
#include <optional>

#include "codec/detect.h"
#include "codec/encoding_names.h"
#include "codec/iconv_glue.h"

namespace txtenc {
namespace {

// Source names for the bytes after a byte-order mark, in the mark's own byte order:
// the converter must not guess it, since the mark is gone.
const char* SourceAfterMark(std::string_view mark) {
  if (mark == std::string_view("\xFF\xFE\x00\x00", 4)) return "UTF-32LE";
  if (mark == std::string_view("\x00\x00\xFE\xFF", 4)) return "UTF-32BE";
  if (mark == "\xFF\xFE") return "UTF-16LE";
  if (mark == "\xFE\xFF") return "UTF-16BE";
  return nullptr;
}

// One attempt with a source name as given: a clean strict conversion is the answer
// when there is one (it equals what the lenient policy would produce); otherwise the
// policy's own result, marked lossy.
// Without the lenient policy the strict pass is the whole answer.
std::optional<Converted> Attempt(const char* to, bool lenient, const char* from,
                                 std::string_view input) {
  detail::IconvResult strict = detail::RunIconv(to, from, input);
  if (strict.outcome == detail::IconvOutcome::kCannotOpen) return std::nullopt;
  if (strict.outcome == detail::IconvOutcome::kConverted && (strict.clean || !lenient)) {
    return Converted{std::move(strict.output), strict.clean};
  }
  if (!lenient) return std::nullopt;  // the strict pass ran out of memory
  detail::IconvResult policy =
      detail::RunIconv(ResolveEncodingName(to, nullptr, true, true), from, input);
  if (policy.outcome != detail::IconvOutcome::kConverted) return std::nullopt;
  return Converted{std::move(policy.output), false};
}

}  // namespace

Converted ConvertEncodingChecked(std::string_view input, const char* from, const char* to,
                                 bool lenient) {
  if (input.empty()) return Converted{std::string(), true};
  const char* fromName = ResolveEncodingName(from, nullptr, false, false);
  const char* toName = ResolveEncodingName(to, nullptr, false, false);
  if (fromName == nullptr || toName == nullptr || EqualsIgnoringAsciiCase(fromName, toName)) {
    return Converted{std::string(input), true};
  }
  std::optional<Converted> result = Attempt(toName, lenient, fromName, input);
  if (!result) {
    // The pair cannot be opened (the C library lacks some listed names): try the
    // source that the bytes themselves suggest, exactly as detection names it.
    const std::optional<std::string> detected = DetectEncoding(input, DefaultEncodingName());
    result = Attempt(toName, lenient, detected->c_str(), input);
  }
  if (!result || result->bytes.empty()) return Converted{std::string(input), false};
  return std::move(*result);
}

std::string ConvertEncoding(std::string_view input, const char* from, const char* to,
                            bool lenient) {
  return ConvertEncodingChecked(input, from, to, lenient).bytes;
}

Converted ConvertDetectedEncodingChecked(std::string_view input, const char* to, bool lenient) {
  std::size_t markLength = 0;
  const std::optional<std::string> detected = DetectEncoding(input, nullptr, &markLength);
  const char* toName = ResolveEncodingName(to, nullptr, false, false);
  const std::string_view mark = input.substr(0, markLength);
  input.remove_prefix(markLength);
  if (!detected || detected->empty() || toName == nullptr) {
    return Converted{std::string(input), true};
  }
  const char* from = detected->c_str();
  if (const char* ordered = SourceAfterMark(mark)) from = ordered;
  return ConvertEncodingChecked(input, from, to, lenient);
}

std::string ConvertDetectedEncoding(std::string_view input, const char* to, bool lenient) {
  return ConvertDetectedEncodingChecked(input, to, lenient).bytes;
}

}  // namespace txtenc
