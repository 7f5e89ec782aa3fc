#pragma once
// Writing a GBK text to a file in a named encoding, replacing the file all or nothing.

#include <string>
#include <string_view>

#include "platform/files.h"

namespace txtenc {

struct EncodedFile {
  std::string bytes;      // what the file is to hold, mark included
  bool lossless = false;  // every character of the text survives in `bytes`
};

// The bytes a file is to hold for `content` (in `source`) written as `target`:
// - no target: the content unchanged, no mark;
// - source equal to target (ignoring case): the content unchanged, never converted;
// - otherwise converted leniently ("//TRANSLIT//IGNORE"); unlisted targets leave
//   the content unconverted.
// Marks: "UTF-8"/"UTF8" (any case, as given) get EF BB BF. "UTF-16"/"UTF16" and
// "UTF-32"/"UTF32" are always written big-endian behind their big-endian mark
// (FE FF, 00 00 FE FF), whatever byte order the converter would choose, so that the
// mark at the start always states the order of what follows. No other mark is added.
EncodedFile EncodeForFileChecked(std::string_view content, const char* source, const char* target);
std::string EncodeForFile(std::string_view content, const char* source, const char* target);

// Replaces the file's contents with `bytes`, all or nothing (see
// platform::ReplaceFileContents); creates the file when it does not exist. With
// `expected`, refuses to replace a file that is no longer the one that was read.
bool WriteFileBytes(const std::string& path, std::string_view bytes,
                    const platform::FileIdentity* expected = nullptr);

// Stores `content` (GBK, up to its first NUL) in the file as `encodingName`.
// False when the file could not be replaced; it then keeps its old bytes.
bool WriteStringFile(const std::string& path, std::string_view content,
                     const char* encodingName = "");

}  // namespace txtenc
