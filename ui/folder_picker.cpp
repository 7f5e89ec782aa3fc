#include "ui/folder_picker.h"

#include <QFileDialog>
#include <QString>

namespace txtenc::ui {

namespace {

QString FromUtf16Buffer(const std::string& utf16) {
  QString wide;
  for (std::size_t i = 0; i + 1 < utf16.size(); i += 2) {
    const auto unit = static_cast<char16_t>(static_cast<unsigned char>(utf16[i]) |
                                            (static_cast<unsigned char>(utf16[i + 1]) << 8));
    if (unit == 0) break;  // a buffer without a terminator still ends
    wide += QChar(unit);
  }
  return wide;
}

}  // namespace

std::string PickFolder(QWidget* owner, const std::string& title) {
  const QString caption = FromUtf16Buffer(TextToUtf16(title));
  // One folder, no start folder, no file types; the desktop chooses where it opens.
  const QString chosen = QFileDialog::getExistingDirectory(owner, caption, QString());
  return chosen.isEmpty() ? std::string() : chosen.toStdString();
}

std::string TextToUtf16(const std::string& text) {
  if (text.empty()) return std::string();
  const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  std::string bytes;
  bytes.reserve(2 * (static_cast<std::size_t>(wide.size()) + 1));
  for (const QChar unit : wide) {
    bytes += static_cast<char>(unit.unicode() & 0xFF);
    bytes += static_cast<char>(unit.unicode() >> 8);
  }
  bytes.append(2, '\0');
  return bytes;
}

std::string Utf16ToText(const std::string& utf16) {
  const QString wide = FromUtf16Buffer(utf16);
  return wide.isEmpty() ? std::string() : wide.toStdString();
}

}  // namespace txtenc::ui
