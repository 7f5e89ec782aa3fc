// The window, driven as a user drives it, on Qt's offscreen platform.
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QtTest>

#include <string>

#include "tests/support/fixtures.h"
#include "tests/support/temp_tree.h"
#include "ui/folder_picker.h"
#include "ui/main_window.h"
#include "ui/process_settings.h"

using txtenc::testing::TempTree;

namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename W>
W* Find(QWidget& window, const char* formName) {
  W* widget = window.findChild<W*>(Q(formName));
  if (widget == nullptr) qFatal("no control %s", formName);
  return widget;
}

// Fills a tree with `count` GBK files for a run to convert.
void WriteGbkFiles(const TempTree& tree, int count) {
  for (int i = 0; i < count; ++i) {
    tree.Write("f" + std::to_string(1000 + i) + ".txt", txtenc::testing::kProseGbk);
  }
}

// How many of those files are completely converted to UTF-8; -1 if any file is
// neither converted nor exactly as it was.
int CountConverted(const TempTree& tree, int count) {
  int converted = 0;
  for (int i = 0; i < count; ++i) {
    const std::string bytes = txtenc::testing::ReadAll(tree.Path("f" + std::to_string(1000 + i) + ".txt"));
    if (bytes == txtenc::testing::Bom8(txtenc::testing::kProseUtf8)) {
      ++converted;
    } else if (bytes != txtenc::testing::kProseGbk) {
      return -1;
    }
  }
  return converted;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void freshWindowShowsTheFormAsDescribed();
  void optionsAreOneGroupAndChooseTheNextRunsTarget();
  void browsingReplacesTheFolderOnlyWhenAFolderIsChosen();
  void aRunAppendsAfterTheInitialTextAndKeepsStop();
  void aStopInTheMiddleAppendsNothingMoreAndKeepsFilesWhole();
  void twoRunsAppendOneAfterTheOther();
  void closingDuringARunWaitsForItsSafePoint();
  void utf16ConversionsRoundTrip();
  void versionWordComesFromTheKernelRelease();

 private:
  static void TypeFolder(txtenc::ui::MainWindow& w, const std::string& folder) {
    QLineEdit* box = Find<QLineEdit>(w, "编辑框1");
    box->clear();
    QTest::keyClicks(box, QString::fromStdString(folder));
  }
  static void Click(txtenc::ui::MainWindow& w) {
    QTest::mouseClick(Find<QPushButton>(w, "按钮2"), Qt::LeftButton);
  }
  static QString Log(txtenc::ui::MainWindow& w) {
    return Find<QPlainTextEdit>(w, "编辑框2")->toPlainText();
  }
};

