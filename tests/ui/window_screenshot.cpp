// Shows the window on a real display (the test script starts Xvfb), runs it over a
// small sample tree the way a user would, and saves what the display shows before
// and after the run.
//   window_screenshot OUTPUT_FOLDER   (run from an empty working folder)
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QtTest>

#include <cstdio>
#include <fstream>
#include <string>

#include "ui/main_window.h"
#include "ui/process_settings.h"

namespace {

void Write(const std::string& path, const std::string& bytes) {
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).path());
  std::ofstream(path, std::ios::binary) << bytes;
}

bool Save(QWidget& window, const QString& file) {
  QApplication::processEvents();
  const QPixmap shot = window.screen()->grabWindow(window.winId());
  return !shot.isNull() && shot.save(file);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: window_screenshot OUTPUT_FOLDER\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  // A folder as our users keep them: notes in GBK, a novel in UTF-8, subtitles.
  // printf '今天天气很好。' | iconv -f UTF-8 -t GBK
  Write("示例/笔记/日记.txt", "\xbd\xf1\xcc\xec\xcc\xec\xc6\xf8\xba\xdc\xba\xc3\xa1\xa3");
  Write("示例/小说/第一章.txt", "\xEF\xBB\xBF第一章 开端");
  Write("示例/字幕/电影.txt", "1\n00:00:01,000 --> 00:00:02,000\nHello\n");
  Write("示例/说明.txt", "");

  txtenc::ui::InitProcessSettings();
  txtenc::ui::MainWindow window;
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return 1;
  window.findChild<QLineEdit*>(QString::fromUtf8("编辑框1"))->setText(QString::fromUtf8("示例"));
  QTest::qWait(200);
  if (!Save(window, out + "/window-before.png")) return 1;

  QTest::mouseClick(window.findChild<QPushButton*>(QString::fromUtf8("按钮2")), Qt::LeftButton);
  auto* log = window.findChild<QPlainTextEdit*>(QString::fromUtf8("编辑框2"));
  if (!QTest::qWaitFor([&] { return !window.IsRunning(); }, 30000)) return 1;
  if (!log->toPlainText().endsWith(QString::fromUtf8("修改完毕"))) return 1;
  QTest::qWait(200);
  if (!Save(window, out + "/window-after.png")) return 1;
  std::printf("%s\n", log->toPlainText().toStdString().c_str());
  return 0;
}
