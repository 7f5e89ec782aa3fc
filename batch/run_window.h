#pragma once
// What a run needs of the window it was started from: three operations, each
// carried out on the window's side while the run waits. The window and the
// command-line tool each provide one; the run knows neither.

#include <string>

namespace txtenc {

class RunWindow {
 public:
  virtual ~RunWindow() = default;
  // The folder box's text, as it is now.
  virtual std::string ReadFolderText() = 0;
  // Whether the UTF-8 option is checked now.
  virtual bool IsUtf8Checked() = 0;
  // Appends `text` at the very end of the log, adding nothing. Once the run has been
  // stopped, the window's side drops every further append.
  virtual void AppendLog(const std::string& text) = 0;
};

}  // namespace txtenc
