// txtenc-gui: start-up. Settings first, then the window, centred, then its loop.
#include <QApplication>
#include <QScreen>

#include "ui/main_window.h"
#include "ui/process_settings.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  txtenc::ui::InitProcessSettings();
  txtenc::ui::MainWindow window;
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  window.move(screen.center() - window.rect().center());
  window.show();
  return app.exec();
}
