#pragma once
// Choosing a folder with the desktop's folder dialog, and the conversions at its
// edges between the process's texts and UTF-16.

#include <string>

class QWidget;

namespace txtenc::ui {

// Shows a modal folder dialog owned by `owner` (an empty title keeps the dialog's
// own) and returns the chosen folder's path exactly as the dialog gives it, or the
// empty text when the user cancels or no folder can be had.
std::string PickFolder(QWidget* owner, const std::string& title);

// A text in the process code page to UTF-16LE code units with a terminating NUL
// unit (2 x (characters + 1) bytes); the empty buffer for the empty text.
std::string TextToUtf16(const std::string& text);
// The reverse: the string up to its first NUL unit, in the process code page; the
// empty text for an empty buffer or string. A buffer without a terminator still ends.
std::string Utf16ToText(const std::string& utf16);

}  // namespace txtenc::ui
