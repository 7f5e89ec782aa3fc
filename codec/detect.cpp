#include "codec/detect.h"

#include "codec/encoding_names.h"
#include "codec/uchardet_glue.h"

namespace txtenc {
namespace {

bool StartsWith(std::string_view bytes, std::string_view prefix) {
  return bytes.substr(0, prefix.size()) == prefix;
}

// Chooses between UTF-8 and GBK only. A buffer that is not valid GB18030 cannot be
// GBK; otherwise UTF-8 must be strictly more likely, so ties (pure ASCII among them)
// go to GBK.
const char* Arbitrate(std::string_view bytes) {
  const detail::ArbitrationMeasures m = detail::MeasureUtf8AndGb18030(bytes);
  if (m.gb18030NotMe) return "UTF-8";
  return m.utf8Confidence > m.gb18030Confidence ? "UTF-8" : DefaultEncodingName();
}

}  // namespace

const char* SniffByteOrderMark(std::string_view bytes, std::size_t* bomLength) {
  using namespace std::string_view_literals;
  struct Mark {
    std::string_view bytes;
    const char* name;
  };
  // Tried from the top: FF FE 00 00 must be seen before FF FE.
  static constexpr Mark kMarks[] = {
      {"\xEF\xBB\xBF"sv, "UTF-8"},
      {"\xFE\xFF"sv, "UTF-16"},
      {"\xFF\xFE\x00\x00"sv, "UTF-32"},
      {"\xFF\xFE"sv, "UTF-16"},
      {"\x00\x00\xFE\xFF"sv, "UTF-32"},
  };
  std::size_t length = 0;
  const char* name = nullptr;
  if (bytes.empty()) {
    name = DefaultEncodingName();
  } else {
    for (const Mark& mark : kMarks) {
      if (StartsWith(bytes, mark.bytes)) {
        name = mark.name;
        length = mark.bytes.size();
        break;
      }
    }
  }
  if (bomLength != nullptr) *bomLength = length;
  return name;
}

std::optional<std::string> DetectEncoding(std::string_view bytes, const char* fallback,
                                          std::size_t* bomLength) {
  if (const char* marked = SniffByteOrderMark(bytes, bomLength)) return std::string(marked);

  const detail::DetectorVerdict verdict = detail::RunCharsetDetector(bytes);
  if (!verdict.accepted) {
    if (fallback == nullptr) return std::nullopt;
    return std::string(fallback);
  }
  // Only UTF and GB names are trusted as uchardet gives them; whatever else it says
  // (another charset, or nothing) is settled between UTF-8 and GBK.
  if (verdict.name.find("UTF") != std::string::npos ||
      verdict.name.find("GB") != std::string::npos) {
    return verdict.name;
  }
  return std::string(Arbitrate(bytes));
}

}  // namespace txtenc
