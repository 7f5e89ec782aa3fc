#pragma once
// The program's only window: the folder box and its "浏览" button, the two target
// options, the start/stop button, the log box and the maker link. The window owns
// widgets and wiring only; runs go through the run control on worker threads, and
// a worker reaches the widgets only through calls carried out on this thread.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "batch/run_control.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace txtenc::ui {

inline constexpr const char* kWindowTitle = "文本编码统一";
inline constexpr const char* kLogInitialText = "批量把txt文件的格式修改为UTF-8或gbk中文编码";
// The maker link opens the project's home page; until there is a web site, that is
// the README shipped with the program, relative to the executable's folder.
inline constexpr const char* kHomePage = "../share/doc/txtenc/README.md";
inline constexpr const char* kMakerCaption = "txtenc 项目主页";

class MainWindow : public QWidget {
 public:
  using FolderPicker = std::function<std::string(QWidget* owner, const std::string& title)>;

  MainWindow();
  ~MainWindow() override;

  // Tests replace the folder dialog.
  void SetFolderPicker(FolderPicker picker) { picker_ = std::move(picker); }
  // True while a run started from this window has not ended.
  bool IsRunning() const { return control_->AnyRunning(); }
  // Stops every run and waits for each to reach its safe point, serving this
  // thread's events meanwhile (the runs' calls into the window need them).
  void StopAndWaitForRuns();

  // The three operations a run uses; called on this thread only.
  std::string FolderText() const;
  bool Utf8Checked() const;
  void AppendToLog(const std::string& text);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Browse();
  void OpenHomePage();

  QLabel* folderLabel_;
  QLineEdit* folderBox_;
  QPushButton* browseButton_;
  QLabel* targetLabel_;
  QRadioButton* utf8Option_;
  QRadioButton* gbkOption_;
  QPushButton* startStopButton_;
  QPlainTextEdit* logBox_;
  QLabel* makerLink_;
  FolderPicker picker_;
  bool closing_ = false;  // no new run once the window is closing
  std::unique_ptr<CaptionButton> caption_;
  std::unique_ptr<RunControl> control_;
};

}  // namespace txtenc::ui
