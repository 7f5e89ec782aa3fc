#include "codec/iconv_glue.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace txtenc::detail {
namespace {

constexpr std::size_t kMaxWindow = 65536;
// A window is never smaller than this, so that one output character always fits
// (one input byte can become four or more output bytes).
constexpr std::size_t kMinWindow = 64;

class Descriptor {
 public:
  Descriptor(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (ok()) ::iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

IconvResult RunIconv(const char* to, const char* from, std::string_view input) {
  IconvResult result;
  Descriptor cd(to, from);
  if (!cd.ok()) return result;

  try {
    std::string& out = result.output;
    std::size_t used = 0;
    char* in = const_cast<char*>(input.data());  // iconv's interface is not const-correct
    std::size_t inLeft = input.size();
    const std::size_t w = std::min(input.size(), kMaxWindow);
    std::size_t window = std::max(w, kMinWindow);
    bool clean = true;

    while (inLeft > 0) {
      out.resize(used + window);
      char* outStart = out.data() + used;
      char* outPtr = outStart;
      std::size_t outLeft = window;
      const std::size_t rc = ::iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
      const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
      const std::size_t produced = static_cast<std::size_t>(outPtr - outStart);
      used += produced;

      if (error == 0 || error == E2BIG) {
        if (error == 0 && rc > 0) clean = false;  // transliterated or otherwise irreversible
        // A full window that took nothing at all needs more room, not another try.
        window = (error == E2BIG && produced == 0) ? window * 2
                                                   : std::max(std::min(inLeft, w), kMinWindow);
        continue;
      }
      // An invalid or incomplete sequence (with "//IGNORE" the C library reports the
      // skipped bytes only now, having consumed them).
      clean = false;
      if (produced > 0) continue;  // retry where it stopped
      out.resize(used);
      out.append(in, inLeft);
      used += inLeft;
      inLeft = 0;
    }
    out.resize(used);
    result.clean = clean;
    result.outcome = IconvOutcome::kConverted;
  } catch (const std::bad_alloc&) {
    result.output.clear();
    result.outcome = IconvOutcome::kFailed;
  }
  return result;
}

}  // namespace txtenc::detail
