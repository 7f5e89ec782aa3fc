#include "codec/uchardet_glue.h"

#include <uchardet.h>

#include <atomic>
#include <limits>
#include <memory>
#include <type_traits>

#include "nsCodingStateMachine.h"
#include "nsGB2312Prober.h"
#include "nsUTF8Prober.h"

namespace txtenc::detail {
namespace {

std::atomic<DetectorOverride> g_detectorOverride{nullptr};

// The library counts lengths in 32 bits; callers never hand over more (the reader
// refuses files of 4 GiB and more), so this only documents the limit.
PRUint32 Length32(std::string_view bytes) {
  return bytes.size() > std::numeric_limits<PRUint32>::max()
             ? std::numeric_limits<PRUint32>::max()
             : static_cast<PRUint32>(bytes.size());
}

DetectorVerdict RunInstalledDetector(std::string_view bytes) {
  DetectorVerdict verdict;
  std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(
      uchardet_new(), &uchardet_delete);
  if (!detector) return verdict;
  if (uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) return verdict;
  uchardet_data_end(detector.get());
  const char* name = uchardet_get_charset(detector.get());
  verdict.accepted = true;
  verdict.name = name != nullptr ? name : "";  // copied before the detector goes away
  return verdict;
}

}  // namespace

DetectorVerdict RunCharsetDetector(std::string_view bytes) {
  if (DetectorOverride replacement = g_detectorOverride.load()) return replacement(bytes);
  return RunInstalledDetector(bytes);
}

void SetCharsetDetectorForTesting(DetectorOverride replacement) {
  g_detectorOverride.store(replacement);
}

ArbitrationMeasures MeasureUtf8AndGb18030(std::string_view bytes) {
  ArbitrationMeasures measures;
  if (bytes.empty()) return measures;
  const PRUint32 length = Length32(bytes);

  nsUTF8Prober utf8;
  utf8.HandleData(bytes.data(), length);
  measures.utf8Confidence = utf8.GetConfidence();

  nsGB18030Prober gb(PR_TRUE);
  gb.HandleData(bytes.data(), length);
  measures.gb18030Confidence = gb.GetConfidence();

  // The prober's loop ignores its machine's error state, so run that same machine
  // here. Both the error and the its-me state are absorbing: the first one reached
  // decides.
  nsCodingStateMachine machine(&GB18030SMModel);
  for (PRUint32 i = 0; i < length; ++i) {
    const PRUint32 state = machine.NextState(bytes[i]);
    if (state == eError) {
      measures.gb18030NotMe = true;
      break;
    }
    if (state == eItsMe) break;
  }
  return measures;
}

}  // namespace txtenc::detail
