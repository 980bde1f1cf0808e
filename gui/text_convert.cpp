#include "gui/text_convert.h"

namespace kvt::gui {

QString ToPane(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines.push_back(text[i]);
  }
  return QString::fromUtf8(lines.data(), static_cast<qsizetype>(lines.size()));
}

std::string FromPane(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::string result;
  result.reserve(static_cast<std::size_t>(bytes.size()) + 64);
  for (char c : bytes) {
    if (c == '\n') result.push_back('\r');
    result.push_back(c);
  }
  return result;
}

}  // namespace kvt::gui
