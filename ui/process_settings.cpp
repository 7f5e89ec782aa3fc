#include "ui/process_settings.h"

#include <sys/utsname.h>

#include <atomic>
#include <cstdlib>

namespace txtenc::ui {
namespace {

std::atomic<std::uint32_t> g_codePage{0};
std::atomic<std::uint32_t> g_osVersionWord{0};

}  // namespace

std::uint32_t VersionWordFromRelease(const char* release) {
  if (release == nullptr) return 0;
  char* end = nullptr;
  const unsigned long major = std::strtoul(release, &end, 10);
  if (end == release) return 0;
  unsigned long minor = 0;
  if (*end == '.') minor = std::strtoul(end + 1, nullptr, 10);
  return static_cast<std::uint32_t>(((major & 0xFF) << 8) | (minor & 0xFF));
}

void InitProcessSettings() {
  g_codePage.store(kUtf8CodePage);
  utsname names{};
  g_osVersionWord.store(::uname(&names) == 0 ? VersionWordFromRelease(names.release) : 0);
}

std::uint32_t ProcessCodePage() { return g_codePage.load(); }
std::uint32_t OsVersionWord() { return g_osVersionWord.load(); }

}  // namespace txtenc::ui
