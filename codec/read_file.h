#pragma once
// Reading a whole file as GBK text together with the name of the encoding it was in.

#include <string>

#include "platform/files.h"

namespace txtenc {

enum class ReadOutcome {
  kText,        // the file held bytes and was read (the text may still be empty)
  kEmpty,       // a regular file of length 0
  kMissing,     // nothing by that name (or an empty path)
  kUnreadable,  // not a regular file, or it could not be opened or read in full
};

// Everything a reader learns about one file; ReadStringFile reports only part of it.
struct TextFile {
  ReadOutcome outcome = ReadOutcome::kMissing;
  std::string text;                     // GBK, up to the first NUL of the converted content
  std::string encodingName = "GBK";     // the detected name; "GBK" when nothing was examined
  bool cutAtNul = false;                // the converted content held a NUL byte
  bool lossless = true;                 // the conversion to GBK kept every character
  platform::FileIdentity identity;      // of the file that was read
};

// Reads, detects and converts `path`. Never throws: running out of memory gives
// kUnreadable. A FIFO, socket or device is never opened.
TextFile ReadTextFile(const std::string& path);

// The file's content as GBK text (empty when there is none), and, through
// `encodingName` when given, the detected name ("GBK" when nothing was examined).
// When memory runs out, returns the empty text and leaves `encodingName` alone.
std::string ReadStringFile(const std::string& path, std::string* encodingName = nullptr);

// The whole file, or nothing on any failure. Only regular files are opened.
std::string ReadFileBytes(const std::string& path);

// True when the path names an existing file or folder.
bool PathExists(const std::string& path);

}  // namespace txtenc