void MainWindowTest::freshWindowShowsTheFormAsDescribed() {
  txtenc::ui::MainWindow w;
  w.show();
  QCOMPARE(w.minimumSize(), w.maximumSize());  // no resizing
  QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  QVERIFY(!w.windowTitle().isEmpty());

  struct Control {
    const char* name;
    QRect geometry;
  };
  const Control controls[] = {
      {"标签1", {16, 16, 56, 32}},   {"编辑框1", {80, 8, 296, 40}},
      {"按钮1", {384, 8, 72, 48}},   {"标签2", {8, 72, 136, 32}},
      {"单选框_utf8", {155, 73, 64, 24}}, {"单选框2", {231, 72, 104, 24}},
      {"按钮2", {368, 72, 104, 40}}, {"编辑框2", {8, 112, 344, 152}},
      {"超级链接框1", {360, 152, 128, 32}},
  };
  for (const Control& c : controls) {
    QWidget* widget = Find<QWidget>(w, c.name);
    QCOMPARE(widget->geometry(), c.geometry);
    QVERIFY(widget->isVisible());
    QVERIFY(widget->isEnabled());
    QVERIFY(w.rect().contains(widget->geometry()));
  }
  QCOMPARE(Find<QLabel>(w, "标签1")->text(), Q("文件目录："));
  QCOMPARE(Find<QLineEdit>(w, "编辑框1")->text(), QString());
  QCOMPARE(Find<QPushButton>(w, "按钮1")->text(), Q("浏览"));
  QCOMPARE(Find<QLabel>(w, "标签2")->text(), Q("需要改成什么编码格式："));
  QCOMPARE(Find<QRadioButton>(w, "单选框_utf8")->text(), Q("UTF-8"));
  QVERIFY(Find<QRadioButton>(w, "单选框_utf8")->isChecked());
  QCOMPARE(Find<QRadioButton>(w, "单选框2")->text(), Q("GBK（gb2312）"));
  QVERIFY(!Find<QRadioButton>(w, "单选框2")->isChecked());
  QCOMPARE(Find<QPushButton>(w, "按钮2")->text(), Q("批量修改"));
  QPlainTextEdit* log = Find<QPlainTextEdit>(w, "编辑框2");
  QCOMPARE(log->toPlainText(), Q("批量把txt文件的格式修改为UTF-8或gbk中文编码"));
  QVERIFY(!log->isReadOnly());
  QCOMPARE(log->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  QCOMPARE(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  QVERIFY(Find<QLabel>(w, "超级链接框1")->text().contains(Q("<a ")));
}

void MainWindowTest::optionsAreOneGroupAndChooseTheNextRunsTarget() {
  TempTree tree;
  tree.Write("a.txt", "ascii");
  txtenc::ui::MainWindow w;
  w.show();
  QRadioButton* utf8 = Find<QRadioButton>(w, "单选框_utf8");
  QRadioButton* gbk = Find<QRadioButton>(w, "单选框2");
  QTest::mouseClick(gbk, Qt::LeftButton, {}, QPoint(5, gbk->height() / 2));
  QVERIFY(gbk->isChecked());
  QVERIFY(!utf8->isChecked());
  TypeFolder(w, tree.root());
  Click(w);
  QTRY_VERIFY_WITH_TIMEOUT(Log(w).endsWith(Q("修改完毕")), 30000);
  QVERIFY(Log(w).contains(Q("无需修改编码【GBK = GBK】：")));
  QTest::mouseClick(utf8, Qt::LeftButton, {}, QPoint(5, utf8->height() / 2));
  QVERIFY(utf8->isChecked());
  QVERIFY(!gbk->isChecked());
}

void MainWindowTest::browsingReplacesTheFolderOnlyWhenAFolderIsChosen() {
  txtenc::ui::MainWindow w;
  w.show();
  std::string answer;
  std::string titleAsked = "unset";
  w.SetFolderPicker([&](QWidget* owner, const std::string& title) {
    [&] { QCOMPARE(owner, static_cast<QWidget*>(&w)); }();
    titleAsked = title;
    return answer;
  });
  TypeFolder(w, "typed/by hand");
  QPushButton* browse = Find<QPushButton>(w, "按钮1");
  QTest::mouseClick(browse, Qt::LeftButton);  // cancelled: empty answer
  QCOMPARE(Find<QLineEdit>(w, "编辑框1")->text(), Q("typed/by hand"));
  QCOMPARE(titleAsked, std::string());
  answer = "/data/笔记";
  QTest::mouseClick(browse, Qt::LeftButton);
  QCOMPARE(Find<QLineEdit>(w, "编辑框1")->text(), Q("/data/笔记"));
}

void MainWindowTest::aRunAppendsAfterTheInitialTextAndKeepsStop() {
  TempTree tree;
  tree.Write("a.txt", txtenc::testing::kProseGbk);
  tree.Write("中文/b.txt", txtenc::testing::Bom8("x"));
  txtenc::ui::MainWindow w;
  w.show();
  TypeFolder(w, tree.root());
  Click(w);
  QCOMPARE(Find<QPushButton>(w, "按钮2")->text(), Q("停止"));
  QTRY_VERIFY_WITH_TIMEOUT(!w.IsRunning(), 30000);
  const QString expected = Q("批量把txt文件的格式修改为UTF-8或gbk中文编码") +
                           Q("已修改编码【GB18030 >> UTF-8】：") +
                           QString::fromStdString(tree.root() + "/a.txt") +
                           Q("无需修改编码【UTF-8 = UTF-8】：") +
                           QString::fromStdString(tree.root() + "/中文/b.txt") + Q("修改完毕");
  QCOMPARE(Log(w), expected);
  QCOMPARE(Find<QPushButton>(w, "按钮2")->text(), Q("停止"));  // ended by itself
  QCOMPARE(txtenc::testing::ReadAll(tree.Path("a.txt")),
           txtenc::testing::Bom8(txtenc::testing::kProseUtf8));

  Click(w);  // only resets
  QCOMPARE(Find<QPushButton>(w, "按钮2")->text(), Q("批量修改"));
  QTest::qWait(100);
  QVERIFY(!w.IsRunning());
  QCOMPARE(Log(w), expected);
}

void MainWindowTest::aStopInTheMiddleAppendsNothingMoreAndKeepsFilesWhole() {
  TempTree tree;
  constexpr int kFiles = 300;
  WriteGbkFiles(tree, kFiles);
  txtenc::ui::MainWindow w;
  w.show();
  TypeFolder(w, tree.root());
  Click(w);
  QTRY_VERIFY_WITH_TIMEOUT(Log(w).count(Q("已修改编码")) >= 5, 30000);
  Click(w);
  const QString atClick = Log(w);
  QCOMPARE(Find<QPushButton>(w, "按钮2")->text(), Q("批量修改"));
  QTRY_VERIFY_WITH_TIMEOUT(!w.IsRunning(), 30000);
  QTest::qWait(50);
  QCOMPARE(Log(w), atClick);  // nothing after the click, no completion line
  QVERIFY(!atClick.contains(Q("修改完毕")));
  const int logged = static_cast<int>(atClick.count(Q("已修改编码")));
  QVERIFY(logged < kFiles);
  const int converted = CountConverted(tree, kFiles);
  QVERIFY(converted >= logged && converted <= logged + 1);  // -1: a file is not whole
  QVERIFY(tree.Find(".txtenc-").empty());
}

void MainWindowTest::twoRunsAppendOneAfterTheOther() {
  TempTree tree;
  tree.Write("a.txt", "ascii");
  txtenc::ui::MainWindow w;
  w.show();
  TypeFolder(w, tree.root());
  const QString path = QString::fromStdString(tree.root() + "/a.txt");
  Click(w);
  QTRY_VERIFY_WITH_TIMEOUT(!w.IsRunning(), 30000);
  Click(w);  // reset
  Click(w);  // second run
  QTRY_VERIFY_WITH_TIMEOUT(Log(w).count(Q("修改完毕")) == 2 && !w.IsRunning(), 30000);
  QCOMPARE(Log(w), Q("批量把txt文件的格式修改为UTF-8或gbk中文编码") + Q("已修改编码【GBK >> UTF-8】：") +
                       path + Q("修改完毕") + Q("无需修改编码【UTF-8 = UTF-8】：") + path +
                       Q("修改完毕"));
}

void MainWindowTest::closingDuringARunWaitsForItsSafePoint() {
  TempTree tree;
  constexpr int kFiles = 200;
  WriteGbkFiles(tree, kFiles);
  {
    txtenc::ui::MainWindow w;
    w.show();
    TypeFolder(w, tree.root());
    Click(w);
    QTRY_VERIFY_WITH_TIMEOUT(Log(w).count(Q("已修改编码")) >= 3, 30000);
    QVERIFY(w.close());  // returns only once the run has stopped
    QVERIFY(!w.IsRunning());
  }
  const int converted = CountConverted(tree, kFiles);
  QVERIFY(converted >= 3 && converted < kFiles);  // -1: a file is not whole
  QVERIFY(tree.Find(".txtenc-").empty());
}

void MainWindowTest::utf16ConversionsRoundTrip() {
  using txtenc::ui::TextToUtf16;
  using txtenc::ui::Utf16ToText;
  QCOMPARE(TextToUtf16(""), std::string());
  QCOMPARE(TextToUtf16("A中"), std::string("A\0\x2d\x4e\0\0", 6));
  QCOMPARE(Utf16ToText(std::string("A\0\x2d\x4e\0\0", 6)), std::string("A中"));
  QCOMPARE(Utf16ToText(std::string("A\0\x2d\x4e", 4)), std::string("A中"));  // no terminator
  QCOMPARE(Utf16ToText(std::string()), std::string());
  QCOMPARE(Utf16ToText(std::string("\0\0", 2)), std::string());
  QCOMPARE(Utf16ToText(TextToUtf16("/数据/笔记 2024")), std::string("/数据/笔记 2024"));
}

void MainWindowTest::versionWordComesFromTheKernelRelease() {
  using txtenc::ui::VersionWordFromRelease;
  QCOMPARE(VersionWordFromRelease("6.1.0-18-amd64"), 0x0601u);
  QCOMPARE(VersionWordFromRelease("10.0"), 0x0A00u);
  QCOMPARE(VersionWordFromRelease("5"), 0x0500u);
  QCOMPARE(VersionWordFromRelease("x"), 0u);
  txtenc::ui::InitProcessSettings();
  QCOMPARE(txtenc::ui::ProcessCodePage(), txtenc::ui::kUtf8CodePage);
  QVERIFY(txtenc::ui::OsVersionWord() >= 0x0200u);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
