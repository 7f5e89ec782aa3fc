#include "ui/main_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include "batch/run_batch.h"
#include "ui/folder_picker.h"

namespace txtenc::ui {
namespace {

// The client area that the window's outer size of 494 x 301 leaves with a classic
// fixed frame (3 px borders, a 26 px caption bar).
constexpr int kClientWidth = 488;
constexpr int kClientHeight = 272;
constexpr int kFontPixels = 11;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

class ButtonCaption : public CaptionButton {
 public:
  explicit ButtonCaption(QPushButton* button) : button_(button) {}
  std::string Caption() override { return button_->text().toStdString(); }
  void SetCaption(const std::string& caption) override {
    button_->setText(QString::fromStdString(caption));
  }

 private:
  QPushButton* button_;
};

// The window as a run on a worker thread sees it: each operation is carried out on
// the window's thread while the worker waits. An append from a run that has been
// stopped is dropped there, in the same order as the click that stopped it.
class WorkerSideWindow : public RunWindow {
 public:
  WorkerSideWindow(MainWindow* window, const Worker& worker) : window_(window), worker_(worker) {}

  std::string ReadFolderText() override {
    std::string text;
    QMetaObject::invokeMethod(
        window_, [&] { text = window_->FolderText(); }, Qt::BlockingQueuedConnection);
    return text;
  }
  bool IsUtf8Checked() override {
    bool checked = false;
    QMetaObject::invokeMethod(
        window_, [&] { checked = window_->Utf8Checked(); }, Qt::BlockingQueuedConnection);
    return checked;
  }
  void AppendLog(const std::string& text) override {
    QMetaObject::invokeMethod(
        window_,
        [&] {
          if (!worker_.stop.load()) window_->AppendToLog(text);
        },
        Qt::BlockingQueuedConnection);
  }

 private:
  MainWindow* window_;
  const Worker& worker_;
};

template <typename Widget>
Widget* Place(QWidget* parent, const char* formName, int left, int top, int width, int height) {
  auto* widget = new Widget(parent);
  widget->setObjectName(Q(formName));
  widget->setGeometry(left, top, width, height);
  return widget;
}

}  // namespace

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      picker_(&PickFolder) {
  setWindowTitle(Q(kWindowTitle));
  setFixedSize(kClientWidth, kClientHeight);
  // The controls' positions and sizes were laid out for a 12-pixel default GUI font;
  // keep the desktop's default family at that size so that every caption fits.
  QFont font = QApplication::font();
  font.setPixelSize(kFontPixels);
  setFont(font);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  folderLabel_ = Place<QLabel>(this, "标签1", 16, 16, 56, 32);
  folderLabel_->setText(Q("文件目录："));
  folderLabel_->setWordWrap(true);
  folderLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  folderBox_ = Place<QLineEdit>(this, "编辑框1", 80, 8, 296, 40);

  browseButton_ = Place<QPushButton>(this, "按钮1", 384, 8, 72, 48);
  browseButton_->setText(Q("浏览"));

  targetLabel_ = Place<QLabel>(this, "标签2", 8, 72, 136, 32);
  targetLabel_->setText(Q("需要改成什么编码格式："));
  targetLabel_->setWordWrap(true);
  targetLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  utf8Option_ = Place<QRadioButton>(this, "单选框_utf8", 155, 73, 64, 24);
  utf8Option_->setText(Q("UTF-8"));
  gbkOption_ = Place<QRadioButton>(this, "单选框2", 231, 72, 104, 24);
  gbkOption_->setText(Q("GBK（gb2312）"));
  auto* options = new QButtonGroup(this);
  options->setExclusive(true);
  options->addButton(utf8Option_);
  options->addButton(gbkOption_);
  utf8Option_->setChecked(true);

  startStopButton_ = Place<QPushButton>(this, "按钮2", 368, 72, 104, 40);
  startStopButton_->setText(Q(kStartCaption));

  logBox_ = Place<QPlainTextEdit>(this, "编辑框2", 8, 112, 344, 152);
  logBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  logBox_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  logBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  logBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  logBox_->setPlainText(Q(kLogInitialText));

  makerLink_ = Place<QLabel>(this, "超级链接框1", 360, 152, 128, 32);
  makerLink_->setText(QStringLiteral("<a href=\"home\">%1</a>").arg(Q(kMakerCaption)));
  makerLink_->setTextFormat(Qt::RichText);
  makerLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  makerLink_->setOpenExternalLinks(false);

  caption_ = std::make_unique<ButtonCaption>(startStopButton_);
  control_ = std::make_unique<RunControl>(*caption_, [this](const Worker& worker) {
    WorkerSideWindow window(this, worker);
    RunBatch(window, worker.stop);
  });

  connect(browseButton_, &QPushButton::clicked, this, &MainWindow::Browse);
  connect(startStopButton_, &QPushButton::clicked, this, [this] {
    if (!closing_) control_->ToggleRun();
  });
  connect(makerLink_, &QLabel::linkActivated, this, &MainWindow::OpenHomePage);
}

MainWindow::~MainWindow() { StopAndWaitForRuns(); }

void MainWindow::StopAndWaitForRuns() {
  closing_ = true;
  control_->StopAll();
  // The runs may be waiting for this thread to carry out a call: keep serving
  // events until every run has reached its safe point.
  while (control_->AnyRunning()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
}

std::string MainWindow::FolderText() const { return folderBox_->text().toStdString(); }

bool MainWindow::Utf8Checked() const { return utf8Option_->isChecked(); }

void MainWindow::AppendToLog(const std::string& text) {
  QTextCursor cursor = logBox_->textCursor();
  cursor.movePosition(QTextCursor::End);
  logBox_->setTextCursor(cursor);
  logBox_->ensureCursorVisible();
  // Appends are not for the user to undo.
  logBox_->setUndoRedoEnabled(false);
  logBox_->insertPlainText(QString::fromStdString(text));
  logBox_->setUndoRedoEnabled(true);
  logBox_->ensureCursorVisible();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  StopAndWaitForRuns();
  event->accept();
}

void MainWindow::Browse() {
  const std::string chosen = picker_(this, std::string());
  if (!chosen.empty()) folderBox_->setText(QString::fromStdString(chosen));
}

void MainWindow::OpenHomePage() {
  const QString page = QDir(QCoreApplication::applicationDirPath()).filePath(Q(kHomePage));
  QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(page)));
}

}  // namespace txtenc::ui
