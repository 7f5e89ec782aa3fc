#pragma once
// The two process-wide settings, set once at start-up before the window exists and
// only read afterwards.

#include <cstdint>

namespace txtenc::ui {

// The code page of the process's texts. File names and window texts are UTF-8 here
// (file contents still pivot through GBK).
inline constexpr std::uint32_t kUtf8CodePage = 65001;

// Stores the code page and the OS version word ((major << 8) | minor of the running
// kernel, upper 16 bits zero).
void InitProcessSettings();

std::uint32_t ProcessCodePage();
std::uint32_t OsVersionWord();

// The version word of a kernel release text such as "6.1.0-18-amd64" (0 if none).
std::uint32_t VersionWordFromRelease(const char* release);

}  // namespace txtenc::ui
