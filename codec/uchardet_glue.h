#pragma once
// The one place that knows uchardet: its whole-buffer detector and, on their own,
// its UTF-8 and GB18030 probers. Nothing else includes uchardet's headers.

#include <string>
#include <string_view>

namespace txtenc::detail {

struct DetectorVerdict {
  bool accepted = false;  // false when the detector refused the data
  std::string name;       // the charset it settled on; empty when none
};

// A fresh detector, fed the whole buffer in one call, then told the data ended.
DetectorVerdict RunCharsetDetector(std::string_view bytes);

struct ArbitrationMeasures {
  // The buffer holds a byte sequence that is not valid GB18030: the prober's GB18030
  // coding state machine, run from the start, reaches its error state before its
  // its-me state. (The prober itself never reports this.)
  bool gb18030NotMe = false;
  float utf8Confidence = 0.0f;
  float gb18030Confidence = 0.0f;
};

// Fresh UTF-8 and GB18030 probers (the latter with the preferred-language flag),
// each fed the whole buffer in one call. `bytes` must not be empty.
ArbitrationMeasures MeasureUtf8AndGb18030(std::string_view bytes);

// Test seam: replaces RunCharsetDetector for the whole process (null restores it).
using DetectorOverride = DetectorVerdict (*)(std::string_view);
void SetCharsetDetectorForTesting(DetectorOverride replacement);

}  // namespace txtenc::detail
