#include "codec/read_file.h"

#include <new>
#include <optional>

#include "codec/convert.h"
#include "codec/detect.h"
#include "codec/encoding_names.h"

namespace txtenc {
namespace {

// The part of ReadTextFile that may run out of memory; the caller catches that.
TextFile ReadTextFileOrThrow(const std::string& path) {
  TextFile file;
  platform::FileRead raw = platform::ReadRegularFile(path);
  file.identity = raw.identity;
  switch (raw.status) {
    case platform::ReadStatus::kOk:
      break;
    case platform::ReadStatus::kEmpty:
      file.outcome = ReadOutcome::kEmpty;
      return file;
    case platform::ReadStatus::kMissing:
      file.outcome = ReadOutcome::kMissing;
      return file;
    case platform::ReadStatus::kNotRegular:
    case platform::ReadStatus::kUnreadable:
      file.outcome = ReadOutcome::kUnreadable;
      return file;
  }
  file.outcome = ReadOutcome::kText;
  file.encodingName = *DetectEncoding(raw.bytes, DefaultEncodingName());
  const Converted content = ConvertDetectedEncodingChecked(raw.bytes, DefaultEncodingName(), true);
  file.lossless = content.lossless;
  const std::size_t nul = content.bytes.find('\0');
  file.cutAtNul = nul != std::string::npos;
  file.text = content.bytes.substr(0, nul);
  return file;
}

}  // namespace

TextFile ReadTextFile(const std::string& path) {
  try {
    return ReadTextFileOrThrow(path);
  } catch (const std::bad_alloc&) {
    TextFile failed;
    failed.outcome = ReadOutcome::kUnreadable;
    return failed;
  }
}

std::string ReadStringFile(const std::string& path, std::string* encodingName) {
  try {
    TextFile file = ReadTextFileOrThrow(path);
    if (encodingName != nullptr) *encodingName = file.encodingName;
    return std::move(file.text);
  } catch (const std::bad_alloc&) {
    return std::string();
  }
}

std::string ReadFileBytes(const std::string& path) {
  platform::FileRead raw = platform::ReadRegularFile(path);
  return raw.status == platform::ReadStatus::kOk ? std::move(raw.bytes) : std::string();
}

bool PathExists(const std::string& path) { return platform::PathExists(path); }

}  // namespace txtenc
