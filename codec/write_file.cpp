#include "codec/write_file.h"

#include "codec/convert.h"
#include "codec/encoding_names.h"

namespace txtenc {
namespace {

struct WideForm {
  const char* converterName;
  std::string_view mark;
};

// The byte order of "UTF-16"/"UTF-32" files is fixed here, not left to the converter.
const WideForm* WideFormFor(std::string_view target) {
  using namespace std::string_view_literals;
  static constexpr WideForm kUtf16{"UTF-16BE", "\xFE\xFF"sv};
  static constexpr WideForm kUtf32{"UTF-32BE", "\x00\x00\xFE\xFF"sv};
  if (EqualsIgnoringAsciiCase(target, "UTF-16") || EqualsIgnoringAsciiCase(target, "UTF16")) {
    return &kUtf16;
  }
  if (EqualsIgnoringAsciiCase(target, "UTF-32") || EqualsIgnoringAsciiCase(target, "UTF32")) {
    return &kUtf32;
  }
  return nullptr;
}

}  // namespace

EncodedFile EncodeForFileChecked(std::string_view content, const char* source, const char* target) {
  if (target == nullptr || *target == '\0') return EncodedFile{std::string(content), true};
  const std::string_view targetName(target);
  std::string_view mark;
  const char* converterTarget = target;
  if (const WideForm* wide = WideFormFor(targetName)) {
    converterTarget = wide->converterName;
    mark = wide->mark;
  } else if (EqualsIgnoringAsciiCase(targetName, "UTF-8") ||
             EqualsIgnoringAsciiCase(targetName, "UTF8")) {
    mark = "\xEF\xBB\xBF";
  }
  Converted body;
  if (source != nullptr && EqualsIgnoringAsciiCase(source, targetName)) {
    body = Converted{std::string(content), true};  // same encoding: never converted
  } else {
    body = ConvertEncodingChecked(content, source, converterTarget, true);
  }
  EncodedFile file;
  file.lossless = body.lossless;
  file.bytes.reserve(mark.size() + body.bytes.size());
  file.bytes.append(mark);
  file.bytes.append(body.bytes);
  return file;
}

std::string EncodeForFile(std::string_view content, const char* source, const char* target) {
  return EncodeForFileChecked(content, source, target).bytes;
}

bool WriteFileBytes(const std::string& path, std::string_view bytes,
                    const platform::FileIdentity* expected) {
  return platform::ReplaceFileContents(path, bytes, expected);
}

bool WriteStringFile(const std::string& path, std::string_view content, const char* encodingName) {
  content = content.substr(0, content.find('\0'));
  try {
    return WriteFileBytes(path, EncodeForFile(content, DefaultEncodingName(), encodingName));
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace txtenc
